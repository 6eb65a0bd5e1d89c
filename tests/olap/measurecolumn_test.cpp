// Compact measure columns: the builder picks the fewest decimals and bytes
// that give every value back bit for bit, and the decoded blocks the scan
// adds are exactly the values the column was made from.
#include "olap/cube/measurecolumn.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace olap;

constexpr double kNone = std::numeric_limits<double>::quiet_NaN();

// Both empty, or the same double to the last bit.
bool same(double a, double b)
{
    return std::isnan(a) ? std::isnan(b) : std::bit_cast<uint64_t>(a) == std::bit_cast<uint64_t>(b);
}

TEST(MeasureColumn, TheCompactFormIsTheSmallestThatGivesEveryValueBack)
{
    const struct {
        const char* what;
        std::vector<double> values;
        std::optional<CompactForm> form;
    } cases[] = {
        {"whole units, one empty", {1, 10, kNone, -127}, CompactForm{1, 0}},
        {"-128 is the one-byte empty", {-128, 5}, CompactForm{2, 0}},
        {"tenths", {1.5, -0.5, 12.7}, CompactForm{1, 1}},
        {"cents", {0.01, 12.34, 327.67}, CompactForm{2, 2}},
        {"cents past two bytes", {327.68}, CompactForm{4, 2}},
        {"largest four-byte whole number", {2147483647}, CompactForm{4, 0}},
        {"millionths", {0.000001, 2.5}, CompactForm{4, 6}},
        {"no values at all", {kNone, kNone}, CompactForm{1, 0}},
        {"past four bytes", {2147483648.0}, std::nullopt},
        {"a third", {1.0 / 3}, std::nullopt},
        {"a sum with a binary tail", {0.1 + 0.2}, std::nullopt},
        {"negative zero", {-0.0}, std::nullopt},
        {"infinity", {std::numeric_limits<double>::infinity()}, std::nullopt},
        {"cents, then one value past them", {1.25, 2.5, 0.125}, CompactForm{2, 3}},
        {"ten decimals", {1e-10}, std::nullopt},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.what);
        const std::optional<CompactForm> form = compactForm(test.values);
        ASSERT_EQ(form.has_value(), test.form.has_value());
        if (form) {
            EXPECT_EQ(form->width, test.form->width);
            EXPECT_EQ(form->decimals, test.form->decimals);
        }
    }
}

// Every value of the scan's blocks and of single reads is the double the
// column was made from: amounts of up to four decimals as parsed from text,
// in all three widths, with empty values among them.
TEST(MeasureColumn, DecodedBlocksAreTheValuesBitForBit)
{
    std::mt19937_64 random(7);
    for (int decimals = 0; decimals <= 4; ++decimals) {
        for (const int64_t range : {100, 30000, 2000000000}) {
            SCOPED_TRACE(std::to_string(decimals) + " decimals, range " + std::to_string(range));
            std::vector<double> values(5000);
            for (double& value : values) {
                const int64_t whole = int64_t(random() % uint64_t(2 * range)) - range + 1;
                value = random() % 9 == 0 ? kNone : std::strtod((std::to_string(whole) + "e-" + std::to_string(decimals)).c_str(), nullptr);
            }
            const std::optional<CompactForm> form = compactForm(values);
            ASSERT_TRUE(form.has_value());
            MeasureColumn column = measureColumn(form->width, form->decimals, values.size());
            ASSERT_EQ(valueWidth(column), form->width);
            std::visit([&](auto& stored) {
                for (size_t i = 0; i < values.size(); ++i)
                    stored[i] = std::decay_t<decltype(stored[0])>(encodeValue(values[i], *form));
            }, column.values);
            std::vector<double> block(values.size());
            const double* decoded = valuesOf(column, 1, values.size() - 1, block.data());
            for (size_t i = 1; i < values.size(); ++i) {
                ASSERT_TRUE(same(decoded[i - 1], values[i])) << i;
                ASSERT_TRUE(same(valueAt(column, i), values[i])) << i;
            }
        }
    }
}

}  // namespace
