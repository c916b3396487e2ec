#include "report.h"

#include "console.h"
#include "seen.h"
#include "wide.h"

namespace {

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
// that size holds whatever the entry-point name and the two file names are.
const int kMessageLimit = 1024;

// Kept past the report, since the outcome of the run names it again.
char g_szEntryPointMessage[kMessageLimit];

void Report(const char* text)
{
    g_pszUnreachableReport = text;
    if (SomeoneCanSeeBoxes()) {
        MessageBoxA(NULL, text, kCaption, kMessageStyle);
        return;
    }
    WCHAR* line = Widen(text);
    if (!line)
        return;
    WriteError(line);
    LocalFree(line);
}

// Windows XP fills the whole buffer without a terminator when the name is too long, so
// the last byte is cleared after the call; a name that cannot be fetched stays empty.
void FetchModuleFileName(HMODULE module, char (&fileName)[kFileNameLimit])
{
    if (GetModuleFileNameA(module, fileName, kFileNameLimit) == 0)
        fileName[0] = '\0';
    fileName[kFileNameLimit - 1] = '\0';
}

}  // namespace

void ReportMissingLibrary(void)
{
    Report(kMissingLibraryText);
}

void ReportMissingEntryPoint(HMODULE installer, const char* name)
{
    char installerFileName[kFileNameLimit] = {};
    char programFileName[kFileNameLimit] = {};
    FetchModuleFileName(installer, installerFileName);
    FetchModuleFileName(GetModuleHandleW(NULL), programFileName);
    wsprintfA(g_szEntryPointMessage, kMissingEntryPointFormat, programFileName, name,
              installerFileName);
    Report(g_szEntryPointMessage);
}

void ForgetUnreachableReport(void)
{
    g_pszUnreachableReport = NULL;
}

const char* UnreachableReport(void)
{
    return g_pszUnreachableReport;
}
