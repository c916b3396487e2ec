// vornakdsn [--check] DATABASE-PATH: points the system ODBC data source vornakDsnStore at an
// Access database by removing the data source and adding it anew, or checks that it does.
#include <string.h>

#include "installer.h"
#include "attribute_list.h"
#include "check.h"
#include "command_line.h"
#include "console.h"
#include "data_source.h"
#include "outcome.h"
#include "vornakdsn_version.h"

namespace {

static_assert(kMaxDatabasePathLength == 4024, "the help names the limit");

#define VORNAKDSN_USAGE "usage: vornakdsn [--check] DATABASE-PATH\r\n"

const char kUsage[] = VORNAKDSN_USAGE;

const char kHelp[] =
    VORNAKDSN_USAGE
    "\r\n"
    "Points the system ODBC data source vornakDsnStore at the Access database\r\n"
    "DATABASE-PATH: asks the ODBC installer to remove the data source, then to add it\r\n"
    "anew with the \"Microsoft Access Driver (*.mdb)\". The path is used as given.\r\n"
    "Should the installer refuse the new one, the one that was there is put back.\r\n"
    "\r\n"
    "Exit status (each run with a path also writes an event, source vornakdsn,\r\n"
    "to the Application log):\r\n"
    "  0  the data source was written as asked\r\n"
    "  2  nothing was done: no path, an empty one, one with a quote (\"), one\r\n"
    "     longer than 4024 bytes, or one that this Windows' code page cannot\r\n"
    "     hold exactly\r\n"
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

// Adds the data source again as it was read before the removal, with the driver it was
// listed with. True when the installer took it.
bool PutBackDataSource(const DataSourceReading& before)
{
    char* list = BuildRestoreList(before);
    if (!list)
        return false;
    const char* driver = before.listedDriver ? before.listedDriver : kDriverDescription;
    BOOL added = InstallerConfigDataSource(NULL, ODBC_ADD_SYS_DSN, driver, list);
    LocalFree(list);
    return added != FALSE;
}

int Register(const char* databasePath)
{
    // What was there, read before anything changes: the record of what the run changed, and
    // what to put back should the installer refuse the new one after removing the old.
    static DataSourceReading before;
    LONG error;
    bool readBefore = ReadDataSource(&before, &error);

    // On a first install there is nothing to remove and the removal fails: that is fine.
    BOOL removed =
        InstallerConfigDataSource(NULL, ODBC_REMOVE_SYS_DSN, kDriverDescription, kRemoveList);

    char addList[kAddListSize];
    BuildAddList(addList, databasePath);
    // The data source is what the run is for: its answer alone decides the outcome.
    BOOL added = InstallerConfigDataSource(NULL, ODBC_ADD_SYS_DSN, kDriverDescription, addList);
    static InstallerAnswer answer;
    ReadInstallerAnswer(added, &answer);

    PutBack putBack = kNothingToPutBack;
    bool existed = readBefore && (before.exists || before.listedDriver);
    if (answer.kind != kAccepted && answer.kind != kUnreachable && removed && existed)
        putBack = PutBackDataSource(before) ? kPutBack : kNotPutBack;
    int status = ReportAddOutcome(answer, databasePath, readBefore ? &before : NULL, putBack);
    if (readBefore)
        ReleaseDataSource(&before);
    return status;
}

}  // namespace

int main(int argc, char* argv[])
{
    // Every answer that is not a registration comes before the removal, so a data source is
    // never removed without being added again.
    if (argc < 2 || !argv[1]) {
        WriteText(STD_ERROR_HANDLE, kUsage);
        return kPathRefused;
    }
    if (AsksForHelp(argv[1])) {
        WriteText(STD_OUTPUT_HANDLE, kHelp);
        return 0;
    }
    if (strcmp(argv[1], "--version") == 0) {
        WriteText(STD_OUTPUT_HANDLE, "vornakdsn " VORNAKDSN_VERSION_TEXT "\r\n");
        return 0;
    }
    if (strcmp(argv[1], "--check") == 0) {
        if (argc < 3 || !argv[2]) {
            WriteText(STD_ERROR_HANDLE, kUsage);
            return kPathRefused;
        }
        return CheckDataSource(argv[2]);
    }
    char room[kRefusalRoom];
    const char* refusal = RefuseDatabasePath(argv[1], room);
    if (refusal)
        return ReportRefusedPath(refusal, true);
    return Register(argv[1]);
}
