#include <gtest/gtest.h>

#include <string>

#include "command_line.h"
#include "named_cases.h"

namespace {

struct FirstArgumentCase {
    const char* name;
    std::wstring commandLine;
    bool found;
    std::wstring argument;
    size_t limit;
};

PRINT_CASES_BY_NAME(FirstArgumentCase)

class FirstArgument : public testing::TestWithParam<FirstArgumentCase> {};

TEST_P(FirstArgument, IsSplitAsTheCRuntimeSplitsIt)
{
    const FirstArgumentCase& c = GetParam();
    std::wstring argument(c.limit + 1, L'#');
    ASSERT_EQ(CopyFirstArgument(c.commandLine.c_str(), &argument[0], c.limit), c.found);
    EXPECT_EQ(argument[c.limit], L'#') << "wrote past the limit";
    if (c.found) {
        EXPECT_EQ(std::wstring(argument.c_str()), c.argument);
    }
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, FirstArgument,
    testing::Values(
        FirstArgumentCase{"Plain", L"v.exe C:\\Data\\a.mdb", true, L"C:\\Data\\a.mdb", 64},
        FirstArgumentCase{"BlanksAndTabsBetween", L"v.exe \t  a.mdb b", true, L"a.mdb", 64},
        FirstArgumentCase{"QuotedProgramWithBlanks", L"\"C:\\Program Files\\v.exe\" a.mdb", true,
                          L"a.mdb", 64},
        // Quotes and backslashes mean nothing inside a quoted program name.
        FirstArgumentCase{"QuotedProgramEndsAtItsQuote", L"\"C:\\x\\\"a.mdb b", true, L"a.mdb",
                          64},
        FirstArgumentCase{"QuotedArgumentKeepsBlanks", L"v.exe \"C:\\Data Files\\a b.mdb\" c",
                          true, L"C:\\Data Files\\a b.mdb", 64},
        FirstArgumentCase{"QuotesInTheMiddle", L"v.exe C:\\Data\" \"Files\\a.mdb", true,
                          L"C:\\Data Files\\a.mdb", 64},
        FirstArgumentCase{"EmptyQuoted", L"v.exe \"\" b", true, L"", 64},
        FirstArgumentCase{"UncPath", L"v.exe \\\\server\\share\\a.mdb", true,
                          L"\\\\server\\share\\a.mdb", 64},
        FirstArgumentCase{"EvenBackslashesBeforeQuote", L"v.exe \"C:\\Data\\\\\" b", true,
                          L"C:\\Data\\", 64},
        FirstArgumentCase{"OddBackslashesBeforeQuote", L"v.exe a\\\\\\\"b", true, L"a\\\"b", 64},
        FirstArgumentCase{"NoArgument", L"v.exe", false, L"", 64},
        FirstArgumentCase{"OnlyBlanks", L"\"C:\\a b\\v.exe\"  \t", false, L"", 64},
        FirstArgumentCase{"FillsTheLimit", L"v.exe abc", true, L"abc", 4},
        FirstArgumentCase{"OneOverTheLimit", L"v.exe abcd", false, L"", 4},
        FirstArgumentCase{"BackslashesOverTheLimit", L"v.exe ab\\\\\\\\\"", false, L"", 4}),
    CaseName<FirstArgumentCase>);

}  // namespace
