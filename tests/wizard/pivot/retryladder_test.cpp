// Carrying an editor's drilled and hidden members over to a real pivot
// table whose host rejects a chosen number of assignments: how often each
// stage tries, with which tables, and when it gives up.
#include "buildfixture.h"
#include "hostdecorators.h"
#include "widgets/nxdimeditctrl.h"

#include <gtest/gtest.h>

using namespace pivottest;

namespace {

class RetryLadder : public BuildFixture {
protected:
    void SetUp() override { useRejectingPivotTables(host(), log); }

    // A pivot table over the Shop cube file with `dimension` as a column field.
    std::shared_ptr<sheet::PivotTable> tableWith(const char* dimension)
    {
        auto book = host()->Workbooks()->Add();
        auto cache = book->PivotCaches()->Add(sheet::kExternalSource);
        cache->Connection(sheet::VariantArray{"OLEDB;Provider=MSOLAP.2;Data Source=" + (folder / "Shop.cub").string()
                                              + ";Initial Catalog=Shop Catalog"});
        cache->CommandType(sheet::kCommandCube);
        cache->CommandText(sheet::VariantArray{"Shop"});
        auto table = cache->CreatePivotTable(book->Worksheets()->Item(1)->Range("A3"), "Test");
        table->CubeFields()->Item("[" + std::string(dimension) + "]")->Orientation(sheet::kColumnField);
        return table;
    }

    // Checks `members` in the column editor of `dimension` and applies it.
    void apply(const char* dimension, const PivotWizard::Names& members)
    {
        const auto table = tableWith(dimension);
        PivotWizard::check(wizard().openEditor(true, 0, QString::fromLatin1(dimension)), members);
        wizard().applyMembers(table, QString::fromLatin1(dimension), 2);
    }

    // The texts of row `row` of each drilled table given, in order.
    std::vector<sheet::Variant> drilledRow(size_t row) const
    {
        std::vector<sheet::Variant> texts;
        for (const GivenTable& given : log.drilled)
            texts.push_back(rowsOf(given.table).at(row).at(0));
        return texts;
    }

