// Whether the database path reached the program as it was given. Windows hands a program
// its command line in the ANSI code page and replaces what the code page lacks with '?' or
// a look-alike ("best fit"), so another path than the one given may arrive.
#ifndef VORNAKDSN_COMMAND_LINE_H
#define VORNAKDSN_COMMAND_LINE_H

#include <windows.h>

#include <stddef.h>

// Copies the first argument after the program's name out of a wide command line, split by
// the C runtime's rules. False when there is none, or when it does not fit in limit
// characters with its NUL.
bool CopyFirstArgument(const WCHAR* commandLine, WCHAR* argument, size_t limit);

// True when argument, the first argument as the C runtime delivered it (at most
// kMaxDatabasePathLength bytes), stands for exactly the characters the program was given.
bool ArgumentArrivedExactly(const char* argument);

// Room for a sentence of RefuseDatabasePath that names the code page.
const size_t kRefusalRoom = 96;

// Why path, the first argument, cannot be registered, in a sentence for the user; null when
// it can. A sentence that names the code page is written into room.
const char* RefuseDatabasePath(const char* path, char (&room)[kRefusalRoom]);

#endif
