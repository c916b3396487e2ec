#include "installer.h"

#include "bind.h"
#include "report.h"
#include "selection.h"

namespace {

// Loaded on first success and kept until the process ends; empty means "try again".
HMODULE g_hInstallerModule;

typedef BOOL(WINAPI* ConfigDataSourceProc)(HWND, WORD, LPCSTR, LPCSTR);
typedef RETCODE(WINAPI* InstallerErrorProc)(WORD, DWORD*, LPSTR, WORD, WORD*);

// The installer's messages are at most SQL_MAX_MESSAGE_LENGTH bytes with their NUL.
const WORD kInstallerMessageSize = SQL_MAX_MESSAGE_LENGTH;

// Binds name in the installer, loading it first where it is not loaded yet; a missing library
// or entry point is reported.
template <typename Proc>
bool ResolveInstallerProc(const char* name, Proc* proc)
{
    if (!g_hInstallerModule)
        g_hInstallerModule = LoadInstallerLibrary();
    if (!g_hInstallerModule) {
        ReportMissingLibrary();
        return false;
    }
    if (Resolve(g_hInstallerModule, name, proc))
        return true;
    ReportMissingEntryPoint(g_hInstallerModule, name);
    return false;
}

// Installers before ODBC 3.0 lack SQLInstallerError, which is no fault of theirs: no report.
// The installer is told of one byte less than its messages may have, and that byte is set
// after the call: whatever it writes within its limit, the text ends inside the buffer.
InstallerAnswerKind QueryInstallerError(DWORD* code, char (&message)[kAnswerTextSize])
{
    static_assert(kAnswerTextSize >= kInstallerMessageSize, "an installer's message fits");
    InstallerErrorProc installerError;
    if (!g_hInstallerModule || !Resolve(g_hInstallerModule, "SQLInstallerError", &installerError))
        return kRefusedUnexplained;
    WORD length = 0;
    RETCODE result = installerError(1, code, message, kInstallerMessageSize - 1, &length);
    message[kInstallerMessageSize - 1] = '\0';
    if (result != SQL_SUCCESS && result != SQL_SUCCESS_WITH_INFO)
        return kRefusedWithoutReason;
    return kRefusedWithError;
}

// An installer's message may hold line ends and other control characters; what it goes into
// must stay one line.
void KeepOnOneLine(char* text)
{
    for (; *text; text++) {
        if (static_cast<unsigned char>(*text) < ' ')
            *text = ' ';
    }
}

}  // namespace

BOOL InstallerConfigDataSource(HWND hwndParent, WORD fRequest, LPCSTR lpszDriver,
                               LPCSTR lpszAttributes)
{
    ForgetUnreachableReport();
    // Looked up on every call: only the module is worth keeping.
    ConfigDataSourceProc configDataSource;
    if (!ResolveInstallerProc("SQLConfigDataSource", &configDataSource))
        return FALSE;
    return configDataSource(hwndParent, fRequest, lpszDriver, lpszAttributes);
}

void ReadInstallerAnswer(BOOL result, InstallerAnswer* answer)
{
    answer->code = 0;
    answer->text[0] = '\0';
    if (result) {
        answer->kind = kAccepted;
        return;
    }
    const char* report = UnreachableReport();
    if (report) {
        answer->kind = kUnreachable;
        lstrcpynA(answer->text, report, kAnswerTextSize);
        return;
    }
    answer->kind = QueryInstallerError(&answer->code, answer->text);
    KeepOnOneLine(answer->text);
}
