// Standard output and error as the user reads them.
#ifndef VORNAKDSN_CONSOLE_H
#define VORNAKDSN_CONSOLE_H

#include <windows.h>

// Writes text, in the program's code page, to the standard handle stream. A console shows
// bytes in its own code page (the OEM one), not the program's (ANSI, or UTF-8 where Windows
// granted it), so there the text goes as characters; to a pipe or a file it goes as the
// program's bytes, unchanged.
void WriteText(DWORD stream, const char* text);

#endif
