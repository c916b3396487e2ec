// Text in the program's code page as characters: the command line as the C runtime split it,
// the installer's messages.
#ifndef VORNAKDSN_WIDE_H
#define VORNAKDSN_WIDE_H

#include <windows.h>

// text, in the program's code page (ANSI, or UTF-8 where Windows granted it), as characters
// with their NUL: fixed memory from the local heap, for LocalFree; null when none can be had.
WCHAR* Widen(const char* text);

#endif
