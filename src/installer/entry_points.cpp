#include "installer.h"

#include "seen.h"
#include "selection.h"

namespace {

// Loaded on first success and kept until the process ends; empty means "try again".
HMODULE g_hInstallerModule;

// What the current request told the user about an installer it could not reach; null while
// it reached one. Points at a constant text or at g_szEntryPointMessage.
const char* g_pszUnreachableReport;

const char kCaption[] = "ODBC Installer Error";
const char kMissingLibraryText[] =
    "The ODBC installer DLL (ODBCCP32.DLL) is not installed on this system.";
const char kMissingEntryPointFormat[] =
    "The program %s, or one of its DLLs attempted to call the function %s which is not "
    "supported in the loaded ODBC installer DLL (%s).  Press OK to proceed.";

const UINT kMessageStyle = MB_OK | MB_ICONINFORMATION;

// 261 characters: a full path of up to 260 and its NUL.
const DWORD kFileNameLimit = MAX_PATH + 1;

// wsprintfA never writes more than 1024 characters, terminator included, so a buffer of
// that size holds whatever the entry-point name and the two file names are, and the
// longest message with the prefix and line end of its standard-error form.
const int kMessageLimit = 1024;

// Kept past the report, since the outcome of the run names it again.
char g_szEntryPointMessage[kMessageLimit];

typedef BOOL(WINAPI* ConfigDataSourceProc)(HWND, WORD, LPCSTR, LPCSTR);
typedef RETCODE(WINAPI* InstallerErrorProc)(WORD, DWORD*, LPSTR, WORD, WORD*);

void Report(const char* text)
{
    g_pszUnreachableReport = text;
    if (SomeoneCanSeeBoxes()) {
        MessageBoxA(NULL, text, kCaption, kMessageStyle);
        return;
    }
    char line[kMessageLimit];
    DWORD written;
    int length = wsprintfA(line, "vornakdsn: %s\r\n", text);
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), line, static_cast<DWORD>(length), &written, NULL);
}

// Windows XP fills the whole buffer without a terminator when the name is too long, so
// the last byte is cleared after the call; a name that cannot be fetched stays empty.
void FetchModuleFileName(HMODULE module, char (&fileName)[kFileNameLimit])
{
    if (GetModuleFileNameA(module, fileName, kFileNameLimit) == 0)
        fileName[0] = '\0';
    fileName[kFileNameLimit - 1] = '\0';
}

void ReportMissingEntryPoint(const char* name)
{
    char installerFileName[kFileNameLimit] = {};
    char programFileName[kFileNameLimit] = {};
    FetchModuleFileName(g_hInstallerModule, installerFileName);
    FetchModuleFileName(GetModuleHandleW(NULL), programFileName);
    wsprintfA(g_szEntryPointMessage, kMissingEntryPointFormat, programFileName, name,
              installerFileName);
    Report(g_szEntryPointMessage);
}

FARPROC GetInstallerProc(const char* name)
{
    if (!g_hInstallerModule)
        g_hInstallerModule = LoadInstallerLibrary();
    if (!g_hInstallerModule) {
        Report(kMissingLibraryText);
        return NULL;
    }

    FARPROC proc = GetProcAddress(g_hInstallerModule, name);
    if (!proc)
        ReportMissingEntryPoint(name);
    return proc;
}

}  // namespace

BOOL InstallerConfigDataSource(HWND hwndParent, WORD fRequest, LPCSTR lpszDriver,
                               LPCSTR lpszAttributes)
{
    g_pszUnreachableReport = NULL;
    // Looked up on every call: only the module is worth keeping.
    FARPROC proc = GetInstallerProc("SQLConfigDataSource");
    if (!proc)
        return FALSE;
    ConfigDataSourceProc configDataSource =
        reinterpret_cast<ConfigDataSourceProc>(reinterpret_cast<void*>(proc));
    return configDataSource(hwndParent, fRequest, lpszDriver, lpszAttributes);
}

const char* InstallerUnreachableReport(void)
{
    return g_pszUnreachableReport;
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
