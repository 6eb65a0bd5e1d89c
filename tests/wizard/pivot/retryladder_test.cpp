// Carrying an editor's drilled and hidden members over to a real pivot table
// whose host rejects a chosen number of assignments: how often each stage
// tries, with which tables, and when it gives up.
#include "buildfixture.h"
#include "wizard/pivot/pivotbuild.h"
#include "sheet/failures.h"

#include <array>
#include <optional>

namespace {

// A decorator over a real pivot table: each TreeviewControl.Drilled/Hidden
// assignment is recorded, and the next reject[kind] of a kind (-1: all) fail
// with 1004; accepted ones reach the real table.
enum Assignment { kDrilled, kHidden };

struct GivenTable {
    Assignment kind;
    std::string field;  // the cube field it was given to
    sheet::VariantArray table;
};

struct HostLog {
    std::array<int, 2> reject{};  // by Assignment
    std::vector<GivenTable> given;
};

// Records `table` and throws 1004 while the log says to reject its kind.
void take(HostLog& log, Assignment kind, const std::string& field, const sheet::VariantArray& table)
{
    log.given.push_back({kind, field, table});
    int& budget = log.reject[kind];
    if (budget == 0)
        return;
    if (budget > 0)
        --budget;
    sheet::failApplication("rejected " + field + " (test host)");
}

class Treeview final : public sheet::TreeviewControl {
public:
    Treeview(std::shared_ptr<sheet::TreeviewControl> real, std::string field, HostLog& log)
        : mReal(std::move(real)), mField(std::move(field)), mLog(log) {}
    sheet::VariantArray Drilled() override { return mReal->Drilled(); }
    void Drilled(const sheet::VariantArray& table) override
    {
        take(mLog, kDrilled, mField, table);
        mReal->Drilled(table);
    }
    sheet::VariantArray Hidden() override { return mReal->Hidden(); }
    void Hidden(const sheet::VariantArray& table) override
    {
        take(mLog, kHidden, mField, table);
        mReal->Hidden(table);
    }

private:
    std::shared_ptr<sheet::TreeviewControl> mReal;
    std::string mField;
    HostLog& mLog;
};

class CubeField final : public sheet::CubeField {
public:
    CubeField(std::shared_ptr<sheet::CubeField> real, HostLog& log) : mReal(std::move(real)), mLog(log) {}
    std::string Name() override { return mReal->Name(); }
    int32_t Orientation() override { return mReal->Orientation(); }
    void Orientation(int32_t orientation) override { mReal->Orientation(orientation); }
    int32_t Position() override { return mReal->Position(); }
    void Position(int32_t position) override { mReal->Position(position); }
    std::shared_ptr<sheet::TreeviewControl> TreeviewControl() override
    {
        return std::make_shared<Treeview>(mReal->TreeviewControl(), mReal->Name(), mLog);
    }

private:
    std::shared_ptr<sheet::CubeField> mReal;
    HostLog& mLog;
};

class FieldList final : public sheet::CubeFields {
public:
    FieldList(std::shared_ptr<sheet::CubeFields> real, HostLog& log) : mReal(std::move(real)), mLog(log) {}
    int32_t Count() override { return mReal->Count(); }
    std::shared_ptr<sheet::CubeField> Item(int32_t index) override { return wrap(mReal->Item(index)); }
    std::shared_ptr<sheet::CubeField> Item(const std::string& name) override { return wrap(mReal->Item(name)); }

private:
    std::shared_ptr<sheet::CubeField> wrap(std::shared_ptr<sheet::CubeField> real)
    {
        return std::make_shared<CubeField>(std::move(real), mLog);
    }

    std::shared_ptr<sheet::CubeFields> mReal;
    HostLog& mLog;
};

class RejectingTable final : public sheet::PivotTable {
public:
    RejectingTable(std::shared_ptr<sheet::PivotTable> real, HostLog& log)
        : mReal(std::move(real)), mCubeFields(std::make_shared<FieldList>(mReal->CubeFields(), log)) {}
    std::string Name() override { return mReal->Name(); }
    bool RowGrand() override { return mReal->RowGrand(); }
    void RowGrand(bool on) override { mReal->RowGrand(on); }
    bool ColumnGrand() override { return mReal->ColumnGrand(); }
    void ColumnGrand(bool on) override { mReal->ColumnGrand(on); }
    bool ManualUpdate() override { return mReal->ManualUpdate(); }
    void ManualUpdate(bool on) override { mReal->ManualUpdate(on); }
    void Format(int32_t format) override { mReal->Format(format); }
    // Kept, as the host keeps its collections, so that loops over them stay valid.
    std::shared_ptr<sheet::CubeFields> CubeFields() override { return mCubeFields; }
    std::shared_ptr<sheet::PivotFields> PivotFields() override { return mReal->PivotFields(); }
    std::shared_ptr<sheet::PivotFields> DataFields() override { return mReal->DataFields(); }
    std::shared_ptr<sheet::Worksheet> Parent() override { return mReal->Parent(); }

private:
    std::shared_ptr<sheet::PivotTable> mReal;
    std::shared_ptr<sheet::CubeFields> mCubeFields;
};

inline sheet::Variant S(const std::string& text) { return text; }
// The rows of a two-dimensional table.
std::vector<std::vector<sheet::Variant>> rowsOf(const sheet::VariantArray& table)
{
    std::vector<std::vector<sheet::Variant>> rows(size_t(table.upperBound(1) + 1));
    for (size_t i = 0; i < rows.size(); ++i)
        for (int j = 0; j <= table.upperBound(2); ++j)
            rows[i].push_back(table(i, size_t(j)));
    return rows;
}

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
    auto table =
        std::make_shared<RejectingTable>(cache->CreatePivotTable(book->Worksheets()->Item(1)->Range("A3"), "Test"), log);
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
    size_t hidden = 0;
    for (const GivenTable& given : log.given) {
        if (given.kind == kDrilled)
            drilled.push_back(rowsOf(given.table).at(c.row).at(0));
        hidden += given.kind == kHidden ? 1 : 0;
    }
    EXPECT_EQ(drilled, c.drilled);
    EXPECT_EQ(hidden, c.hidden.value_or(hidden));
}

INSTANTIATE_TEST_SUITE_P(
    Stages, RetryLadder,
    testing::Values(
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
