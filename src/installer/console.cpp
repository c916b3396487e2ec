#include "console.h"

namespace {

// False when the text could not be turned into characters; it is then written as bytes.
bool WriteToConsole(HANDLE console, const char* text, int length)
{
    int wideLength = MultiByteToWideChar(CP_ACP, 0, text, length, NULL, 0);
    if (wideLength == 0)
        return false;
    // Fixed memory: the handle is the address.
    HLOCAL memory = LocalAlloc(LMEM_FIXED, wideLength * sizeof(WCHAR));
    if (!memory)
        return false;
    WCHAR* wide = static_cast<WCHAR*>(memory);
    bool converted = MultiByteToWideChar(CP_ACP, 0, text, length, wide, wideLength) == wideLength;
    DWORD written;
    if (converted)
        WriteConsoleW(console, wide, wideLength, &written, NULL);
    LocalFree(memory);
    return converted;
}

}  // namespace

void WriteText(DWORD stream, const char* text)
{
    HANDLE handle = GetStdHandle(stream);
    int length = lstrlenA(text);
    DWORD mode;
    if (GetConsoleMode(handle, &mode) && WriteToConsole(handle, text, length))
        return;
    DWORD written;
    WriteFile(handle, text, static_cast<DWORD>(length), &written, NULL);
}
