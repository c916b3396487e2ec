// vornakdsn DATABASE-PATH: points the system ODBC data source vornakDsnStore at an Access
// database by removing the data source and adding it anew.
#include <string.h>

#include "installer.h"
#include "attribute_list.h"
#include "command_line.h"
#include "console.h"
#include "outcome.h"
#include "vornakdsn_version.h"

namespace {

static_assert(kMaxDatabasePathLength == 4024, "the help names the limit");

const char kHelp[] =
    "usage: vornakdsn DATABASE-PATH\r\n"
    "\r\n"
    "Points the system ODBC data source vornakDsnStore at the Access database\r\n"
    "DATABASE-PATH: asks the ODBC installer to remove the data source, then to add it\r\n"
    "anew with the \"Microsoft Access Driver (*.mdb)\". The path is used as given.\r\n"
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
    "     (standard error gives its reason)\r\n"
    "\r\n"
    "vornakdsn /? shows this help; vornakdsn --version shows the version.\r\n";

// Only these exact words ask for help: anything else is a database path, as given.
bool AsksForHelp(const char* argument)
{
    return strcmp(argument, "/?") == 0 || strcmp(argument, "-?") == 0 ||
           strcmp(argument, "-h") == 0 || strcmp(argument, "--help") == 0;
}

}  // namespace

int main(int argc, char* argv[])
{
    // Every answer that is not a registration comes before the removal, so a data source is
    // never removed without being added again.
    if (argc < 2 || !argv[1]) {
        WriteText(STD_ERROR_HANDLE, "usage: vornakdsn DATABASE-PATH\r\n");
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
    char room[kRefusalRoom];
    const char* refusal = RefuseDatabasePath(argv[1], room);
    if (refusal)
        return ReportRefusedPath(refusal);

    // On a first install there is nothing to remove and the removal fails: that is fine.
    InstallerConfigDataSource(NULL, ODBC_REMOVE_SYS_DSN, kDriverDescription, kRemoveList);

    char addList[kAddListSize];
    BuildAddList(addList, argv[1]);
    // The data source is what the run is for: its answer alone decides the outcome.
    BOOL added = InstallerConfigDataSource(NULL, ODBC_ADD_SYS_DSN, kDriverDescription, addList);
    static InstallerAnswer answer;
    ReadInstallerAnswer(added, &answer);
    return ReportAddOutcome(answer, argv[1]);
}
