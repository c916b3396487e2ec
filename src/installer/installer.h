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

// When the last request through InstallerConfigDataSource could not reach the installer, the
// text it told the user (in a box or on standard error); null when it reached the installer.
const char* InstallerUnreachableReport(void);

// The installer's messages are at most SQL_MAX_MESSAGE_LENGTH bytes with their NUL.
const WORD kInstallerMessageSize = SQL_MAX_MESSAGE_LENGTH;

enum InstallerErrorAnswer {
    kNoErrorFunction,  // the installer library has no SQLInstallerError
    kNoError,          // it has, and it holds no error
    kError             // code and message hold the installer's first error
};

// Asks the installer library that the last request reached, through its SQLInstallerError
// looked up by name, why that request failed; ask before anything else calls the installer,
// which clears its errors. The message always ends in the buffer; it may be cut short and
// may hold any bytes, line ends included.
InstallerErrorAnswer QueryInstallerError(DWORD* code, char (&message)[kInstallerMessageSize]);

#endif
