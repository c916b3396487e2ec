// The ODBC installer as the registration sees it. The installer library is never linked:
// it is found and loaded on first use, and its entry points are looked up by name.
#ifndef VORNAKDSN_INSTALLER_H
#define VORNAKDSN_INSTALLER_H

#include <windows.h>
#include <odbcinst.h>

// Same parameters and result as the installer's SQLConfigDataSource. Yields FALSE, after
// telling the user, when the library or its entry point cannot be reached: in a message box,
// or on standard error where no one could see a box.
BOOL InstallerConfigDataSource(HWND hwndParent, WORD fRequest, LPCSTR lpszDriver,
                               LPCSTR lpszAttributes);

enum InstallerAnswerKind {
    kAccepted,
    kUnreachable,           // no installer library, or one without SQLConfigDataSource
    kRefusedWithError,      // the installer said why
    kRefusedWithoutReason,  // its SQLInstallerError holds no error
    kRefusedUnexplained,    // its library has no SQLInstallerError, as before ODBC 3.0
    kInstallerAnswerKinds
};

// Room for the longest text of an answer: the message about a missing entry point, which
// names two files, or the installer's own message, which it is given 511 bytes for.
const int kAnswerTextSize = 1024;

// What the installer made of a request. text is one line, ended inside the buffer: what the
// user was told when the installer could not be reached, or the installer's own message.
struct InstallerAnswer {
    InstallerAnswerKind kind;
    DWORD code;  // the installer's error code, with kRefusedWithError
    char text[kAnswerTextSize];
};

// Reads the answer to the last request through InstallerConfigDataSource, which returned
// result. Call it before anything else calls the installer, which clears its errors.
void ReadInstallerAnswer(BOOL result, InstallerAnswer* answer);

#endif
