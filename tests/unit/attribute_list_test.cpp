#include <gtest/gtest.h>

#include <string>

#include "attribute_list.h"
#include "expected_lists.h"
#include "named_cases.h"

namespace {

std::string Bytes(const char* data, size_t size)
{
    return std::string(data, size);
}

// Bytes up to and with the empty entry that closes the list.
size_t ListLength(const char* list)
{
    const char* at = list;
    while (*at)
        at += std::string(at).size() + 1;
    return at + 1 - list;
}

// The documented limit: the add list holds paths of up to 4024 bytes.
const size_t kLongestPath = 4024;

TEST(AddListLimit, IsTheDocumentedOne)
{
    // What the byte layout gives: 19 for "DSN=vornakDsnStore" and its NUL, "DBQ=" and the
    // path's NUL 5, the three fixed entries 19, 14 and 14, the closing NUL 1.
    EXPECT_EQ(kAddListOverhead, 72u);
    EXPECT_EQ(kMaxDatabasePathLength, kLongestPath);
}

TEST(RemoveList, IsTheDataSourceEntryAndTheClosingNul)
{
    EXPECT_EQ(Bytes(kRemoveList, sizeof kRemoveList), ExpectedRemoveList());
}

struct AddListCase {
    const char* name;
    std::string path;
};

PRINT_CASES_BY_NAME(AddListCase)

class AddList : public testing::TestWithParam<AddListCase> {};

TEST_P(AddList, HoldsTheFiveEntriesAndZerosBehindThem)
{
    const std::string& path = GetParam().path;
    char list[kAddListSize];
    memset(list, 0x5A, sizeof list);
    BuildAddList(list, path.c_str());

    // 72 bytes besides the path: the four fixed entries, "DBQ=" and six NULs.
    ASSERT_EQ(ListLength(list), path.size() + 72);
    const std::string entries = ExpectedAddList(path);
    EXPECT_EQ(Bytes(list, entries.size()), entries);
    EXPECT_EQ(Bytes(list + entries.size(), kAddListSize - entries.size()),
              std::string(kAddListSize - entries.size(), '\0'));
}

INSTANTIATE_TEST_SUITE_P(
    Paths, AddList,
    testing::Values(AddListCase{"Empty", ""},
                    AddListCase{"Plain", "C:\\Data\\orders.mdb"},
                    AddListCase{"BlanksAndQuotes", "C:\\Data Files\\\"odd\" name.mdb"},
                    AddListCase{"EightBitBytes", "C:\\Donn\xE9" "es\\caf\xE9.mdb"},
                    // Fills the buffer to its last byte, the closing NUL.
                    AddListCase{"Longest", std::string(kLongestPath, 'p')}),
    CaseName<AddListCase>);

}  // namespace
