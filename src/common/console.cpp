#include "console.h"

#include "wide.h"

void WriteText(DWORD stream, const char* text)
{
    HANDLE handle = GetStdHandle(stream);
    DWORD mode;
    DWORD written;
    WCHAR* wide = GetConsoleMode(handle, &mode) ? Widen(text) : NULL;
    if (wide) {
        WriteConsoleW(handle, wide, lstrlenW(wide), &written, NULL);
        LocalFree(wide);
        return;
    }
    WriteFile(handle, text, lstrlenA(text), &written, NULL);
}
