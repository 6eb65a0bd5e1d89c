#include "sheet/xlsx/sheetnames.h"

#include <gtest/gtest.h>

using namespace sheet;

namespace {

TEST(SheetNames, AcceptOrdinaryNames)
{
    for (const char* name : {"Data", "Sheet 1", "Q1 2024 (final)", "Ünïcödé", "it's mine"})
        EXPECT_FALSE(sheetNameProblem(name)) << name;
}

TEST(SheetNames, RefuseWhatTheHostRefuses)
{
    for (const char* name : {"", "a[b", "a]b", "a:b", "a*b", "a?b", "a/b", "a\\b", "'quoted", "quoted'"})
        EXPECT_TRUE(sheetNameProblem(name)) << name;
}

TEST(SheetNames, AllowThirtyOneCharactersCountedAsCharactersNotBytes)
{
    EXPECT_FALSE(sheetNameProblem(std::string(31, 'x')));
    EXPECT_TRUE(sheetNameProblem(std::string(32, 'x')));
    std::string umlauts;
    for (int i = 0; i < 31; ++i)
        umlauts += "\xC3\xBC";  // 31 characters, 62 bytes
    EXPECT_FALSE(sheetNameProblem(umlauts));
}

TEST(SheetNames, CompareWithoutRegardToCase)
{
    EXPECT_TRUE(sameSheetName("DATA", "data"));
    EXPECT_FALSE(sameSheetName("Data", "Data2"));
}

TEST(SheetNames, NewSheetsTakeTheNumberAboveTheHighestInUse)
{
    EXPECT_EQ(nextSheetName({}), "Sheet1");
    EXPECT_EQ(nextSheetName({"Sheet1"}), "Sheet2");
    EXPECT_EQ(nextSheetName({"Sheet1", "sheet7", "Data"}), "Sheet8");
    EXPECT_EQ(nextSheetName({"Sheet", "Sheet0", "Sheet2x"}), "Sheet1");
}

}  // namespace
