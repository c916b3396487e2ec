// Whether the database path reached the program as it was given. Windows hands a program
// its command line in the ANSI code page and replaces what the code page lacks with '?' or
// a look-alike ("best fit"), so another path than the one given may arrive.
#ifndef VORNAKDSN_COMMAND_LINE_H
#define VORNAKDSN_COMMAND_LINE_H

#include <windows.h>

#include <stddef.h>

#include "attribute_list.h"

// Copies argument index (1 the first after the program's name) out of a wide command line,
// split by the C runtime's rules. False when there is none, or when it does not fit in limit
// characters with its NUL.
bool CopyArgument(const WCHAR* commandLine, int index, WCHAR* argument, size_t limit);

// The command line as the C runtime splits it, split from its characters (GetCommandLineW) and
// each argument then turned into the ANSI code page, as the runtime turns the whole line:
// Windows' msvcrt.dll splits the line that best fit has already turned into ANSI, where a
// fullwidth quote (U+FF02) has become a quote and an en space (U+2002) a blank, so that in a
// program's folder they shift every argument after it. The vector, argv[argc] null, is in one
// block of fixed memory from the local heap, for LocalFree; null when there is no memory.
char** SplitCommandLine(int* argc);

// True when argument, argument index as the C runtime delivered it (at most
// kMaxDatabasePathLength bytes), stands for exactly the characters the program was given.
bool ArgumentArrivedExactly(const char* argument, int index);

// Room for a sentence of RefuseDatabasePath that names the code page.
const size_t kRefusalRoom = 96;

// Why path, argument index, cannot be used, in a sentence for the user; null when it can. A
// sentence that names the code page is written into room.
const char* RefuseDatabasePath(const char* path, int index, char (&room)[kRefusalRoom]);

// A path that RefuseDatabasePath took, as the characters it stands for.
typedef WCHAR WidePath[kMaxDatabasePathLength + 1];
void WidenPath(const char* path, WidePath& wide);

#endif
