// What the program tells the user when its installer lacks the entry point, and how it
// treats the installer's own answers.
#include <gtest/gtest.h>

#include "expectations.h"

namespace {

std::string MissingEntryPointText(const std::string& folder, const std::string& copyPath)
{
    return "The program " + folder + "\\vornakdsn.exe, or one of its DLLs attempted to call "
           "the function SQLConfigDataSource which is not supported in the loaded ODBC "
           "installer DLL (" + copyPath + ").  Press OK to proceed.";
}

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
    ExpectInstallerBoxes(run, MissingEntryPointText(folder, copyPath), 2);
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

enum class Installer { Missing, WithoutEntryPoint, Working };

struct UnseenCase {
    const char* name;
    Installer installer;
};

void PrintTo(const UnseenCase& c, std::ostream* os)
{
    *os << c.name;
}

class Unseen : public testing::TestWithParam<UnseenCase> {};

// Where no one can see a box, the reports go to standard error, both requests are still
// made, and a run that could not reach the installer fails.
TEST_P(Unseen, ReportsOnStandardErrorWithoutWaiting)
{
    const UnseenCase& c = GetParam();
    const std::string folder = PrepareCase(std::string("unseen-") + c.name);
    const std::string copyPath = folder + "\\odbccp32.dll";
    if (c.installer != Installer::Missing) {
        ASSERT_TRUE(PlaceCopy(c.installer == Installer::Working ? Versioned(0x00010000)
                                                                : Other(Standin::NoEntryPoint),
                              copyPath));
    }

    const ToolRun run = RunTool(folder, "C:\\Data\\orders.mdb", Station::Unseen);

    ASSERT_TRUE(run.finished) << "still waiting after 10 s";
    EXPECT_TRUE(run.boxes.empty());
    std::string line;
    switch (c.installer) {
    case Installer::Working:
        ExpectQuietSuccess(run);
        ExpectRequestsThrough(ReadStandinLog(folder), copyPath, SystemCopyPath(),
                              "C:\\Data\\orders.mdb");
        return;
    case Installer::Missing:
        line = std::string("vornakdsn: ") + kMissingLibraryText + "\r\n";
        break;
    case Installer::WithoutEntryPoint:
        line = "vornakdsn: " + MissingEntryPointText(folder, copyPath) + "\r\n";
        break;
    }
    EXPECT_EQ(run.exitCode, 3u);
    EXPECT_EQ(run.output, "");
    EXPECT_EQ(run.errors, line + line);
}

INSTANTIATE_TEST_SUITE_P(Installers, Unseen,
                         testing::Values(UnseenCase{"Missing", Installer::Missing},
                                         UnseenCase{"WithoutEntryPoint", Installer::WithoutEntryPoint},
                                         UnseenCase{"Working", Installer::Working}),
                         [](const testing::TestParamInfo<UnseenCase>& info) {
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
