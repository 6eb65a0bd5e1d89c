// Carrying an editor's drilled and hidden members over to a real pivot table
// whose host rejects a chosen number of assignments: how often each stage
// tries, with which tables, and when it gives up.
#include "buildfixture.h"
#include "hostdecorators.h"

namespace {

class RetryLadder : public BuildTest {
protected:
    RetryLadder() { useRejectingPivotTables(host, log); }

    // Checks `members` in the column editor of `dimension` of a pivot table
    // over the Shop cube file and applies them to its column field.
    void apply(const char* dimension, const Names& members)
    {
        auto book = host->Workbooks()->Add();
        auto cache = book->PivotCaches()->Add(sheet::kExternalSource);
        cache->Connection(sheet::VariantArray{"OLEDB;Provider=MSOLAP.2;Data Source=" + (folder / "Shop.cub").string()
                                              + ";Initial Catalog=Shop Catalog"});
        cache->CommandType(sheet::kCommandCube);
        cache->CommandText(sheet::VariantArray{"Shop"});
        auto table = cache->CreatePivotTable(book->Worksheets()->Item(1)->Range("A3"), "Test");
        table->CubeFields()->Item("[" + std::string(dimension) + "]")->Orientation(sheet::kColumnField);
        check(openEditor(2, 0, QString::fromLatin1(dimension)), members);
        applyMembers(table, QString::fromLatin1(dimension), 2);
    }
    // Slot 0 of row `row` of each drilled table given, in order.
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
const std::string kAll = "[Product].[All Products]", kDrinks = kAll + ".[Drinks]";
const Names kProductDrills{kAll, kDrinks, kDrinks + ".[Soda]", kDrinks + ".[Soda].[Cola]"};

TEST_F(RetryLadder, AnAcceptedStoreTableIsAssignedOnceAsBuiltAndNothingCheckedAssignsNothing)
{
    useShop(kStoreCube);
    apply("Time", {});
    EXPECT_TRUE(log.drilled.empty() && log.hidden.empty() && log.hiddenItems.empty());
    apply("Product", kProductDrills);
    ASSERT_EQ(log.drilled.size(), 1u);
    EXPECT_EQ(log.drilled[0].field, "[Product]");
    EXPECT_EQ(rowsOf(log.drilled[0].table), (Rows{{E}, {S(kDrinks)}, {S(kDrinks + ".[Soda]")}}));
}

TEST_F(RetryLadder, AStoreTableIsRepairedUpToItsUpperBoundThenRebuiltFromCaptionsThenGivenUp)
{
    useShop(kStoreCube);
    log.rejectDrilled = -1;
    apply("Product", kProductDrills);
    // Four attempts with the table as built (one fixArray, then fixArray2),
    // four with the captions table, one last with failures ignored.
    EXPECT_EQ(drilledRow(1), (std::vector<sheet::Variant>{
                                 S(kDrinks), S("[Product].&[All Products].&[Drinks]"),
                                 S("[Product].[All Products].&[Drinks]"), S(kDrinks), S("[Product].Drinks"),
                                 S("[Product].Drinks"), S("[Product].Drinks"), S("[Product].Drinks"), S("[Product].Drinks")}));
}

TEST_F(RetryLadder, AStoreTableAcceptedAfterOneRepairStopsThere)
{
    useShop(kStoreCube);
    log.rejectDrilled = 1;
    apply("Product", kProductDrills);
    EXPECT_EQ(drilledRow(2), (std::vector<sheet::Variant>{S(kDrinks + ".[Soda]"),
                                                          S("[Product].&[All Products].&[Drinks].&[Soda]")}));
}

TEST_F(RetryLadder, ALocalCubeSeriesEndsAtTheFailureAfterKeyMarkersWereRemoved)
{
    useShop(kCubeFile);
    log.rejectDrilled = -1;
    apply("Time", {"[Time].&[2023]", "[Time].&[2024]"});
    // As built, without key markers, from captions, captions repaired, and
    // the last attempt with failures ignored: no fixArray2 in between.
    EXPECT_EQ(drilledRow(0), (std::vector<sheet::Variant>{S("[Time].&[2023]"), S("[Time].[2023]"), S("[Time].[2023]"),
                                                          S("[Time].[2023]"), S("[Time].[2023]")}));
}

TEST_F(RetryLadder, HostVersionTenSetsHiddenItemListsOfTheLevelsTheTableHas)
{
    useShop(kStoreCube);
    apply("Product", kProductDrills);
    EXPECT_TRUE(log.hidden.empty());
    ASSERT_EQ(log.hiddenItems.size(), 3u);
    // The "all" level row has no pivot field and is skipped.
    EXPECT_EQ(log.hiddenItems[0].field, "[Product].[Category]");
    EXPECT_EQ(log.hiddenItems[0].table, (sheet::VariantArray{S(kAll + ".[Food]")}));
    EXPECT_EQ(log.hiddenItems[1].field, "[Product].[Subcategory]");
    EXPECT_EQ(log.hiddenItems[2].field, "[Product].[Item]");
    EXPECT_EQ(log.hiddenItems[2].table, (sheet::VariantArray{S(kDrinks + ".[Soda].[Lemonade]")}));
}

TEST_F(RetryLadder, HostVersionNineSetsTheTreeviewHiddenStateOnly)
{
    useShop(kStoreCube);
    wizard.excelVersion = 9;
    apply("Product", kProductDrills);
    EXPECT_TRUE(log.hiddenItems.empty());
    ASSERT_EQ(log.hidden.size(), 1u);
    EXPECT_EQ(log.hidden[0].field, "[Product]");
    EXPECT_EQ(rowsOf(log.hidden[0].table), (Rows{{E}, {S(kAll + ".[Food]")}, {S(kDrinks + ".[Juice]")},
                                                 {S(kDrinks + ".[Soda].[Lemonade]")}}));
}

TEST_F(RetryLadder, TheHiddenStageRetriesDependOnWhatTheDrillStageDid)
{
    const struct {
        bool rejectDrills;
        size_t hiddenAttempts;
    } cases[] = {
        // After the drill stage used captions: as built (from captions), one repair, ignored.
        {true, 3},
        // A stage of its own: as built, without markers, from captions (the flag raised by the
        // first repair stays up through the rebuild), and ignored.
        {false, 4}};
    useShop(kCubeFile);
    wizard.excelVersion = 9;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rejectDrills);
        log.rejectDrilled = c.rejectDrills ? -1 : 0;
        log.rejectHidden = -1;
        log.hidden.clear();
        apply("Time", {"[Time].&[2023]", "[Time].&[2024]"});
        EXPECT_EQ(log.hidden.size(), c.hiddenAttempts);
    }
    EXPECT_TRUE(wizard.keyNameFlag);
}

TEST_F(RetryLadder, AHostThatRejectsEveryTableStillGetsItsReport)
{
    prepareBuild(kStoreCube);
    log.rejectDrilled = -1;
    log.rejectHiddenItems = -1;
    EXPECT_TRUE(wizard.CreatePivot());
    EXPECT_TRUE(messages.shown().empty());
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
