// vornakdsn [--check] DATABASE-PATH: points the system ODBC data source vornakDsnStore at an
// Access database by removing the data source and adding it anew, or checks that it does.
#include <string.h>

#include "installer.h"
#include "advanced_services.h"
#include "attribute_list.h"
#include "check.h"
#include "command_line.h"
#include "console.h"
#include "data_source.h"
#include "outcome.h"
#include "turn.h"
#include "vornakdsn_version.h"
#include "wide.h"

namespace {

static_assert(kTurnWaitSeconds == 60, "the help names the wait");

#define VORNAKDSN_USAGE "usage: vornakdsn [--check] DATABASE-PATH\r\n"

const char kUsage[] = VORNAKDSN_USAGE;

const char kHelp[] =
    VORNAKDSN_USAGE
    "\r\n"
    "Points the system ODBC data source vornakDsnStore at the Access database\r\n"
    "DATABASE-PATH: asks the ODBC installer to remove the data source, then to\r\n"
    "add it anew with the \"Microsoft Access Driver (*.mdb)\". The path is used as\r\n"
    "given. Should the installer refuse the new one, the one that was there is\r\n"
    "put back.\r\n"
    "\r\n"
    "Exit status (each run with a path also writes an event, source vornakdsn,\r\n"
    "to the Application log):\r\n"
    "  0  the data source was written as asked\r\n"
    "  2  nothing was done: no path, an empty one, one with a quote (\"), one\r\n"
    "     longer than " VORNAKDSN_MAX_DATABASE_PATH_TEXT " bytes, or one that this Windows' code "
    "page cannot\r\n"
    "     hold exactly; or another run, which goes first, kept the data source\r\n"
    "     for over 60 seconds\r\n"
    "  3  the data source was not written: the ODBC installer could not be\r\n"
    "     reached (a message box said why, or standard error where no one could\r\n"
    "     see one)\r\n"
    "  4  the data source was not written: the ODBC installer refused it\r\n"
    "     (standard error gives its reason, and whether the one that was there\r\n"
    "     was put back)\r\n"
    "\r\n"
    "With --check, nothing is changed or written: the data source is read from\r\n"
    "the registry, and standard output says whether it is as a run for\r\n"
    "DATABASE-PATH leaves it. Exit status:\r\n"
    "  0  it is\r\n"
    "  1  it is not, or it is missing: one line for each difference\r\n"
    "  2  as above\r\n"
    "  3  the registry could not be read\r\n"
    "\r\n"
    "vornakdsn /? shows this help; vornakdsn --version shows the version.\r\n";

// Only these exact words ask for help: anything else is a database path, as given.
bool AsksForHelp(const char* argument)
{
    return strcmp(argument, "/?") == 0 || strcmp(argument, "-?") == 0 ||
           strcmp(argument, "-h") == 0 || strcmp(argument, "--help") == 0;
}

void WriteAnsi(DWORD stream, const char* text)
{
    WCHAR* wide = Widen(text);
    if (!wide)
        return;
    WriteText(stream, wide);
    LocalFree(wide);
}

bool IsRefusal(InstallerAnswerKind kind)
{
    return kind != kAccepted && kind != kUnreachable;
}

int RegisterInTurn(const AdvancedServices* registry, const char* databasePath)
{
    // What was there, read before anything changes: the record of what the run changed, and
    // what to set back should the installer refuse the new one.
    static DataSourceReading before;
    LONG error;
    bool readBefore = ReadDataSource(registry, &before, &error);

    // On a first install there is nothing to remove and the removal fails: that is fine.
    BOOL removed =
        InstallerConfigDataSource(NULL, ODBC_REMOVE_SYS_DSN, kDriverDescription, kRemoveList);

    char addList[kAddListSize];
    BuildAddList(addList, databasePath);
    // The data source is what the run is for: its answer alone decides the outcome.
    BOOL added = InstallerConfigDataSource(NULL, ODBC_ADD_SYS_DSN, kDriverDescription, addList);
    static InstallerAnswer answer;
    ReadInstallerAnswer(added, &answer);

    // The installer's add deletes the data source before it writes the new one, and may have
    // written part of it before refusing, whether or not the removal went through: after any
    // refusal the registry goes back to what was there.
    PutBack putBack = kNothingToPutBack;
    if (IsRefusal(answer.kind)) {
        if (!readBefore)
            putBack = kUnreadBeforeRemoval;
        else
            putBack = PutBackDataSource(*registry, before);
        // Taken away by the removal and found as it was: the installer's removal left it.
        if (putBack == kNothingToPutBack && removed && DataSourceExists(before))
            putBack = kPutBack;
    }
    static WidePath path;
    WidenPath(databasePath, path);
    int status =
        ReportAddOutcome(registry, answer, path, readBefore ? &before : NULL, putBack);
    if (readBefore)
        ReleaseDataSource(&before);
    return status;
}

int Register(const AdvancedServices* registry, const char* databasePath)
{
    char room[kRefusalRoom];
    const char* refusal = RefuseDatabasePath(databasePath, 1, room);
    if (refusal)
        return ReportRefusedPath(registry, refusal, true);
    HANDLE turn;
    if (!WaitForTurn(&turn))
        return ReportNotItsTurn(registry);
    int status = RegisterInTurn(registry, databasePath);
    EndTurn(turn);
    return status;
}

}  // namespace

int main(int argc, char* argv[])
{
    // Every answer that is not a registration comes before the removal, so a data source is
    // never removed without being added again.
    const bool check = argc >= 2 && argv[1] && strcmp(argv[1], "--check") == 0;
    const char* databasePath = argc >= 2 + check ? argv[1 + check] : NULL;
    if (!databasePath) {
        WriteAnsi(STD_ERROR_HANDLE, kUsage);
        return kPathRefused;
    }
    if (!check && AsksForHelp(databasePath)) {
        WriteAnsi(STD_OUTPUT_HANDLE, kHelp);
        return kSucceeded;
    }
    if (!check && strcmp(databasePath, "--version") == 0) {
        WriteAnsi(STD_OUTPUT_HANDLE, "vornakdsn " VORNAKDSN_VERSION_TEXT "\r\n");
        return kSucceeded;
    }
    // Once a run: the registry's and the event log's functions.
    AdvancedServices services;
    HMODULE advapi = BindAdvancedServices(&services);
    const AdvancedServices* registry = advapi ? &services : NULL;
    int status = check ? CheckDataSource(registry, databasePath) : Register(registry, databasePath);
    if (advapi)
        FreeLibrary(advapi);
    return status;
}
