// The drill and hidden tables made from a member editor's state, for both
// cube models, and the helpers that read and shape them.
#include "olap/store/storemodel.h"
#include "pivotfixture.h"
#include "widgets/nxdimeditctrl.h"

#include <gtest/gtest.h>

using namespace pivottest;
using sheet::VariantArray;

namespace {

// The tables a fill produced, with the flags beside them.
struct Filled {
    VariantArray drilled = table({{S("untouched")}});
    VariantArray hidden = table({{S("untouched")}});
    bool addDrills = true;
    bool addHidden = true;
};

class MemberTables : public PivotFixture {
protected:
    // Fills the tables of a row editor showing `dimension` with `checked`
    // members checked (by unique name), as the loaded cube's model does.
    Filled fill(const char* dimension, const PivotWizard::Names& checked, bool useCaptions = false)
    {
        NxDimEditCtrl* editor = wizard().openEditor(false, 0, QString::fromLatin1(dimension));
        PivotWizard::check(editor, checked);
        Filled out;
        if (wizard().sourceKind() == 1) {
            wizard().GetTreeDrilledAndHiddenArrays(editor, editor->dimension(), out.drilled, out.hidden,
                                                   out.addDrills, out.addHidden, useCaptions);
        } else {
            wizard().GetKTreeDrilledAndHiddenArrays(editor, editor->kDimension(), out.drilled, out.hidden,
                                                    out.addDrills, out.addHidden, useCaptions);
        }
        return out;
    }
};

class StoreMemberTables : public MemberTables {
protected:
    void SetUp() override { useStoreShop(); }
};

class ConnectionMemberTables : public MemberTables {
protected:
    void SetUp() override { useLocalShop(); }
};

TEST_F(StoreMemberTables, EmptyListsLeaveBothTablesUntouched)
{
    const Filled out = fill("Time", {});
    EXPECT_FALSE(out.addDrills);
    EXPECT_FALSE(out.addHidden);
    EXPECT_EQ(rowsOf(out.drilled), (Rows{{S("untouched")}}));
    EXPECT_EQ(rowsOf(out.hidden), (Rows{{S("untouched")}}));
}

TEST_F(StoreMemberTables, MembersOfOneLevelAreAllDrilledAndTheirChildrenHiddenOnTheirOwnLevel)
{
    const Filled out = fill("Time", {"[Time].&[2024]", "[Time].&[2023]"});
    EXPECT_TRUE(out.addDrills);
    EXPECT_EQ(rowsOf(out.drilled), (Rows{{S("[Time].&[2024]"), S("[Time].&[2023]")}}));
    // Unchecked children of checked members, in check order; nothing on row 0.
    EXPECT_TRUE(out.addHidden);
    EXPECT_EQ(rowsOf(out.hidden),
              (Rows{{E, E, E}, {S("[Time].&[2024].[Q1]"), S("[Time].&[2023].[Q1]"), S("[Time].&[2023].[Q2]")}}));
}

TEST_F(StoreMemberTables, TheDeepestLevelMetIsNotDrilledAndShortRowsEndInEmptySlots)
{
    const Filled out = fill("Time", {"[Time].&[2023]", "[Time].&[2024]", "[Time].&[2023].[Q1]",
                                     "[Time].&[2023].[Q1].[Jan]"});
    EXPECT_EQ(rowsOf(out.drilled), (Rows{{S("[Time].&[2023]"), S("[Time].&[2024]")}, {S("[Time].&[2023].[Q1]"), E}}));
}

TEST_F(StoreMemberTables, TheAllMemberIsNeverDrilled)
{
    const Filled out = fill("Product", {"[Product].[All Products]", "[Product].[All Products].[Drinks]",
                                        "[Product].[All Products].[Drinks].[Soda]"});
    EXPECT_TRUE(out.addDrills);
    EXPECT_EQ(rowsOf(out.drilled), (Rows{{E}, {S("[Product].[All Products].[Drinks]")}}));
}

// The default selection below an "all" member: every checked member is on
// the level the report shows, so there is nothing to drill; the hidden table
// is still made.
TEST_F(StoreMemberTables, ADrillListWithMembersOnlyOnItsDeepestRowLeavesTheDrillTableUntouched)
{
    const Filled out = fill("Product", {"[Product].[All Products].[Drinks]", "[Product].[All Products].[Food]"});
    EXPECT_FALSE(trapped());
    EXPECT_FALSE(out.addDrills);
    EXPECT_EQ(rowsOf(out.drilled), (Rows{{S("untouched")}}));
    EXPECT_TRUE(out.addHidden);
}

TEST_F(StoreMemberTables, CaptionsReplaceNamePaths)
{
    const Filled out = fill("Time", {"[Time].&[2023]", "[Time].&[2023].[Q1]"}, true);
    EXPECT_EQ(rowsOf(out.drilled), (Rows{{S("[Time].2023")}}));
    EXPECT_EQ(rowsOf(out.hidden), (Rows{{S("[Time].2024"), E}, {S("[Time].Q2"), E}, {S("[Time].Jan"), S("[Time].Feb")}}));
}

TEST_F(ConnectionMemberTables, MembersOfOneLevelAreAllDrilledUnderTheirUniqueNames)
{
    const Filled out = fill("Time", {"[Time].&[2023]", "[Time].&[2024]"});
    EXPECT_EQ(rowsOf(out.drilled), (Rows{{S("[Time].&[2023]"), S("[Time].&[2024]")}}));
    EXPECT_EQ(rowsOf(out.hidden),
              (Rows{{E, E, E}, {S("[Time].&[2023].[Q1]"), S("[Time].&[2023].[Q2]"), S("[Time].&[2024].[Q1]")}}));
}

TEST_F(ConnectionMemberTables, WithAnAllLevelTheAllRowStaysEmptyAndTheDeepestRowIsDropped)
{
    const Filled out = fill("Product", {"[Product].[All Products]", "[Product].[All Products].[Drinks]",
                                        "[Product].[All Products].[Drinks].[Soda]"});
    EXPECT_TRUE(out.addDrills);
    EXPECT_EQ(rowsOf(out.drilled), (Rows{{E}, {S("[Product].[All Products].[Drinks]")}}));
    // Hidden members sit on their level's row, the "all" level being row 0.
    EXPECT_EQ(rowsOf(out.hidden), (Rows{{E, E},
                                        {S("[Product].[All Products].[Food]"), E},
                                        {S("[Product].[All Products].[Drinks].[Juice]"), E},
                                        {S("[Product].[All Products].[Drinks].[Soda].[Cola]"),
                                         S("[Product].[All Products].[Drinks].[Soda].[Lemonade]")}}));
}

TEST_F(ConnectionMemberTables, WithAnAllLevelMembersOfOneLevelLeaveOnlyAnEmptyRow)
{
    const Filled out = fill("Product", {"[Product].[All Products].[Drinks]", "[Product].[All Products].[Food]"});
    EXPECT_FALSE(trapped());
    EXPECT_TRUE(out.addDrills);
    EXPECT_EQ(rowsOf(out.drilled), (Rows{{E, E}}));
}

TEST_F(ConnectionMemberTables, CaptionsSpellThePathFromTheDimensionDown)
{
    const Filled out = fill("Product", {"[Product].[All Products]", "[Product].[All Products].[Drinks]",
                                        "[Product].[All Products].[Drinks].[Juice]"},
                            true);
    EXPECT_EQ(rowsOf(out.drilled), (Rows{{E}, {S("[Product].[All Products].[Drinks]")}}));
    EXPECT_EQ(rowsOf(out.hidden), (Rows{{E},
                                        {S("[Product].[All Products].[Food]")},
                                        {S("[Product].[All Products].[Drinks].[Soda]")},
                                        {S("[Product].[All Products].[Drinks].[Juice].[Apple]")}}));
}

class TableHelpers : public PivotFixture {};

TEST_F(TableHelpers, GetArrayReturnsOneRowWithItsEmptySlots)
{
    const VariantArray row = wizard().getArray(table({{S("a"), S("b"), E}, {S("c"), E, E}}), 1);
    EXPECT_EQ(row, (VariantArray{S("c"), E, E}));
}

TEST_F(TableHelpers, ShrinkArrayDropsTheLastRow)
{
    EXPECT_EQ(rowsOf(wizard().shrinkArray(table({{S("a"), E}, {S("b"), S("c")}}))), (Rows{{S("a"), E}}));
    const VariantArray none = wizard().shrinkArray(table({{S("a"), S("b")}}));
    EXPECT_EQ(none.upperBound(1), -1);
    EXPECT_EQ(none.upperBound(2), 1);
}

TEST_F(TableHelpers, NumElementsCountsOpeningBrackets)
{
    EXPECT_EQ(wizard().numElements(QStringLiteral("[Time].[2023].[Q1]")), 3);
    EXPECT_EQ(wizard().numElements(QStringLiteral("&[2023]")), 1);
    EXPECT_EQ(wizard().numElements(QString()), 0);
}

TEST_F(TableHelpers, GetLevelNameNamesTheLevelOnARowOfTheFirstHierarchy)
{
    useStoreShop();
    EXPECT_EQ(wizard().getLevelName(wizard().storeDimension("Time"), 0), QStringLiteral("[Time].[Year]"));
    // Row 0 of a dimension with an "all" level is that level.
    EXPECT_EQ(wizard().getLevelName(wizard().storeDimension("Product"), 1), QStringLiteral("[Product].[Category]"));
}

}  // namespace
