#include "check.h"

#include "command_line.h"
#include "data_source.h"
#include "events.h"
#include "outcome.h"
#include "sentences.h"

namespace {

// The line for each kind of difference, in the order of DifferenceKind; each is given the
// value's name, what is there and what should be, for %1, %2 and %3.
const DWORD kDifferenceTexts[] = {
    TEXT_CHECK_MISSING,
    TEXT_CHECK_NOT_LISTED,
    TEXT_CHECK_LISTED_WITH_ANOTHER_DRIVER,
    TEXT_CHECK_VALUE_MISSING,
    TEXT_CHECK_VALUE_DIFFERS,
    TEXT_CHECK_DRIVER_FILE_DIFFERS,
    TEXT_CHECK_DRIVER_NOT_REGISTERED,
};
static_assert(sizeof kDifferenceTexts / sizeof *kDifferenceTexts == kDifferenceKinds,
              "one line for each kind of difference");

void WriteDifference(const DataSourceDifference& difference)
{
    WCHAR thereRoom[kShownLimit + 4];
    WCHAR wantedRoom[kShownLimit + 4];
    const WCHAR* strings[] = {difference.name ? difference.name : L"",
                              difference.there ? Shown(difference.there, thereRoom) : L"",
                              Shown(difference.wanted, wantedRoom)};
    WriteSentence(STD_OUTPUT_HANDLE, kDifferenceTexts[difference.kind], strings);
}

// A user's own data source of the name is what that user's programs open: the check, which
// reads the machine's, names them first, so that the line engines show, the last, is still
// the verdict.
void WriteUserDataSources(const AdvancedServices& registry)
{
    static WCHAR users[4096];
    const WCHAR* strings[] = {users};
    if (FindUserDataSources(registry, users, sizeof users / sizeof *users))
        WriteSentence(STD_OUTPUT_HANDLE, TEXT_CHECK_USER_DATA_SOURCES, strings);
}

}  // namespace

int CheckDataSource(const AdvancedServices* registry, const char* databasePath)
{
    char room[kRefusalRoom];
    const char* refusal = RefuseDatabasePath(databasePath, 2, room);
    if (refusal)
        return ReportRefusedPath(NULL, refusal, false);

    static DataSourceReading reading;
    LONG error;
    if (!ReadDataSource(registry, &reading, &error)) {
        WCHAR code[12];
        wsprintfW(code, L"%ld", error);
        const WCHAR* strings[] = {code};
        WriteSentence(STD_ERROR_HANDLE, TEXT_CHECK_UNREADABLE, strings);
        return kRegistryUnreadable;
    }
    WriteUserDataSources(*registry);
    static WidePath path;
    WidenPath(databasePath, path);
    static DataSourceDifference differences[kMaxDifferences];
    int count = CompareDataSource(reading, path, differences);
    const WCHAR* strings[] = {path};
    if (count == 0)
        WriteSentence(STD_OUTPUT_HANDLE, TEXT_CHECK_RIGHT, strings);
    for (int i = 0; i < count; i++)
        WriteDifference(differences[i]);
    ReleaseDataSource(&reading);
    return count == 0 ? kSucceeded : kDataSourceDiffers;
}
