#include "sheet/xlsx/a1address.h"

#include <gtest/gtest.h>

using namespace sheet;

namespace {

struct AddressCase {
    const char* text;
    const char* absolute;  // nullptr: not an address
};

class AddressParsing : public ::testing::TestWithParam<AddressCase> {};

TEST_P(AddressParsing, ReadsWhatTheHostAcceptsAndFormatsItAbsolute)
{
    const auto& c = GetParam();
    const auto area = parseAddress(c.text);
    if (!c.absolute) {
        EXPECT_FALSE(area) << c.text;
        return;
    }
    ASSERT_TRUE(area) << c.text;
    EXPECT_EQ(absoluteAddress(*area), c.absolute);
}

INSTANTIATE_TEST_SUITE_P(Table, AddressParsing,
                         ::testing::Values(AddressCase{"C5", "$C$5"}, AddressCase{"$C$5", "$C$5"},
                                           AddressCase{"c5", "$C$5"}, AddressCase{"C$5", "$C$5"},
                                           AddressCase{"A1:B2", "$A$1:$B$2"}, AddressCase{"B2:A1", "$A$1:$B$2"},
                                           AddressCase{"A:C", "$A:$C"}, AddressCase{"4:1", "$1:$4"},
                                           AddressCase{"XFD1048576", "$XFD$1048576"},
                                           AddressCase{"IV65536", "$IV$65536"}, AddressCase{"", nullptr},
                                           AddressCase{"C", nullptr}, AddressCase{"5", nullptr},
                                           AddressCase{"C0", nullptr}, AddressCase{"C05", nullptr},
                                           AddressCase{"XFE1", nullptr}, AddressCase{"A1048577", nullptr},
                                           AddressCase{" C5", nullptr}, AddressCase{"C5 ", nullptr},
                                           AddressCase{"A1:B", nullptr}, AddressCase{"A1:", nullptr},
                                           AddressCase{"1A", nullptr}, AddressCase{"Sheet1!A1", nullptr},
                                           AddressCase{"A1B2", nullptr}, AddressCase{"-1", nullptr}));

TEST(ColumnNames, RoundTripEveryColumnOfTheSheet)
{
    for (int32_t column = 1; column <= kMaxColumn; ++column)
        ASSERT_EQ(columnNumber(columnName(column)), column);
    EXPECT_EQ(columnName(1), "A");
    EXPECT_EQ(columnName(26), "Z");
    EXPECT_EQ(columnName(27), "AA");
    EXPECT_EQ(columnName(256), "IV");
}

TEST(CellNames, ParseOnlyPlainCellReferences)
{
    EXPECT_EQ(parseCellName("B12"), (CellRef{12, 2}));
    EXPECT_FALSE(parseCellName("$B$12"));
    EXPECT_FALSE(parseCellName("B"));
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
