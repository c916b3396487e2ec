// Moving aside a system copy of the installer library that is not a real one.
#ifndef VORNAKDSN_QUARANTINE_H
#define VORNAKDSN_QUARANTINE_H

#include <windows.h>

// A directory of up to 260 characters, the backslash, a 12-character file name and the NUL.
const int kBuiltPathLimit = MAX_PATH + 1 + 12 + 1;

// Moves the copy at systemCopyPath to odbccp32.bad in systemDirectory when it is smaller than
// 20000 bytes and has no version information. A copy that cannot be read or moved stays.
void QuarantineUndersizedInstaller(const char* systemDirectory, const char* systemCopyPath);

#endif
