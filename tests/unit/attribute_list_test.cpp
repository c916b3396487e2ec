#include <gtest/gtest.h>

#include <string>

#include "attribute_list.h"
#include "expected_lists.h"

namespace {

std::string Bytes(const char* data, size_t size)
{
    return std::string(data, size);
}

TEST(RemoveList, IsTheDataSourceEntryAndTheClosingNul)
{
    EXPECT_EQ(Bytes(kRemoveList, sizeof kRemoveList), ExpectedRemoveList());
}

struct AddListCase {
    const char* name;
    std::string path;
};

void PrintTo(const AddListCase& c, std::ostream* os)
{
    *os << c.name;
}

class AddList : public testing::TestWithParam<AddListCase> {};

TEST_P(AddList, HoldsTheFiveEntriesAndZerosBehindThem)
{
    const std::string& path = GetParam().path;
    char list[kAddListSize];
    memset(list, 0x5A, sizeof list);
    BuildAddList(list, path.c_str());

    const std::string entries = ExpectedAddList(path);
    ASSERT_EQ(entries.size(), path.size() + 72);
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
                    AddListCase{"Longest", std::string(kMaxDatabasePathLength, 'p')}),
    [](const testing::TestParamInfo<AddListCase>& info) { return std::string(info.param.name); });

}  // namespace
