// Pivot caches and the checks the host makes before handing a new pivot
// table to the pivot engine.
#include "sheet/host/extensions.h"
#include "sheet/host/hostapplication.h"

#include "sheettestsupport.h"

using namespace sheet;
using namespace sheettest;

namespace {

// Stands in for the cube engine: covers four rows and two columns from its
// top-left cell and answers only its name and place.
class FakeTable final : public PlacedPivotTable {
public:
    FakeTable(std::string name, CellRef topLeft) : mName(std::move(name)), mTopLeft(topLeft) {}
    std::string Name() override { return mName; }
    bool RowGrand() override { return true; }
    void RowGrand(bool) override {}
    bool ColumnGrand() override { return true; }
    void ColumnGrand(bool) override {}
    bool ManualUpdate() override { return false; }
    void ManualUpdate(bool) override {}
    void Format(int32_t) override {}
    std::shared_ptr<sheet::CubeFields> CubeFields() override { return nullptr; }
    std::shared_ptr<sheet::PivotFields> PivotFields() override { return nullptr; }
    std::shared_ptr<sheet::PivotFields> DataFields() override { return nullptr; }
    std::shared_ptr<Worksheet> Parent() override { return nullptr; }
    Area area() override { return {mTopLeft, {mTopLeft.row + 3, mTopLeft.column + 1}, Area::Kind::Cells}; }

private:
    std::string mName;
    CellRef mTopLeft;
};

class FakeEngine final : public PivotEngine {
public:
    std::shared_ptr<PlacedPivotTable> create(const PivotSource& source, HostWorksheet&, CellRef topLeft,
                                             const std::string& name) override
    {
        sources.push_back(source);
        return std::make_shared<FakeTable>(name, topLeft);
    }
    std::vector<PivotSource> sources;
};

class PivotCaches : public ::testing::Test {
protected:
    std::shared_ptr<PivotCache> cache()
    {
        auto cache = book->PivotCaches()->Add(kExternalSource);
        cache->Connection(VariantArray{"OLEDB;Provider=MSOLAP.2;Data Source=/data/Sales.cub;Initial Catalog=Sales;"
                                       "Client Cache Size=25;Auto Synch Period=10000"});
        cache->CommandType(kCommandCube);
        cache->CommandText(VariantArray{"Sales"});
        return cache;
    }

    std::shared_ptr<HostApplication> host = HostApplication::create();
    std::shared_ptr<FakeEngine> engine = std::make_shared<FakeEngine>();
    std::shared_ptr<Workbook> book = host->Workbooks()->Add();
    std::shared_ptr<Worksheet> sheet = book->Worksheets()->Item(1);
};

TEST_F(PivotCaches, AddTakesOnlyAnExternalSource)
{
    auto added = book->PivotCaches()->Add(2);
    EXPECT_EQ(book->PivotCaches()->Count(), 1);
    EXPECT_EQ(book->PivotCaches()->Item(1), added);
    EXPECT_EQ(failureOf([&] { book->PivotCaches()->Add(1); }).number(), 1004);
}

TEST_F(PivotCaches, ConnectionAndCommandTextJoinTheirArrays)
{
    auto c = cache();
    EXPECT_EQ(c->Connection(), "OLEDB;Provider=MSOLAP.2;Data Source=/data/Sales.cub;Initial Catalog=Sales;"
                               "Client Cache Size=25;Auto Synch Period=10000");
    EXPECT_EQ(c->CommandType(), 1);
    EXPECT_EQ(c->CommandText(), "Sales");
    c->CommandText(VariantArray{"Sa", std::nullopt, "les"});
    EXPECT_EQ(c->CommandText(), "Sales");
    EXPECT_EQ(failureOf([&] { c->Connection(VariantArray::twoDimensional(1, 1)); }).number(), 13);
}

TEST_F(PivotCaches, CreatePivotTableNeedsAPivotEngine)
{
    const auto failure = failureOf([&] { cache()->CreatePivotTable(sheet->Range("C5"), "Table Sales"); });
    EXPECT_EQ(failure.number(), 1004);
    EXPECT_EQ(sheet->PivotTables()->Count(), 0);
}

TEST_F(PivotCaches, CreatePivotTableHandsTheCacheToTheEngineAndListsTheTable)
{
    host->setEngines(engine, nullptr);
    auto table = cache()->CreatePivotTable(sheet->Range("C5"), "Table Sales");
    ASSERT_EQ(engine->sources.size(), 1u);
    EXPECT_EQ(engine->sources[0].commandText, "Sales");
    EXPECT_EQ(engine->sources[0].commandType, 1);
    EXPECT_EQ(sheet->PivotTables()->Count(), 1);
    EXPECT_EQ(sheet->PivotTables("Table Sales"), table);
}

TEST_F(PivotCaches, APivotTableOverAnotherIsRefused)
{
    host->setEngines(engine, nullptr);
    cache()->CreatePivotTable(sheet->Range("C5"), "Table Sales");
    const auto failure = failureOf([&] { cache()->CreatePivotTable(sheet->Range("D8"), "Table Costs"); });
    EXPECT_EQ(failure.number(), 1004);
    EXPECT_NE(failure.description().find("Table Costs"), std::string::npos);
    EXPECT_NE(failure.description().find("Table Sales"), std::string::npos);
    cache()->CreatePivotTable(sheet->Range("C9"), "Table Costs");
    EXPECT_EQ(sheet->PivotTables()->Count(), 2);
}

TEST_F(PivotCaches, ATableNameIsUsedOncePerSheet)
{
    host->setEngines(engine, nullptr);
    cache()->CreatePivotTable(sheet->Range("A1"), "Table Sales");
    EXPECT_EQ(failureOf([&] { cache()->CreatePivotTable(sheet->Range("K1"), "Table Sales"); }).number(), 1004);
    EXPECT_EQ(failureOf([&] { cache()->CreatePivotTable(sheet->Range("K1"), ""); }).number(), 1004);
}

TEST_F(PivotCaches, TheDestinationMustBeInTheCachesWorkbook)
{
    host->setEngines(engine, nullptr);
    auto other = host->Workbooks()->Add()->Worksheets()->Item(1);
    EXPECT_EQ(failureOf([&] { cache()->CreatePivotTable(other->Range("A1"), "Table Sales"); }).number(), 1004);
}

TEST(StoredPivotTables, ANewTableOverOneTheFileHoldsIsRefused)
{
    TempFolder folder;
    writeZip(folder / "Sales.xlsx", fixtureParts({.pivotTable = true}));
    auto host = HostApplication::create();
    host->setEngines(std::make_shared<FakeEngine>(), nullptr);
    auto book = host->Workbooks()->Open((folder / "Sales.xlsx").string());
    auto cache = book->PivotCaches()->Add(kExternalSource);
    auto pivot = book->Worksheets()->Item("Pivot");
    const auto failure = failureOf([&] { cache->CreatePivotTable(pivot->Range("B5"), "Table Sales"); });
    EXPECT_EQ(failure.number(), 1004);
    EXPECT_NE(failure.description().find("SalesPivot"), std::string::npos);
}

}  // namespace
