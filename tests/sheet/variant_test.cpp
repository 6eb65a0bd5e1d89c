#include "sheet/failures.h"
#include "sheet/variant.h"

#include "sheettestsupport.h"

using namespace sheet;
using sheettest::failureOf;

namespace {

TEST(VariantArrays, DefaultIsOneDimensionalAndEmpty)
{
    VariantArray array;
    EXPECT_EQ(array.dimensions(), 1);
    EXPECT_EQ(array.upperBound(), -1);
}

TEST(VariantArrays, TwoDimensionalTablesHaveEmptySlotsUntilFilled)
{
    auto table = VariantArray::twoDimensional(2, 3);
    table(1, 2) = "[Time].[1997].[Q1]";
    EXPECT_EQ(table.upperBound(1), 1);
    EXPECT_EQ(table.upperBound(2), 2);
    EXPECT_FALSE(table(0, 0));
    EXPECT_EQ(table(1, 2), "[Time].[1997].[Q1]");
}

TEST(VariantArrays, IndexingOutsideTheBoundsIsSubscriptOutOfRange)
{
    VariantArray list{"a", std::nullopt};
    const auto failure = failureOf([&] { list[2]; });
    EXPECT_EQ(failure.number(), 9);
    EXPECT_EQ(failure.source(), "sheet");
    EXPECT_EQ(failureOf([&] { list.upperBound(2); }).number(), 9);
}

TEST(VariantArrays, IndexingWithTheWrongNumberOfSubscriptsIsATypeMismatch)
{
    auto table = VariantArray::twoDimensional(1, 1);
    EXPECT_EQ(failureOf([&] { table[0]; }).number(), 13);
    VariantArray list{"a"};
    EXPECT_EQ(failureOf([&] { list(0, 0); }).number(), 13);
}

}  // namespace
