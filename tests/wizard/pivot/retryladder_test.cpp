// Carrying an editor's drilled and hidden members over to a real pivot table
// whose host rejects a chosen number of assignments: how often each stage
// tries, with which tables, and when it gives up.
#include "buildfixture.h"
#include "hostdecorators.h"
#include "wizard/pivot/pivotbuild.h"

#include <optional>

namespace {

const std::string kAll = "[Product].[All Products]", kDrinks = kAll + ".[Drinks]";
// Product's drill table has three rows (upper bound 2): the "all" row, left
// empty, then Drinks and Soda; Cola's level is the deepest and not drilled.
const Names kProductDrills{kAll, kDrinks, kDrinks + ".[Soda]", kDrinks + ".[Soda].[Cola]"};
const Names kYears{"[Time].&[2023]", "[Time].&[2024]"};

struct Ladder {
    const char* what;
    int kind;
    const char* dimension;
    Names members;
    qint16 hostVersion;
    int rejectDrilled, rejectHidden;  // how many assignments fail; -1: all
    size_t row;                       // of the drilled tables, compared in slot 0
    std::vector<sheet::Variant> drilled;
    std::optional<size_t> hidden;  // tree-view assignments of the hidden state
};

void PrintTo(const Ladder& c, std::ostream* out) { *out << c.what; }

class RetryLadder : public BuildTest, public testing::WithParamInterface<Ladder> {};

TEST_P(RetryLadder, TriesEachTableAsOftenAsItsStageAllows)
{
    const Ladder& c = GetParam();
    useShop(c.kind);
    auto book = host->Workbooks()->Add();
    auto cache = book->PivotCaches()->Add(sheet::kExternalSource);
    cache->Connection(sheet::VariantArray{"OLEDB;Provider=MSOLAP.2;Data Source=" + (folder / "Shop.cub").string()
                                          + ";Initial Catalog=Shop Catalog"});
    cache->CommandType(sheet::kCommandCube);
    cache->CommandText(sheet::VariantArray{"Shop"});
    HostLog log{{c.rejectDrilled, c.rejectHidden}, {}};
    auto table = rejectingTable(cache->CreatePivotTable(book->Worksheets()->Item(1)->Range("A3"), "Test"), log);
    table->CubeFields()->Item("[" + std::string(c.dimension) + "]")->Orientation(sheet::kColumnField);
    check(openEditor(2, 0, QString::fromLatin1(c.dimension)), c.members);
    wizard.excelVersion = c.hostVersion;
    // As the build carries the column editor's state over to its field.
    TestWizard::PivotBuild build{{}, {}, {}, {}, table, {}, {}, 2};
    TestWizard::FieldMembers field;
    field.dimension = wizard.NxDimEditCols[0]->dimension();
    field.kDimension = wizard.NxDimEditCols[0]->kDimension();
    wizard.applyMemberStates(build, field, 0);

    std::vector<sheet::Variant> drilled;
    for (const GivenTable& given : log.of(kDrilled))
        drilled.push_back(rowsOf(given.table).at(c.row).at(0));
    EXPECT_EQ(drilled, c.drilled);
    EXPECT_EQ(log.of(kHidden).size(), c.hidden.value_or(log.of(kHidden).size()));
}

INSTANTIATE_TEST_SUITE_P(
    Stages, RetryLadder,
    testing::Values(
        Ladder{"nothing checked", kStoreCube, "Product", {}, 10, 0, 0, 0, {}, 0},
        // Later hosts take hidden-item lists instead of a tree-view state.
        Ladder{"accepted", kStoreCube, "Product", kProductDrills, 10, 0, 0, 1, {S(kDrinks)}, 0},
        Ladder{"tree view", kStoreCube, "Product", kProductDrills, 9, 0, 0, 1, {S(kDrinks)}, 1},
        // Repaired up to the upper bound (one fixArray, then fixArray2), four attempts from
        // captions, one last with failures ignored.
        Ladder{"store, all rejected", kStoreCube, "Product", kProductDrills, 10, -1, 0, 1,
               {S(kDrinks), S("[Product].&[All Products].&[Drinks]"), S("[Product].[All Products].&[Drinks]"),
                S(kDrinks), S("[Product].Drinks"), S("[Product].Drinks"), S("[Product].Drinks"), S("[Product].Drinks"),
                S("[Product].Drinks")},
               std::nullopt},
        Ladder{"store, one rejected", kStoreCube, "Product", kProductDrills, 10, 1, 0, 2,
               {S(kDrinks + ".[Soda]"), S("[Product].&[All Products].&[Drinks].&[Soda]")}, std::nullopt},
        // As built, without key markers, from captions, captions repaired, and the last
        // attempt: the series ends once markers were removed.
        Ladder{"file, all rejected", kCubeFile, "Time", kYears, 10, -1, 0, 0,
               {S("[Time].&[2023]"), S("[Time].[2023]"), S("[Time].[2023]"), S("[Time].[2023]"), S("[Time].[2023]")},
               std::nullopt},
        // After the drill stage used captions: as built (from captions), one repair, ignored.
        Ladder{"file, both rejected", kCubeFile, "Time", kYears, 9, -1, -1, 0,
               {S("[Time].&[2023]"), S("[Time].[2023]"), S("[Time].[2023]"), S("[Time].[2023]"), S("[Time].[2023]")}, 3},
        // A stage of its own: as built, without markers, from captions, and ignored.
        Ladder{"file, hidden rejected", kCubeFile, "Time", kYears, 9, 0, -1, 0, {S("[Time].&[2023]")}, 4}),
    [](const testing::TestParamInfo<Ladder>& info) { return "Case" + std::to_string(info.index); });

}  // namespace
