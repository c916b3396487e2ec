#include "installer.h"

#include "report.h"
#include "selection.h"

namespace {

// Loaded on first success and kept until the process ends; empty means "try again".
HMODULE g_hInstallerModule;

typedef BOOL(WINAPI* ConfigDataSourceProc)(HWND, WORD, LPCSTR, LPCSTR);
typedef RETCODE(WINAPI* InstallerErrorProc)(WORD, DWORD*, LPSTR, WORD, WORD*);

FARPROC GetInstallerProc(const char* name)
{
    if (!g_hInstallerModule)
        g_hInstallerModule = LoadInstallerLibrary();
    if (!g_hInstallerModule) {
        ReportMissingLibrary();
        return NULL;
    }

    FARPROC proc = GetProcAddress(g_hInstallerModule, name);
    if (!proc)
        ReportMissingEntryPoint(g_hInstallerModule, name);
    return proc;
}

}  // namespace

BOOL InstallerConfigDataSource(HWND hwndParent, WORD fRequest, LPCSTR lpszDriver,
                               LPCSTR lpszAttributes)
{
    ForgetUnreachableReport();
    // Looked up on every call: only the module is worth keeping.
    FARPROC proc = GetInstallerProc("SQLConfigDataSource");
    if (!proc)
        return FALSE;
    ConfigDataSourceProc configDataSource =
        reinterpret_cast<ConfigDataSourceProc>(reinterpret_cast<void*>(proc));
    return configDataSource(hwndParent, fRequest, lpszDriver, lpszAttributes);
}

InstallerErrorAnswer QueryInstallerError(DWORD* code, char (&message)[kInstallerMessageSize])
{
    *code = 0;
    message[0] = '\0';
    // Installers before ODBC 3.0 lack it, which is no fault of theirs: no report.
    FARPROC proc = g_hInstallerModule ? GetProcAddress(g_hInstallerModule, "SQLInstallerError")
                                      : NULL;
    if (!proc)
        return kNoErrorFunction;
    InstallerErrorProc installerError =
        reinterpret_cast<InstallerErrorProc>(reinterpret_cast<void*>(proc));
    // The installer is told of one byte less than there is, and that byte is set after the
    // call: whatever it writes within its limit, the text ends inside the buffer.
    WORD length = 0;
    RETCODE result = installerError(1, code, message, kInstallerMessageSize - 1, &length);
    message[kInstallerMessageSize - 1] = '\0';
    if (result != SQL_SUCCESS && result != SQL_SUCCESS_WITH_INFO)
        return kNoError;
    return kError;
}
