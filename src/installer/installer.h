// The ODBC installer as the registration sees it. The installer library is never linked:
// it is found and loaded on first use, and its entry points are looked up by name.
#ifndef VORNAKDSN_INSTALLER_H
#define VORNAKDSN_INSTALLER_H

#include <windows.h>
#include <odbcinst.h>

// Same parameters and result as the installer's SQLConfigDataSource. Yields FALSE, after
// telling the user in a message box, when the library or its entry point cannot be reached.
BOOL InstallerConfigDataSource(HWND hwndParent, WORD fRequest, LPCSTR lpszDriver,
                               LPCSTR lpszAttributes);

#endif
