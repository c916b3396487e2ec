#include "console.h"

void WriteText(DWORD stream, const WCHAR* text)
{
    HANDLE handle = GetStdHandle(stream);
    int length = lstrlenW(text);
    DWORD written;
    DWORD mode;
    if (GetConsoleMode(handle, &mode)) {
        WriteConsoleW(handle, text, length, &written, NULL);
        return;
    }
    // Where the program has no console, a console would show the text in the OEM code page.
    UINT codePage = GetConsoleOutputCP();
    if (!codePage)
        codePage = GetOEMCP();
    // A look-alike would pass a fullwidth o for an o: what the code page lacks becomes '?'.
    // UTF-8 takes no such flag, nor does Windows NT 4.0.
    DWORD flags = WC_NO_BEST_FIT_CHARS;
    int size = WideCharToMultiByte(codePage, flags, text, length, NULL, 0, NULL, NULL);
    if (size <= 0) {
        flags = 0;
        size = WideCharToMultiByte(codePage, flags, text, length, NULL, 0, NULL, NULL);
    }
    char* bytes = size > 0 ? static_cast<char*>(LocalAlloc(LMEM_FIXED, size)) : NULL;
    if (!bytes)
        return;
    WideCharToMultiByte(codePage, flags, text, length, bytes, size, NULL, NULL);
    WriteFile(handle, bytes, size, &written, NULL);
    LocalFree(bytes);
}

void WriteLine(DWORD stream, const WCHAR* text)
{
    WriteText(stream, text);
    WriteText(stream, L"\r\n");
}

void WriteError(const WCHAR* text)
{
    WriteText(STD_ERROR_HANDLE, L"vornakdsn: ");
    WriteLine(STD_ERROR_HANDLE, text);
}
