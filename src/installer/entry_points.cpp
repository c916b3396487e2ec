#include "installer.h"

#include "seen.h"
#include "selection.h"

namespace {

// Loaded on first success and kept until the process ends; empty means "try again".
HMODULE g_hInstallerModule;

// Set once a report went to standard error because no one could have seen its box.
bool g_bReportUnseen;

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

typedef BOOL(WINAPI* ConfigDataSourceProc)(HWND, WORD, LPCSTR, LPCSTR);

void Report(const char* text)
{
    if (SomeoneCanSeeBoxes()) {
        MessageBoxA(NULL, text, kCaption, kMessageStyle);
        return;
    }
    char line[kMessageLimit];
    DWORD written;
    int length = wsprintfA(line, "vornakdsn: %s\r\n", text);
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), line, static_cast<DWORD>(length), &written, NULL);
    g_bReportUnseen = true;
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
    char message[kMessageLimit] = {};
    FetchModuleFileName(g_hInstallerModule, installerFileName);
    FetchModuleFileName(GetModuleHandleW(NULL), programFileName);
    wsprintfA(message, kMissingEntryPointFormat, programFileName, name, installerFileName);
    Report(message);
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
    // Looked up on every call: only the module is worth keeping.
    FARPROC proc = GetInstallerProc("SQLConfigDataSource");
    if (!proc)
        return FALSE;
    ConfigDataSourceProc configDataSource =
        reinterpret_cast<ConfigDataSourceProc>(reinterpret_cast<void*>(proc));
    return configDataSource(hwndParent, fRequest, lpszDriver, lpszAttributes);
}

bool InstallerReportWentUnseen(void)
{
    return g_bReportUnseen;
}
