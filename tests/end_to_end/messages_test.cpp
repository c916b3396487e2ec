// What the program tells the user when its installer lacks the entry point, and how it
// treats the installer's own answers.
#include <gtest/gtest.h>

#include "expectations.h"

namespace {

struct MissingEntryPointCase {
    const char* name;
    bool inSystemDirectory;  // else beside the program
};

void PrintTo(const MissingEntryPointCase& c, std::ostream* os)
{
    *os << c.name;
}

class MissingEntryPoint : public testing::TestWithParam<MissingEntryPointCase> {};

TEST_P(MissingEntryPoint, IsToldOncePerRequestAndTheLibraryLoadedOnce)
{
    const MissingEntryPointCase& c = GetParam();
    const std::string folder = PrepareCase(std::string("entry-point-") + c.name);
    const std::string copyPath = c.inSystemDirectory ? SystemCopyPath() : folder + "\\odbccp32.dll";
    ASSERT_TRUE(PlaceCopy(Other(Standin::NoEntryPoint),
                          c.inSystemDirectory ? SystemCopyOnDisk() : copyPath));

    const ToolRun run = RunTool(folder, "C:\\Data\\orders.mdb");

    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0u);
    ExpectInstallerBoxes(run,
                         "The program " + folder + "\\vornakdsn.exe, or one of its DLLs attempted "
                         "to call the function SQLConfigDataSource which is not supported in the "
                         "loaded ODBC installer DLL (" + copyPath + ").  Press OK to proceed.",
                         2);
    const std::vector<StandinEvent> events = ReadStandinLog(folder);
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].kind, "attach");
    EXPECT_EQ(events[1].kind, "exit");
    EXPECT_EQ(events[1].references, 1u);
}

INSTANTIATE_TEST_SUITE_P(Copies, MissingEntryPoint,
                         testing::Values(MissingEntryPointCase{"SystemCopy", true},
                                         MissingEntryPointCase{"SearchCopy", false}),
                         [](const testing::TestParamInfo<MissingEntryPointCase>& info) {
                             return std::string(info.param.name);
                         });

TEST(InstallerRefusing, StillEndsWithStatusZeroAfterBothRequests)
{
    const std::string folder = PrepareCase("installer-refusing");
    const std::string copyPath = folder + "\\odbccp32.dll";
    ASSERT_TRUE(PlaceCopy(Other(Standin::Refusing), copyPath));

    const ToolRun run = RunTool(folder, "C:\\Data\\orders.mdb");

    ExpectQuietSuccess(run);
    EXPECT_TRUE(run.boxes.empty());
    ExpectRequestsThrough(ReadStandinLog(folder), copyPath, SystemCopyPath(), "C:\\Data\\orders.mdb");
}

}  // namespace
