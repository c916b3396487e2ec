// What the program makes of its command line.
#include <gtest/gtest.h>

#include "expectations.h"
#include "vornakdsn_version.h"

namespace {

enum class Outcome {
    Registers,     // both requests, the add request carrying text as the path
    Refused,       // exit status 2 and one line on standard error that mentions text
    PrintsHelp,    // exit status 0 and the help, whose first line is text
    PrintsVersion  // exit status 0 and exactly text
};

struct CommandLineCase {
    const char* name;
    std::string arguments;  // as typed after the program's name
    Outcome outcome;
    std::string text;
};

const size_t kLongestPath = 4096 - 72;

std::string PathOfLength(size_t length)
{
    return "C:\\" + std::string(length - 3, 'd');
}

const char kUsageLine[] = "usage: vornakdsn DATABASE-PATH\r\n";

const CommandLineCase kCases[] = {
    {"QuotedPathWithBlanks", "\"C:\\Data Files\\orders db.mdb\"", Outcome::Registers,
     "C:\\Data Files\\orders db.mdb"},
    {"ExtraArgumentsIgnored", "first.mdb second.mdb \"third one\"", Outcome::Registers, "first.mdb"},
    {"EmptyArgument", "\"\"", Outcome::Registers, ""},
    {"LongestPath", PathOfLength(kLongestPath), Outcome::Registers, PathOfLength(kLongestPath)},
    {"OneByteTooLong", PathOfLength(kLongestPath + 1), Outcome::Refused, "4024"},
    {"NoArgument", "", Outcome::Refused, "usage"},
    // Asking for help or the version never repoints the data source.
    {"HelpSlashQuestion", "/?", Outcome::PrintsHelp, kUsageLine},
    {"HelpDashQuestion", "-?", Outcome::PrintsHelp, kUsageLine},
    {"HelpDashH", "-h", Outcome::PrintsHelp, kUsageLine},
    {"HelpLong", "--help", Outcome::PrintsHelp, kUsageLine},
    {"HelpBeforeAPath", "/? C:\\Data\\orders.mdb", Outcome::PrintsHelp, kUsageLine},
    {"Version", "--version", Outcome::PrintsVersion, "vornakdsn " VORNAKDSN_VERSION_TEXT "\r\n"},
    // Only the exact words ask: anything else is a path, used as given.
    {"HelpInCapitalsIsAPath", "--HELP", Outcome::Registers, "--HELP"},
    {"HelpWithABlankIsAPath", "\"/? \"", Outcome::Registers, "/? "},
    {"VersionWithOneDashIsAPath", "-version", Outcome::Registers, "-version"},
};

void PrintTo(const CommandLineCase& c, std::ostream* os)
{
    *os << c.name;
}

class CommandLine : public testing::TestWithParam<CommandLineCase> {};

TEST_P(CommandLine, IsAnsweredAsTheFirstArgumentAsks)
{
    const CommandLineCase& c = GetParam();
    const std::string folder = PrepareCase(std::string("command-line-") + c.name);
    const std::string copyPath = folder + "\\odbccp32.dll";
    ASSERT_TRUE(PlaceCopy(Versioned(0x00010000), copyPath));

    const ToolRun run = RunTool(folder, c.arguments);

    ASSERT_TRUE(run.finished);
    EXPECT_TRUE(run.boxes.empty());
    switch (c.outcome) {
    case Outcome::Registers:
        ExpectQuietSuccess(run);
        ExpectRequestsThrough(ReadStandinLog(folder), copyPath, SystemCopyPath(), c.text);
        return;
    case Outcome::Refused:
        EXPECT_EQ(run.exitCode, 2u);
        EXPECT_EQ(run.output, "");
        EXPECT_NE(run.errors.find(c.text), std::string::npos) << run.errors;
        EXPECT_EQ(run.errors.find('\n'), run.errors.size() - 1) << "one line: " << run.errors;
        break;
    case Outcome::PrintsHelp:
        EXPECT_EQ(run.exitCode, 0u);
        EXPECT_EQ(run.errors, "");
        EXPECT_EQ(run.output.substr(0, c.text.size()), c.text) << run.output;
        break;
    case Outcome::PrintsVersion:
        EXPECT_EQ(run.exitCode, 0u);
        EXPECT_EQ(run.errors, "");
        EXPECT_EQ(run.output, c.text);
        break;
    }
    // Answered before the removal: the installer library was not even loaded, and an
    // existing data source stays as it was.
    EXPECT_TRUE(ReadStandinLog(folder).empty());
}

INSTANTIATE_TEST_SUITE_P(Arguments, CommandLine, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<CommandLineCase>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
