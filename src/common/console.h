// Standard output and error as the user and the programs that run this one read them.
#ifndef VORNAKDSN_CONSOLE_H
#define VORNAKDSN_CONSOLE_H

#include <windows.h>

// Writes text to the standard handle stream. A console gets it as characters. A pipe or a file
// gets it in the code page that a console would show it in, the console's (the OEM one unless
// changed), since that is how PowerShell, cmd and deployment engines decode what a console
// program writes; a character that code page lacks is written as '?'.
void WriteText(DWORD stream, const WCHAR* text);

// text and a line end.
void WriteLine(DWORD stream, const WCHAR* text);

// The program's own line on standard error: its name, text and a line end.
void WriteError(const WCHAR* text);

#endif
