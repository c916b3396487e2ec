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

// True once a report about the installer went to standard error because no one could have
// seen its box.
bool InstallerReportWentUnseen(void);

#endif
