#include <gtest/gtest.h>

#include "version.h"

namespace {

struct VersionCase {
    DWORD aMS, aLS, bMS, bLS;
    char expected;
};

VS_FIXEDFILEINFO Block(DWORD fileMS, DWORD fileLS, DWORD productMS, DWORD productLS)
{
    VS_FIXEDFILEINFO block = {};
    block.dwSignature = VS_FFI_SIGNATURE;
    block.dwFileVersionMS = fileMS;
    block.dwFileVersionLS = fileLS;
    block.dwProductVersionMS = productMS;
    block.dwProductVersionLS = productLS;
    return block;
}

void PrintTo(const VersionCase& c, std::ostream* os)
{
    *os << std::hex << c.aMS << '.' << c.aLS << " vs " << c.bMS << '.' << c.bLS;
}

class CompareFileVersionsTest : public testing::TestWithParam<VersionCase> {};

TEST_P(CompareFileVersionsTest, ComparesTheFileVersionOnly)
{
    const VersionCase& c = GetParam();
    // Product versions pull the other way, and must not count.
    VS_FIXEDFILEINFO a = Block(c.aMS, c.aLS, 0, 0);
    VS_FIXEDFILEINFO b = Block(c.bMS, c.bLS, 0xFFFFFFFF, 0xFFFFFFFF);
    EXPECT_EQ(CompareFileVersions(a, b), c.expected);
    VS_FIXEDFILEINFO a2 = Block(c.aMS, c.aLS, 0xFFFFFFFF, 0xFFFFFFFF);
    VS_FIXEDFILEINFO b2 = Block(c.bMS, c.bLS, 0, 0);
    EXPECT_EQ(CompareFileVersions(a2, b2), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Versions, CompareFileVersionsTest,
    testing::Values(VersionCase{0x00030000, 0, 0x00030000, 0, '='},
                    VersionCase{0x00030005, 0x00070001, 0x00030005, 0x00070001, '='},
                    VersionCase{0x00030000, 1, 0x00030000, 0, '>'},
                    VersionCase{0x00030000, 0, 0x00030000, 1, '<'},
                    VersionCase{0x00040000, 0, 0x00030000, 0xFFFFFFFF, '>'},
                    VersionCase{0x00030000, 0xFFFFFFFF, 0x00040000, 0, '<'},
                    VersionCase{0x80000000, 0, 0x7FFFFFFF, 0xFFFFFFFF, '>'},
                    VersionCase{0x00010000, 0x7FFFFFFF, 0x00010000, 0x80000000, '<'},
                    VersionCase{0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFE, '>'},
                    VersionCase{0, 0, 0, 0, '='}));

}  // namespace
