// What the program tells the user when its installer cannot be reached, on the desktop and
// where no one sees it, and how it treats the installer's own answers.
#include <gtest/gtest.h>

#include "case_run.h"
#include "expectations.h"
#include "named_cases.h"

namespace {

const char kDatabase[] = "C:\\Data\\orders.mdb";

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

PRINT_CASES_BY_NAME(MissingEntryPointCase)

class MissingEntryPoint : public testing::TestWithParam<MissingEntryPointCase> {};

TEST_P(MissingEntryPoint, IsToldOncePerRequestAndTheLibraryLoadedOnce)
{
    const MissingEntryPointCase& c = GetParam();
    const CopySpec copy = Other(Standin::NoEntryPoint);
    const Machine machine = c.inSystemDirectory ? Machine{copy, Absent()} : Machine{Absent(), copy};
    const CaseRun r = RunCase(std::string("entry-point-") + c.name, machine, kDatabase);
    ASSERT_TRUE(r.prepared);

    ASSERT_TRUE(r.run.finished);
    EXPECT_EQ(r.run.exitCode, 0u);
    ExpectInstallerBoxes(
        r.run,
        MissingEntryPointText(r.folder, c.inSystemDirectory ? SystemCopyPath() : r.searchCopyPath),
        2);
    ASSERT_EQ(r.events.size(), 2u);
    EXPECT_EQ(r.events[0].kind, "attach");
    EXPECT_EQ(r.events[1].kind, "exit");
    EXPECT_EQ(r.events[1].references, 1u);
}

INSTANTIATE_TEST_SUITE_P(Copies, MissingEntryPoint,
                         testing::Values(MissingEntryPointCase{"SystemCopy", true},
                                         MissingEntryPointCase{"SearchCopy", false}),
                         CaseName<MissingEntryPointCase>);

enum class Installer { Missing, WithoutEntryPoint, Working };

struct UnseenCase {
    const char* name;
    Installer installer;
};

PRINT_CASES_BY_NAME(UnseenCase)

class Unseen : public testing::TestWithParam<UnseenCase> {};

// Where no one can see a box, the reports go to standard error, both requests are still
// made, and a run that could not reach the installer fails.
TEST_P(Unseen, ReportsOnStandardErrorWithoutWaiting)
{
    const UnseenCase& c = GetParam();
    const CopySpec copies[] = {Absent(), Other(Standin::NoEntryPoint), Versioned(0x00010000)};
    const CaseRun r = RunCase(std::string("unseen-") + c.name,
                              Machine{Absent(), copies[static_cast<int>(c.installer)]}, kDatabase,
                              Station::Unseen);
    ASSERT_TRUE(r.prepared);

    ASSERT_TRUE(r.run.finished) << "still waiting after 10 s";
    EXPECT_TRUE(r.run.boxes.empty());
    std::string line;
    switch (c.installer) {
    case Installer::Working:
        ExpectQuietSuccess(r.run);
        ExpectRequestsThrough(r.events, r.searchCopyPath, SystemCopyPath(), kDatabase);
        return;
    case Installer::Missing:
        line = std::string("vornakdsn: ") + kMissingLibraryText + "\r\n";
        break;
    case Installer::WithoutEntryPoint:
        line = "vornakdsn: " + MissingEntryPointText(r.folder, r.searchCopyPath) + "\r\n";
        break;
    }
    EXPECT_EQ(r.run.exitCode, 3u);
    EXPECT_EQ(r.run.output, "");
    EXPECT_EQ(r.run.errors, line + line);
}

INSTANTIATE_TEST_SUITE_P(
    Installers, Unseen,
    testing::Values(UnseenCase{"Missing", Installer::Missing},
                    UnseenCase{"WithoutEntryPoint", Installer::WithoutEntryPoint},
                    UnseenCase{"Working", Installer::Working}),
    CaseName<UnseenCase>);

struct SessionZeroCase {
    const char* name;
    const char* windows;
    bool seen;
};

PRINT_CASES_BY_NAME(SessionZeroCase)

class SessionZero : public testing::TestWithParam<SessionZeroCase> {};

// From Windows Vista on no one sees session 0, though its station is flagged visible; up to
// Windows XP and Server 2003 it is the console, where the box is shown as anywhere else.
TEST_P(SessionZero, IsUnseenFromVistaOn)
{
    const SessionZeroCase& c = GetParam();
    Machine machine{Absent(), Absent()};
    machine.windows = c.windows;
    const CaseRun r = RunCase(std::string("session-zero-") + c.name, machine, kDatabase,
                              Station::SessionZero);
    ASSERT_TRUE(r.prepared);

    ASSERT_TRUE(r.run.finished) << "still waiting after 10 s";
    const std::string line = std::string("vornakdsn: ") + kMissingLibraryText + "\r\n";
    EXPECT_EQ(r.run.exitCode, c.seen ? 0u : 3u);
    EXPECT_EQ(r.run.errors, c.seen ? "" : line + line);
}

INSTANTIATE_TEST_SUITE_P(Windows, SessionZero,
                         testing::Values(SessionZeroCase{"WindowsXp", "winxp", true},
                                         SessionZeroCase{"Vista", "vista", false},
                                         SessionZeroCase{"Windows10", "win10", false}),
                         CaseName<SessionZeroCase>);

TEST(InstallerRefusing, StillEndsWithStatusZeroAfterBothRequests)
{
    const CaseRun r = RunCase("installer-refusing", Machine{Absent(), Other(Standin::Refusing)},
                              kDatabase);
    ASSERT_TRUE(r.prepared);

    ExpectQuietSuccess(r.run);
    EXPECT_TRUE(r.run.boxes.empty());
    ExpectRequestsThrough(r.events, r.searchCopyPath, SystemCopyPath(), kDatabase);
}

}  // namespace
