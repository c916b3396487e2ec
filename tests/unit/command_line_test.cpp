#include <gtest/gtest.h>

#include <string>

#include "command_line.h"
#include "named_cases.h"

namespace {

struct ArgumentCase {
    const char* name;
    std::wstring commandLine;
    bool found;
    std::wstring argument;
    size_t limit;
    int index = 1;
};

PRINT_CASES_BY_NAME(ArgumentCase)

class Argument : public testing::TestWithParam<ArgumentCase> {};

TEST_P(Argument, IsSplitAsTheCRuntimeSplitsIt)
{
    const ArgumentCase& c = GetParam();
    std::wstring argument(c.limit + 1, L'#');
    ASSERT_EQ(CopyArgument(c.commandLine.c_str(), c.index, &argument[0], c.limit), c.found);
    EXPECT_EQ(argument[c.limit], L'#') << "wrote past the limit";
    if (c.found) {
        EXPECT_EQ(std::wstring(argument.c_str()), c.argument);
    }
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, Argument,
    testing::Values(
        ArgumentCase{"Plain", L"v.exe C:\\Data\\a.mdb", true, L"C:\\Data\\a.mdb", 64},
        ArgumentCase{"BlanksAndTabsBetween", L"v.exe \t  a.mdb b", true, L"a.mdb", 64},
        ArgumentCase{"QuotedProgramWithBlanks", L"\"C:\\Program Files\\v.exe\" a.mdb", true,
                          L"a.mdb", 64},
        // Quotes and backslashes mean nothing inside a quoted program name.
        ArgumentCase{"QuotedProgramEndsAtItsQuote", L"\"C:\\x\\\"a.mdb b", true, L"a.mdb",
                          64},
        ArgumentCase{"QuotedArgumentKeepsBlanks", L"v.exe \"C:\\Data Files\\a b.mdb\" c",
                          true, L"C:\\Data Files\\a b.mdb", 64},
        ArgumentCase{"QuotesInTheMiddle", L"v.exe C:\\Data\" \"Files\\a.mdb", true,
                          L"C:\\Data Files\\a.mdb", 64},
        ArgumentCase{"EmptyQuoted", L"v.exe \"\" b", true, L"", 64},
        ArgumentCase{"UncPath", L"v.exe \\\\server\\share\\a.mdb", true,
                          L"\\\\server\\share\\a.mdb", 64},
        ArgumentCase{"EvenBackslashesBeforeQuote", L"v.exe \"C:\\Data\\\\\" b", true,
                          L"C:\\Data\\", 64},
        ArgumentCase{"OddBackslashesBeforeQuote", L"v.exe a\\\\\\\"b", true, L"a\\\"b", 64},
        ArgumentCase{"NoArgument", L"v.exe", false, L"", 64},
        ArgumentCase{"OnlyBlanks", L"\"C:\\a b\\v.exe\"  \t", false, L"", 64},
        ArgumentCase{"FillsTheLimit", L"v.exe abc", true, L"abc", 4},
        ArgumentCase{"OneOverTheLimit", L"v.exe abcd", false, L"", 4},
        ArgumentCase{"BackslashesOverTheLimit", L"v.exe ab\\\\\\\\\"", false, L"", 4},
        // The path after --check, whatever stands before or after it.
        ArgumentCase{"Second", L"v.exe --check \"C:\\a b.mdb\" c", true, L"C:\\a b.mdb", 64, 2},
        ArgumentCase{"SecondAfterOneOverTheLimit", L"v.exe \"a b c d\" e", true, L"e", 4, 2},
        ArgumentCase{"NoSecond", L"v.exe --check ", false, L"", 64, 2}),
    CaseName<ArgumentCase>);

}  // namespace
