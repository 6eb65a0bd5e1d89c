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
}

}  // namespace