    HostLog log;
};

// Product's drill table has three rows (upper bound 2): the "all" row, left
// empty, then Drinks and Soda; Cola's level is the deepest and not drilled.
const PivotWizard::Names kProductDrills{"[Product].[All Products]", "[Product].[All Products].[Drinks]",
                                 "[Product].[All Products].[Drinks].[Soda]",
                                 "[Product].[All Products].[Drinks].[Soda].[Cola]"};

TEST_F(RetryLadder, AnEditorWithNothingCheckedSetsNothing)
{
    useStoreShop();
    apply("Product", {});
    EXPECT_TRUE(log.drilled.empty());
    EXPECT_TRUE(log.hidden.empty());
    EXPECT_TRUE(log.hiddenItems.empty());
}

TEST_F(RetryLadder, AnAcceptedStoreTableIsAssignedOnceAsBuilt)
{
    useStoreShop();
    apply("Product", kProductDrills);
    ASSERT_EQ(log.drilled.size(), 1u);
    EXPECT_EQ(log.drilled[0].field, "[Product]");
    EXPECT_EQ(rowsOf(log.drilled[0].table),
              (Rows{{E}, {S("[Product].[All Products].[Drinks]")}, {S("[Product].[All Products].[Drinks].[Soda]")}}));
    EXPECT_FALSE(trapped());
}

TEST_F(RetryLadder, AStoreTableIsRepairedUpToItsUpperBoundThenRebuiltFromCaptionsThenGivenUp)
{
    useStoreShop();
    log.rejectDrilled = -1;
    apply("Product", kProductDrills);
    // Four attempts with the table as built (one fixArray, then fixArray2),
    // four with the captions table, one last with failures ignored.
    EXPECT_EQ(drilledRow(1), (std::vector<sheet::Variant>{
                                 S("[Product].[All Products].[Drinks]"), S("[Product].&[All Products].&[Drinks]"),
                                 S("[Product].[All Products].&[Drinks]"), S("[Product].[All Products].[Drinks]"),
                                 S("[Product].Drinks"), S("[Product].Drinks"), S("[Product].Drinks"),
                                 S("[Product].Drinks"), S("[Product].Drinks")}));
    EXPECT_FALSE(trapped());
}

TEST_F(RetryLadder, AStoreTableAcceptedAfterOneRepairStopsThere)
{
    useStoreShop();
    log.rejectDrilled = 1;
    apply("Product", kProductDrills);
    EXPECT_EQ(drilledRow(2), (std::vector<sheet::Variant>{S("[Product].[All Products].[Drinks].[Soda]"),
                                                          S("[Product].&[All Products].&[Drinks].&[Soda]")}));
}

TEST_F(RetryLadder, ALocalCubeSeriesEndsAtTheFailureAfterKeyMarkersWereRemoved)
{
    useLocalShop();
    log.rejectDrilled = -1;
    apply("Time", {"[Time].&[2023]", "[Time].&[2024]"});
    // As built, without key markers, from captions, captions repaired, and
    // the last attempt with failures ignored: no fixArray2 in between.
    EXPECT_EQ(drilledRow(0), (std::vector<sheet::Variant>{S("[Time].&[2023]"), S("[Time].[2023]"), S("[Time].[2023]"),
                                                          S("[Time].[2023]"), S("[Time].[2023]")}));
    EXPECT_FALSE(trapped());
}

TEST_F(RetryLadder, HostVersionTenSetsHiddenItemListsOfTheLevelsTheTableHas)
{
    useStoreShop();
    apply("Product", kProductDrills);
    EXPECT_TRUE(log.hidden.empty());
    ASSERT_EQ(log.hiddenItems.size(), 3u);
    // The "all" level row has no pivot field and is skipped.
    EXPECT_EQ(log.hiddenItems[0].field, "[Product].[Category]");
    EXPECT_EQ(log.hiddenItems[0].table, (sheet::VariantArray{S("[Product].[All Products].[Food]")}));
    EXPECT_EQ(log.hiddenItems[1].field, "[Product].[Subcategory]");
    EXPECT_EQ(log.hiddenItems[2].field, "[Product].[Item]");
    EXPECT_EQ(log.hiddenItems[2].table, (sheet::VariantArray{S("[Product].[All Products].[Drinks].[Soda].[Lemonade]")}));
}

TEST_F(RetryLadder, HostVersionNineSetsTheTreeviewHiddenStateOnly)
{
    useStoreShop();
    wizard().setHostGeneration(9);
    apply("Product", kProductDrills);
    EXPECT_TRUE(log.hiddenItems.empty());
    ASSERT_EQ(log.hidden.size(), 1u);
    EXPECT_EQ(log.hidden[0].field, "[Product]");
    EXPECT_EQ(rowsOf(log.hidden[0].table), (Rows{{E}, {S("[Product].[All Products].[Food]")},
                                                 {S("[Product].[All Products].[Drinks].[Juice]")},
                                                 {S("[Product].[All Products].[Drinks].[Soda].[Lemonade]")}}));
}

TEST_F(RetryLadder, AfterTheDrillStageUsedCaptionsTheHiddenStageGoesFromRepairsToIgnoring)
{
    useLocalShop();
    wizard().setHostGeneration(9);
    log.rejectDrilled = -1;
    log.rejectHidden = -1;
    apply("Time", {"[Time].&[2023]", "[Time].&[2024]"});
    // The hidden stage: as built (from captions by now), after one repair,
    // and once more with failures ignored.
    EXPECT_EQ(log.hidden.size(), 3u);
    EXPECT_EQ(log.drilled.size(), 5u);
}

TEST_F(RetryLadder, AHiddenStageOfItsOwnRebuildsFromCaptionsWithoutClearingTheKeyNameFlag)
{
    useLocalShop();
    wizard().setHostGeneration(9);
    log.rejectHidden = -1;
    apply("Time", {"[Time].&[2023]", "[Time].&[2024]"});
    // As built, without markers, from captions, and ignored: the flag raised
    // by the first repair stays up through the rebuild, so the captions table
    // gets one attempt before the last.
    EXPECT_EQ(log.hidden.size(), 4u);
    EXPECT_TRUE(wizard().keyNames());
}

TEST_F(RetryLadder, AHostThatRejectsEveryTableStillGetsItsReport)
{
    prepareStoreBuild();
    log.rejectDrilled = -1;
    log.rejectHiddenItems = -1;
    EXPECT_TRUE(wizard().CreatePivot());
    EXPECT_TRUE(messages.shown().empty());
    EXPECT_FALSE(trapped());
    // Time's one-row drill table: two attempts as built, two from captions,
    // one last. Its hidden quarters: the year level's list three times and
    // once more ignored, then the quarter level's once, ignored.
    EXPECT_EQ(log.drilled.size(), 5u);
    ASSERT_EQ(log.hiddenItems.size(), 5u);
    EXPECT_EQ(log.hiddenItems[3].field, "[Time].[Year]");
    EXPECT_EQ(log.hiddenItems[4].field, "[Time].[Quarter]");
    EXPECT_NE(builtTable(), nullptr);
}

}  // namespace
