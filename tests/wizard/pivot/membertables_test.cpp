// The helpers that read and shape the drill and hidden tables. The tables an
// editor's state makes are checked where they matter: in the retry ladder,
// which compares what each attempt gave the host, and in the end-to-end
// reports, where drilled members show their children and unchecked ones are
// hidden.
#include "buildfixture.h"

namespace {

using TableHelpers = BuildTest;

TEST_F(TableHelpers, ReadAndShapeTables)
{
    EXPECT_EQ(wizard.getArray(table({{S("a"), S("b"), E}, {S("c"), E, E}}), 1), (sheet::VariantArray{S("c"), E, E}));
    EXPECT_EQ(rowsOf(wizard.shrinkArray(table({{S("a"), E}, {S("b"), S("c")}}))), (Rows{{S("a"), E}}));
    const sheet::VariantArray none = wizard.shrinkArray(table({{S("a"), S("b")}}));
    EXPECT_EQ(none.upperBound(1), -1);
    EXPECT_EQ(none.upperBound(2), 1);
    EXPECT_EQ(wizard.numElements(QStringLiteral("[Time].[2023].[Q1]")), 3);
    EXPECT_EQ(wizard.numElements(QStringLiteral("&[2023]")), 1);
    EXPECT_EQ(wizard.numElements(QString()), 0);
    useShop(kStoreCube);
    // Row 0 of a dimension with an "all" level is that level.
    EXPECT_EQ(wizard.getLevelName(wizard.loadedCube->dimensionByName("Time"), 0), QStringLiteral("[Time].[Year]"));
    EXPECT_EQ(wizard.getLevelName(wizard.loadedCube->dimensionByName("Product"), 1), QStringLiteral("[Product].[Category]"));
}

}  // namespace
