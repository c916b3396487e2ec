#include <gtest/gtest.h>

#include "named_cases.h"
#include "seen.h"

namespace {

struct SeenCase {
    const char* name;
    DWORD windowsMajorVersion;
    DWORD session;
    bool stationVisible;
    bool seen;
};

PRINT_CASES_BY_NAME(SeenCase)

class Boxes : public testing::TestWithParam<SeenCase> {};

TEST_P(Boxes, AreSeenOnlyWhereSomeoneCanPressOk)
{
    const SeenCase& c = GetParam();
    EXPECT_EQ(BoxesAreSeen(c.windowsMajorVersion, c.session, c.stationVisible), c.seen);
}

INSTANTIATE_TEST_SUITE_P(
    VersionSessionStation, Boxes,
    testing::Values(SeenCase{"Nt4Console", 4, 0, true, true},
                    SeenCase{"XpConsole", 5, 0, true, true},
                    SeenCase{"XpRemoteSession", 5, 3, true, true},
                    SeenCase{"XpService", 5, 0, false, false},
                    SeenCase{"VistaSessionZero", 6, 0, true, false},
                    SeenCase{"Windows10SessionZero", 10, 0, true, false},
                    SeenCase{"Windows10Desktop", 10, 1, true, true},
                    SeenCase{"Windows10HiddenStation", 10, 1, false, false}),
    CaseName<SeenCase>);

}  // namespace
