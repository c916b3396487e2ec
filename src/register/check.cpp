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

void WriteDifference(const DataSourceDifference& difference)
{
    char thereRoom[kShownLimit + 4];
    char wantedRoom[kShownLimit + 4];
    const char* strings[] = {difference.name ? difference.name : "",
                             difference.there ? Shown(difference.there, thereRoom) : "",
                             Shown(difference.wanted, wantedRoom)};
    WriteSentence(STD_OUTPUT_HANDLE, "", kDifferenceTexts[difference.kind], strings);
}

}  // namespace

int CheckDataSource(const char* databasePath)
{
    char room[kRefusalRoom];
    const char* refusal = RefuseDatabasePath(databasePath, room);
    if (refusal)
        return ReportRefusedPath(refusal, false);

    static DataSourceReading reading;
    LONG error;
    if (!ReadDataSource(&reading, &error)) {
        char code[16];
        wsprintfA(code, "%ld", error);
        const char* strings[] = {code};
        WriteSentence(STD_ERROR_HANDLE, "vornakdsn: ", TEXT_CHECK_UNREADABLE, strings);
        return kRegistryUnreadable;
    }
    DataSourceDifference differences[kMaxDifferences];
    int count = CompareDataSource(reading, databasePath, differences);
    if (count == 0)
        WriteSentence(STD_OUTPUT_HANDLE, "", TEXT_CHECK_RIGHT, &databasePath);
    for (int i = 0; i < count; i++)
        WriteDifference(differences[i]);
    ReleaseDataSource(&reading);
    return count == 0 ? kDataSourceRight : kDataSourceDiffers;
}
