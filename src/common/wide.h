// Text as characters, for what takes no bytes in the program's code page: a console, the event
// log, a comparison with the command line Windows was given.
#ifndef VORNAKDSN_WIDE_H
#define VORNAKDSN_WIDE_H

#include <windows.h>

// text, in the program's code page (ANSI, or UTF-8 where Windows granted it), as characters
// with their NUL: fixed memory from the local heap, for LocalFree; null when none can be had.
WCHAR* Widen(const char* text);

#endif
