// What the program tells the user when its installer cannot be reached, on the desktop and
// where no one sees it, and how it treats the installer's own answers.
#include <gtest/gtest.h>

#include "case_run.h"
#include "events.h"
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
    EXPECT_EQ(r.run.exitCode, 3u);
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

    ASSERT_TRUE(r.run.finished) << "still waiting after " << kRunLimitSeconds << " s";
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

    ASSERT_TRUE(r.run.finished) << "still waiting after " << kRunLimitSeconds << " s";
    const std::string line = std::string("vornakdsn: ") + kMissingLibraryText + "\r\n";
    EXPECT_EQ(r.run.exitCode, 3u);
    EXPECT_EQ(r.run.errors, c.seen ? "" : line + line);
}

INSTANTIATE_TEST_SUITE_P(Windows, SessionZero,
                         testing::Values(SessionZeroCase{"WindowsXp", "winxp", true},
                                         SessionZeroCase{"Vista", "vista", false},
                                         SessionZeroCase{"Windows10", "win10", false}),
                         CaseName<SessionZeroCase>);

const std::string kNotAdded = std::string("vornakdsn: The ODBC data source vornakDsnStore was "
                                          "not added for the Access database ") +
                              kDatabase + ": the ODBC installer refused it";

// What the stand-in says, with its line end and tab as blanks, cut to the 510 bytes that
// leave room for the NUL and the byte that the program keeps to end the text itself.
std::string StandinExplanation()
{
    const std::string start = "The stand-in refuses.  See below: ";
    return start + std::string(510 - start.size(), 'x');
}

struct RefusalCase {
    const char* name;
    Standin standin;
    DWORD exitCode;
    std::string errors;
};

PRINT_CASES_BY_NAME(RefusalCase)

class Refusal : public testing::TestWithParam<RefusalCase> {};

// Only the add request's answer counts: the installer's account of a refusal is one line on
// standard error, whatever it holds, and the run fails; a refused removal is no failure.
TEST_P(Refusal, EndsAsTheAddRequestDid)
{
    const RefusalCase& c = GetParam();
    const CaseRun r = RunCase(std::string("refusal-") + c.name,
                              Machine{Absent(), Other(c.standin)}, kDatabase);
    ASSERT_TRUE(r.prepared);

    ASSERT_TRUE(r.run.finished);
    EXPECT_EQ(r.run.exitCode, c.exitCode);
    EXPECT_EQ(r.run.output, "");
    EXPECT_EQ(r.run.errors, c.errors);
    EXPECT_TRUE(r.run.boxes.empty());
    ExpectRequestsThrough(r.events, r.searchCopyPath, SystemCopyPath(), kDatabase);
}

INSTANTIATE_TEST_SUITE_P(
    Installers, Refusal,
    testing::Values(
        RefusalCase{"AddExplained", Standin::Refusing, 4,
                    kNotAdded + " with error 11: " + StandinExplanation() + "\r\n"},
        RefusalCase{"AddUnexplained", Standin::RefusingUnexplained, 4,
                    kNotAdded + " and cannot say why, since its library has no "
                                "SQLInstallerError.\r\n"},
        RefusalCase{"RemovalOnly", Standin::RefusingRemoval, 0, ""}),
    CaseName<RefusalCase>);

struct PutBackCase {
    const char* name;
    OldDataSource old;
    std::string told;  // after the installer's reason, which ends without a full stop
};

PRINT_CASES_BY_NAME(PutBackCase)

class PutBack : public testing::TestWithParam<PutBackCase> {};

