#include "sheet/xlsx/sheetnames.h"

#include <gtest/gtest.h>

using namespace sheet;

namespace {

TEST(SheetNames, RefuseWhatTheHostRefusesCountingCharactersNotBytes)
{
    std::string umlauts;
    for (int i = 0; i < 31; ++i)
        umlauts += "\xC3\xBC";  // 31 characters, 62 bytes
    const std::pair<std::string, bool> names[] = {
        {"Data", false},  {"Sheet 1", false}, {"Q1 2024 (final)", false}, {"Ünïcödé", false}, {"it's mine", false},
        {umlauts, false}, {std::string(31, 'x'), false}, {std::string(32, 'x'), true}, {"", true},    {"a[b", true},
        {"a]b", true},    {"a:b", true},      {"a*b", true},  {"a?b", true},  {"a/b", true},  {"a\\b", true},
        {"'quoted", true}, {"quoted'", true}};
    for (const auto& [name, refused] : names)
        EXPECT_EQ(sheetNameProblem(name).has_value(), refused) << name;
}

TEST(SheetNames, NewSheetsTakeTheNumberAboveTheHighestInUse)
{
    EXPECT_EQ(nextSheetName({}), "Sheet1");
    EXPECT_EQ(nextSheetName({"Sheet1"}), "Sheet2");
    EXPECT_EQ(nextSheetName({"Sheet1", "sheet7", "Data"}), "Sheet8");
    EXPECT_EQ(nextSheetName({"Sheet", "Sheet0", "Sheet2x"}), "Sheet1");
}

}  // namespace
