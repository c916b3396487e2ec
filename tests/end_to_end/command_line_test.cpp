// What the program makes of its command line.
#include <gtest/gtest.h>

#include "case_run.h"
#include "expectations.h"
#include "files.h"
#include "named_cases.h"
#include "vornakdsn_version.h"

namespace {

struct CommandLineCase {
    const char* name;
    std::string arguments;  // as typed after the program's name
    bool registers;         // both requests, the add request carrying path
    std::string path;
    // Otherwise answered before any request, with exactly this status and these texts.
    DWORD exitCode;
    std::string output;
    std::string errors;
};

PRINT_CASES_BY_NAME(CommandLineCase)

CommandLineCase Registers(const char* name, const std::string& arguments, const std::string& path)
{
    return {name, arguments, true, path, 0, "", ""};
}

CommandLineCase Answers(const char* name, const std::string& arguments, DWORD exitCode,
                        const std::string& output, const std::string& errors)
{
    return {name, arguments, false, "", exitCode, output, errors};
}

// The longest path the add list holds.
const size_t kLongestPath = 4024;

std::string PathOfLength(size_t length)
{
    return "C:\\" + std::string(length - 3, 'd');
}

const char kUsage[] = "usage: vornakdsn [--check] DATABASE-PATH\r\n";
const char kTooLong[] = "vornakdsn: the database path is longer than 4024 bytes\r\n";
const char kEmpty[] = "vornakdsn: the database path is empty\r\n";
const char kQuote[] =
    "vornakdsn: the database path holds a quote (\"), which no Windows path can; a "
    "backslash before a closing quote escapes it, so end a quoted folder path with two: "
    "\"C:\\Data\\\\\"\r\n";
// Stands for the help in the table: what it must say is checked, not each of its words.
const char kHelp[] = "<the help>";
// The usage first, then every exit status of a run and of a check and the limit of a path, in
// lines that fit a console of 80 columns.
void ExpectHelp(const std::string& help)
{
    EXPECT_EQ(help.compare(0, sizeof kUsage - 1, kUsage), 0) << help;
    for (const char* said : {"\r\n  0  ", "\r\n  1  ", "\r\n  2  ", "\r\n  3  ", "\r\n  4  ",
                             "--check", "4024 bytes", "vornakdsn --version"})
        EXPECT_NE(help.find(said), std::string::npos) << "the help does not say " << said;
    size_t start = 0;
    for (size_t end; (end = help.find("\r\n", start)) != std::string::npos; start = end + 2)
        EXPECT_LE(end - start, 79u) << help.substr(start, end - start);
    EXPECT_EQ(start, help.size()) << "the help does not end in a line end";
}

const char kVersion[] = "vornakdsn " VORNAKDSN_VERSION_TEXT "\r\n";

const CommandLineCase kCases[] = {
    Registers("QuotedPathWithBlanks", "\"C:\\Data Files\\orders db.mdb\"",
              "C:\\Data Files\\orders db.mdb"),
    Registers("ExtraArgumentsIgnored", "first.mdb second.mdb \"third one\"", "first.mdb"),
    Answers("EmptyArgument", "\"\"", 2, "", kEmpty),
    // A backslash before the closing quote escapes it: C:\Data" arrives.
    Answers("QuotedFolderEndingInBackslash", "\"C:\\Data\\\"", 2, "", kQuote),
    Answers("QuoteInTheMiddle", "C:\\Da\\\"ta.mdb", 2, "", kQuote),
    Registers("QuotedFolderEndingInTwoBackslashes", "\"C:\\Data\\\\\"", "C:\\Data\\"),
    Registers("LongestPath", PathOfLength(kLongestPath), PathOfLength(kLongestPath)),
    Answers("OneByteTooLong", PathOfLength(kLongestPath + 1), 2, "", kTooLong),
    Answers("NoArgument", "", 2, "", kUsage),
    // Asking for help or the version never repoints the data source.
    Answers("HelpSlashQuestion", "/?", 0, kHelp, ""),
    Answers("HelpDashQuestion", "-?", 0, kHelp, ""),
    Answers("HelpDashH", "-h", 0, kHelp, ""),
    Answers("HelpLong", "--help", 0, kHelp, ""),
    Answers("HelpBeforeAPath", "/? C:\\Data\\orders.mdb", 0, kHelp, ""),
    Answers("Version", "--version", 0, kVersion, ""),
    // Only the exact words ask: anything else is a path, used as given.
    Registers("HelpInCapitalsIsAPath", "--HELP", "--HELP"),
    Registers("HelpWithABlankIsAPath", "\"/? \"", "/? "),
    Registers("VersionWithOneDashIsAPath", "-version", "-version"),
    // A check needs no installer: it loads none, moves none and shows no box.
    Answers("Check", "--check C:\\Data\\orders.mdb", 1,
            "The ODBC data source vornakDsnStore is missing; it should point at the Access "
            "database C:\\Data\\orders.mdb.\r\n",
            ""),
    Answers("CheckWithoutPath", "--check", 2, "", kUsage),
    Answers("CheckOfAnEmptyPath", "--check \"\"", 2, "", kEmpty),
    Registers("CheckInCapitalsIsAPath", "--CHECK", "--CHECK"),
};

class CommandLine : public testing::TestWithParam<CommandLineCase> {};

TEST_P(CommandLine, IsAnsweredAsTheFirstArgumentAsks)
{
    const CommandLineCase& c = GetParam();
    // An undersized system copy, which only a run that loads the installer moves aside.
    const CaseRun r = RunCase(std::string("command-line-") + c.name,
                              Machine{Unversioned(), Versioned(0x00010000)}, c.arguments);
    ASSERT_TRUE(r.prepared);

    ASSERT_TRUE(r.run.finished);
    EXPECT_TRUE(r.run.boxes.empty());
    if (c.registers) {
        ExpectQuietSuccess(r.run);
        ExpectRequestsThrough(r.events, r.searchCopyPath, SystemCopyPath(), c.path);
        return;
    }
    EXPECT_EQ(r.run.exitCode, c.exitCode);
    if (c.output == kHelp)
        ExpectHelp(r.run.output);
    else
        EXPECT_EQ(r.run.output, c.output);
    EXPECT_EQ(r.run.errors, c.errors);
    // Answered before the removal: the installer library was not even loaded, and an
    // existing data source stays as it was.
    EXPECT_TRUE(r.events.empty());
    EXPECT_EQ(ReadBytes(SystemCopyOnDisk()), r.placedSystemCopy);
}

INSTANTIATE_TEST_SUITE_P(Arguments, CommandLine, testing::ValuesIn(kCases),
                         CaseName<CommandLineCase>);

}  // namespace
