// vornakdsn DATABASE-PATH: points the system ODBC data source vornakDsnStore at an Access
// database by removing the data source and adding it anew.
#include <string.h>

#include "installer.h"
#include "attribute_list.h"

namespace {

const int kUsageError = 2;

static_assert(kMaxDatabasePathLength == 4024, "the refusal below names the limit");

// Plain kernel calls: the program has no other use for the C runtime's streams.
void WriteError(const char* line)
{
    DWORD written;
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), line, static_cast<DWORD>(strlen(line)), &written,
              NULL);
}

}  // namespace

int main(int argc, char* argv[])
{
    // Both refusals come before the removal, so a data source is never removed without
    // being added again.
    if (argc < 2 || !argv[1]) {
        WriteError("usage: vornakdsn DATABASE-PATH\r\n");
        return kUsageError;
    }
    if (strlen(argv[1]) > kMaxDatabasePathLength) {
        WriteError("vornakdsn: the database path is longer than 4024 bytes\r\n");
        return kUsageError;
    }

    // On a first install there is nothing to remove and the removal fails: that is fine.
    InstallerConfigDataSource(NULL, ODBC_REMOVE_SYS_DSN, kDriverDescription, kRemoveList);

    char addList[kAddListSize];
    BuildAddList(addList, argv[1]);
    // Whatever the installer answers, the exit status stays 0: installers rely on it.
    InstallerConfigDataSource(NULL, ODBC_ADD_SYS_DSN, kDriverDescription, addList);
    return 0;
}
