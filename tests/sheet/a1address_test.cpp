#include "sheet/xlsx/a1address.h"

#include <gtest/gtest.h>

using namespace sheet;

namespace {

TEST(AddressParsing, ReadsWhatTheHostAcceptsAndFormatsItAbsolute)
{
    const std::pair<const char*, const char*> cases[] = {  // the text, and "" for no address
        {"C5", "$C$5"}, {"$C$5", "$C$5"}, {"c5", "$C$5"}, {"C$5", "$C$5"}, {"A1:B2", "$A$1:$B$2"},
        {"B2:A1", "$A$1:$B$2"}, {"A:C", "$A:$C"}, {"4:1", "$1:$4"}, {"XFD1048576", "$XFD$1048576"},
        {"IV65536", "$IV$65536"}, {"", ""}, {"C", ""}, {"5", ""}, {"C0", ""}, {"C05", ""}, {"XFE1", ""},
        {"A1048577", ""}, {" C5", ""}, {"C5 ", ""}, {"A1:B", ""}, {"A1:", ""}, {"1A", ""}, {"Sheet1!A1", ""},
        {"A1B2", ""}, {"-1", ""}};
    for (const auto& [text, absolute] : cases) {
        const auto area = parseAddress(text);
        EXPECT_EQ(area ? absoluteAddress(*area) : "", absolute) << text;
    }
}

TEST(ColumnNames, RoundTripEveryColumnOfTheSheet)
{
    for (int32_t column = 1; column <= kMaxColumn; ++column)
        ASSERT_EQ(columnNumber(columnName(column)), column);
    EXPECT_EQ(columnName(1), "A");
    EXPECT_EQ(columnName(26), "Z");
    EXPECT_EQ(columnName(27), "AA");
    EXPECT_EQ(columnName(256), "IV");
}

TEST(Areas, ContainAndIntersect)
{
    const Area pivot = *parseAddress("A3:B7");
    EXPECT_TRUE(pivot.contains({5, 2}));
    EXPECT_FALSE(pivot.contains({8, 1}));
    EXPECT_TRUE(pivot.intersects(*parseAddress("B7:C9")));
    EXPECT_FALSE(pivot.intersects(*parseAddress("C1:D9")));
}

}  // namespace