// The removal was accepted and the installer refused the new data source: the one that was
// there is back as it was, without another request to the installer that just refused, or,
// where it could not be read before, the line says that it may be gone.
TEST_P(PutBack, TellsWhatBecameOfTheOneBefore)
{
    const PutBackCase& c = GetParam();
    Machine machine{Absent(), Other(Standin::Refusing)};
    machine.oldDataSource = c.old;
    const CaseRun r = RunCase(std::string("put-back-") + c.name, machine, kDatabase);
    ASSERT_TRUE(r.prepared);

    ASSERT_TRUE(r.run.finished);
    EXPECT_EQ(r.run.exitCode, 4u);
    EXPECT_EQ(r.run.errors, kNotAdded + " with error 11: " + StandinExplanation() + c.told + "\r\n");
    ExpectRequestsThrough(r.events, r.searchCopyPath, SystemCopyPath(), kDatabase);
    if (c.old == OldDataSource::Readable) {
        EXPECT_TRUE(OldDataSourceIsThere());
    }
}

INSTANTIATE_TEST_SUITE_P(
    OldDataSources, PutBack,
    testing::Values(
        PutBackCase{"Readable", OldDataSource::Readable,
                    ". The data source as it was before was put back."},
        PutBackCase{"Unreadable", OldDataSource::Unreadable,
                    ". The data source that was there could not be read before it was removed, "
                    "and may be gone."}),
    CaseName<PutBackCase>);

// A console shows the line in its own code page, which is not the program's: the line reaches
// it as characters, the path's é as é.
TEST(Console, ShowsTheRefusalAsWritten)
{
    const char kDatabaseInFrench[] = "C:\\Données\\café.mdb";
    const CaseRun r = RunCase("console", Machine{Absent(), Other(Standin::Refusing)},
                              kDatabaseInFrench, Station::Console);
    ASSERT_TRUE(r.prepared);

    ASSERT_TRUE(r.run.finished);
    EXPECT_EQ(r.run.exitCode, 4u);
    EXPECT_EQ(r.run.errors, std::string("vornakdsn: The ODBC data source vornakDsnStore was not "
                                        "added for the Access database ") +
                                kDatabaseInFrench + ": the ODBC installer refused it with error 11: " +
                                StandinExplanation() + "\r\n");
}

struct EventMessageCase {
    const char* name;
    DWORD id;
};

PRINT_CASES_BY_NAME(EventMessageCase)

class EventMessage : public testing::TestWithParam<EventMessageCase> {};

// Each event carries its whole sentence as its one string, since a failed first install leaves
// Event Viewer without the program's message table: where it has the table, the event shows
// that string exactly, and nothing besides.
TEST_P(EventMessage, ShowsItsOneStringWhole)
{
    const EventMessageCase& c = GetParam();
    const std::string program = PrepareCase(std::string("event-") + c.name) + "\\vornakdsn.exe";
    HMODULE image = LoadLibraryExA(program.c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_TRUE(image != NULL);
    const char* strings[] = {"The sentence, C:\\Data\\orders.mdb.", "<not written>"};
    char text[1024];
    const DWORD length =
        FormatMessageA(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_ARGUMENT_ARRAY, image, c.id,
                       0, text, sizeof text, reinterpret_cast<va_list*>(const_cast<char**>(strings)));
    FreeLibrary(image);
    ASSERT_NE(length, 0u) << "no message " << c.id;
    EXPECT_EQ(std::string(text, length), strings[0]);
}

INSTANTIATE_TEST_SUITE_P(
    Events, EventMessage,
    testing::Values(EventMessageCase{"Written", MSG_DATA_SOURCE_WRITTEN},
                    EventMessageCase{"Unreachable", MSG_INSTALLER_UNREACHABLE},
                    EventMessageCase{"Refused", MSG_INSTALLER_REFUSED},
                    EventMessageCase{"RefusedWithoutReason", MSG_INSTALLER_REFUSED_WITHOUT_REASON},
                    EventMessageCase{"RefusedUnexplained", MSG_INSTALLER_REFUSED_UNEXPLAINED},
                    EventMessageCase{"PathRefused", MSG_PATH_REFUSED},
                    EventMessageCase{"NotItsTurn", MSG_NOT_ITS_TURN}),
    CaseName<EventMessageCase>);

}  // namespace
