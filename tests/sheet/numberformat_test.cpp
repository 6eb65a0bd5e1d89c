// Changing a format's decimal places keeps the rest of the format, and
// computed numbers are stored as the digits a spreadsheet shows.
#include "sheet/xlsx/numberformat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace sheet;

namespace {

TEST(NumberFormats, DecimalPlacesChangeOnlyTheDecimalsOfEverySectionThatShowsANumber)
{
    const struct {
        const char* code;
        int places;
        const char* expected;
    } cases[] = {
        {"#,##0", 1, "#,##0.0"},
        {"#,##0.00", 0, "#,##0"},
        {"", 2, "0.00"},
        {"0.00E+00", 1, "0.0E+00"},
        {"#,##0,,", 1, "#,##0.0,,"},  // scaled by millions: the scaling commas stay after the decimals
        {"$#,##0.00_);[Red]($#,##0.00)", 0, "$#,##0_);[Red]($#,##0)"},
        {"#,##0.00;-#,##0.00;\"-\";@", 1, "#,##0.0;-#,##0.0;\"-\";@"},
        {"#,##0 \"kg 0.0\"", 2, "#,##0.00 \"kg 0.0\""},  // quoted digits are text
        {"[$€-407] #,##0.0", 2, "[$€-407] #,##0.00"},
        {"yyyy-mm-dd", 2, "yyyy-mm-dd"},
        {"hh:mm:ss.00", 1, "hh:mm:ss.00"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        EXPECT_EQ(withDecimalPlaces(c.code, c.places), c.expected);
    }
}

TEST(NumberFormats, OnlyZeroWithZerosAfterThePointIsABareDecimalPlacesCode)
{
    const std::pair<const char*, std::optional<int>> cases[] = {
        {"0", 0}, {"0.0", 1}, {"0.000", 3}, {"0.", std::nullopt}, {"#,##0.00", std::nullopt},
        {"0.0#", std::nullopt}, {"00", std::nullopt}, {"", std::nullopt}, {"General", std::nullopt},
    };
    for (const auto& [code, places] : cases) {
        SCOPED_TRACE(code);
        EXPECT_EQ(bareDecimalPlaces(code), places);
    }
}

TEST(NumberFormats, AComputedNumberIsStoredWithTheFifteenDigitsASpreadsheetShows)
{
    double sum = 0;
    for (int i = 0; i < 10; ++i)
        sum += 0.1;
    const std::pair<double, double> cases[] = {
        {14239.479999999996, 14239.48}, {sum, 1.0},  {0.1 + 0.2, 0.3}, {-2.675000000000001, -2.675},
        {123456789012345.0, 123456789012345.0},      {1e-20 / 3, 3.33333333333333e-21},
        {0.0, 0.0},
    };
    for (const auto& [value, shown] : cases) {
        SCOPED_TRACE(value);
        EXPECT_EQ(shownValue(value), shown);
    }
    EXPECT_TRUE(std::isnan(shownValue(std::numeric_limits<double>::quiet_NaN())));
    EXPECT_EQ(shownValue(std::numeric_limits<double>::infinity()), std::numeric_limits<double>::infinity());
}

}  // namespace
