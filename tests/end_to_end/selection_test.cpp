// Which installer copy the program keeps, and what it does to an undersized system copy.
#include <gtest/gtest.h>

#include "case_run.h"
#include "expectations.h"
#include "files.h"
#include "named_cases.h"

namespace {

enum class Kept { None, SystemCopy, SearchCopy };
enum class SystemCopyAfter { Absent, Stays, Moved };

struct SelectionCase {
    const char* name;
    CopySpec system;  // in the system directory
    CopySpec search;  // beside the program, where the ordinary search finds it first
    Kept kept;
    SystemCopyAfter after;
    bool oldQuarantineFile;
    bool systemCopyInUse;
};

PRINT_CASES_BY_NAME(SelectionCase)

const DWORD V1 = 0x00010000;
const DWORD V2 = 0x00020000;

const SelectionCase kCases[] = {
    // No copy, one copy, the same file found twice.
    {"NoCopy", Absent(), Absent(), Kept::None, SystemCopyAfter::Absent, false, false},
    {"OnlySystemCopy", Versioned(V1), Absent(), Kept::SystemCopy, SystemCopyAfter::Stays, false, false},
    {"OnlySearchCopy", Absent(), Versioned(V1), Kept::SearchCopy, SystemCopyAfter::Absent, false, false},
    {"SearchFindsSystemUnversioned", Unversioned(20000), Absent(), Kept::SystemCopy,
     SystemCopyAfter::Stays, false, false},
    // Two different files, by version.
    {"SearchLower", Versioned(V2), Versioned(V1), Kept::SystemCopy, SystemCopyAfter::Stays, false, false},
    {"Equal", Versioned(V1, 7), Versioned(V1, 7), Kept::SearchCopy, SystemCopyAfter::Stays, false, false},
    {"SearchHigher", Versioned(V1), Versioned(V2), Kept::SearchCopy, SystemCopyAfter::Stays, false, false},
    {"OnlyLeastPartHigherInSystem", Versioned(V1, 1), Versioned(V1, 0), Kept::SystemCopy,
     SystemCopyAfter::Stays, false, false},
    {"OnlyLeastPartHigherInSearch", Versioned(V1, 1), Versioned(V1, 2), Kept::SearchCopy,
     SystemCopyAfter::Stays, false, false},
    {"MostPartOutranksLeastPart", Versioned(V1, 0xFFFFFFFF), Versioned(V2, 0), Kept::SearchCopy,
     SystemCopyAfter::Stays, false, false},
    {"TopBitOfMostPart", Versioned(0x80000000), Versioned(0x7FFFFFFF, 0xFFFFFFFF), Kept::SystemCopy,
     SystemCopyAfter::Stays, false, false},
    {"TopBitOfLeastPart", Versioned(V1, 0x7FFFFFFF), Versioned(V1, 0x80000000), Kept::SearchCopy,
     SystemCopyAfter::Stays, false, false},
    {"SearchWithoutVersion", Versioned(V2), Unversioned(), Kept::SearchCopy, SystemCopyAfter::Stays,
     false, false},
    // A malformed system copy whose root block is too short to read is not compared.
    {"SystemRootBlockEmpty", [] { CopySpec c = Versioned(V2); c.emptyRootBlock = true; return c; }(),
     Versioned(V1), Kept::SearchCopy, SystemCopyAfter::Stays, false, false},
    // The quarantine of an undersized system copy without a version.
    {"UnversionedBelowLimitMoved", Unversioned(19999), Versioned(V1), Kept::SearchCopy,
     SystemCopyAfter::Moved, false, false},
    // Stays, and having no version, gives way to the search copy.
    {"UnversionedAtLimitStays", Unversioned(20000), Versioned(V1), Kept::SearchCopy,
     SystemCopyAfter::Stays, false, false},
    {"EmptyFileMoved", Other(Standin::EmptyFile), Versioned(V1), Kept::SearchCopy,
     SystemCopyAfter::Moved, false, false},
    {"SmallVersionedStaysAndCompetes", Versioned(V2, 0, 19999), Versioned(V1), Kept::SystemCopy,
     SystemCopyAfter::Stays, false, false},
    {"OldQuarantineFileReplaced", Unversioned(19999), Versioned(V1), Kept::SearchCopy,
     SystemCopyAfter::Moved, true, false},
    {"MovedWithNoOtherCopy", Unversioned(19999), Absent(), Kept::None, SystemCopyAfter::Moved,
     false, false},
    {"InUseStays", Unversioned(19999), Versioned(V1), Kept::SearchCopy, SystemCopyAfter::Stays,
     false, true},
};

class Selection : public testing::TestWithParam<SelectionCase> {};

TEST_P(Selection, KeepsTheRightCopy)
{
    const SelectionCase& c = GetParam();
    const CaseRun r =
        RunCase(std::string("selection-") + c.name,
                Machine{c.system, c.search, c.oldQuarantineFile, c.systemCopyInUse},
                "C:\\Data\\orders.mdb");
    ASSERT_TRUE(r.prepared);
    const ToolRun& run = r.run;
    const std::vector<StandinEvent>& events = r.events;
    const std::string& searchCopyPath = r.searchCopyPath;

    switch (c.after) {
    case SystemCopyAfter::Absent:
        EXPECT_FALSE(Exists(SystemCopyOnDisk()));
        break;
    case SystemCopyAfter::Stays:
        EXPECT_TRUE(Exists(SystemCopyOnDisk()));
        EXPECT_EQ(ReadBytes(SystemCopyOnDisk()), r.placedSystemCopy);
        EXPECT_EQ(Exists(QuarantineOnDisk()), c.oldQuarantineFile);
        EXPECT_EQ(ReadBytes(QuarantineOnDisk()), c.oldQuarantineFile ? "old" : "");
        break;
    case SystemCopyAfter::Moved:
        // Moved, not gone: an empty file reads the same as a missing one.
        EXPECT_FALSE(Exists(SystemCopyOnDisk()));
        EXPECT_TRUE(Exists(QuarantineOnDisk()));
        EXPECT_EQ(ReadBytes(QuarantineOnDisk()), r.placedSystemCopy);
        break;
    }

    if (c.kept == Kept::None) {
        ASSERT_TRUE(run.finished);
        EXPECT_EQ(run.exitCode, 3u);
        ExpectInstallerBoxes(run, kMissingLibraryText, 2);
        EXPECT_TRUE(events.empty());
        return;
    }
    ExpectQuietSuccess(run);
    EXPECT_TRUE(run.boxes.empty());
    const bool keptSystem = c.kept == Kept::SystemCopy;
    ExpectRequestsThrough(events, keptSystem ? SystemCopyPath() : searchCopyPath,
                          keptSystem ? searchCopyPath : SystemCopyPath(), "C:\\Data\\orders.mdb");
}

INSTANTIATE_TEST_SUITE_P(Copies, Selection, testing::ValuesIn(kCases), CaseName<SelectionCase>);

}  // namespace
