// What the program makes of its command line.
#include <gtest/gtest.h>

#include "expectations.h"

namespace {

struct CommandLineCase {
    const char* name;
    std::string arguments;  // as typed after the program's name
    std::string path;       // the database path the add request must carry
    bool refused;           // refused before any request, with exit status 2
    const char* refusalMentions;
};

const size_t kLongestPath = 4096 - 72;

std::string PathOfLength(size_t length)
{
    return "C:\\" + std::string(length - 3, 'd');
}

const CommandLineCase kCases[] = {
    {"QuotedPathWithBlanks", "\"C:\\Data Files\\orders db.mdb\"", "C:\\Data Files\\orders db.mdb",
     false, ""},
    {"ExtraArgumentsIgnored", "first.mdb second.mdb \"third one\"", "first.mdb", false, ""},
    {"EmptyArgument", "\"\"", "", false, ""},
    {"LongestPath", PathOfLength(kLongestPath), PathOfLength(kLongestPath), false, ""},
    {"OneByteTooLong", PathOfLength(kLongestPath + 1), "", true, "4024"},
    {"NoArgument", "", "", true, "usage"},
};

void PrintTo(const CommandLineCase& c, std::ostream* os)
{
    *os << c.name;
}

class CommandLine : public testing::TestWithParam<CommandLineCase> {};

TEST_P(CommandLine, GivesTheAddRequestThePath)
{
    const CommandLineCase& c = GetParam();
    const std::string folder = PrepareCase(std::string("command-line-") + c.name);
    const std::string copyPath = folder + "\\odbccp32.dll";
    ASSERT_TRUE(PlaceCopy(Versioned(0x00010000), copyPath));

    const ToolRun run = RunTool(folder, c.arguments);

    ASSERT_TRUE(run.finished);
    EXPECT_TRUE(run.boxes.empty());
    if (!c.refused) {
        ExpectQuietSuccess(run);
        ExpectRequestsThrough(ReadStandinLog(folder), copyPath, SystemCopyPath(), c.path);
        return;
    }
    // Refused before the removal: an existing data source stays as it was.
    EXPECT_EQ(run.exitCode, 2u);
    EXPECT_EQ(run.output, "");
    EXPECT_NE(run.errors.find(c.refusalMentions), std::string::npos) << run.errors;
    EXPECT_EQ(run.errors.find('\n'), run.errors.size() - 1) << "one line: " << run.errors;
    EXPECT_TRUE(ReadStandinLog(folder).empty());
}

INSTANTIATE_TEST_SUITE_P(Arguments, CommandLine, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<CommandLineCase>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
