// Pivot caches and the checks the host makes before handing a new pivot
// table to the pivot engine.
#include "sheet/host/hostapplication.h"

#include "sheettestsupport.h"

using namespace sheet;
using namespace sheettest;

namespace {

// Stands in for the cube engine: its tables cover four rows and two columns
// from their top-left cell.
class FakeEngine final : public PivotEngine {
public:
    std::shared_ptr<PlacedPivotTable> create(const PivotSource& source, HostWorksheet&, CellRef topLeft,
                                             const std::string& name) override
    {
        sources.push_back(source);
        return std::make_shared<FakeTable>(name, Area{topLeft, {topLeft.row + 3, topLeft.column + 1}, Area::Kind::Cells});
    }
    std::vector<PivotSource> sources;
};

class PivotCaches : public ::testing::Test {
protected:
    void SetUp() override { host->setEngines(engine, nullptr); }

    std::shared_ptr<PivotCache> cache()
    {
        auto cache = book->PivotCaches()->Add(kExternalSource);
        cache->Connection(VariantArray{"OLEDB;Provider=MSOLAP.2;Data Source=/data/Sales.cub;", "Initial Catalog=Sales"});
        cache->CommandType(kCommandCube);
        cache->CommandText(VariantArray{"Sa", std::nullopt, "les"});
        return cache;
    }

    std::shared_ptr<HostApplication> host = HostApplication::create();
    std::shared_ptr<FakeEngine> engine = std::make_shared<FakeEngine>();
    std::shared_ptr<Workbook> book = host->Workbooks()->Add();
    std::shared_ptr<Worksheet> sheet = book->Worksheets()->Item(1);
};

TEST_F(PivotCaches, TakeAnExternalSourceAndJoinTheirArrays)
{
    auto c = cache();
    EXPECT_EQ(c->Connection(), "OLEDB;Provider=MSOLAP.2;Data Source=/data/Sales.cub;Initial Catalog=Sales");
    EXPECT_EQ(c->CommandText(), "Sales");
    EXPECT_EQ(failureOf([&] { c->Connection(VariantArray::twoDimensional(1, 1)); }).number(), 13);
    EXPECT_EQ(failureOf([&] { book->PivotCaches()->Add(1); }).number(), 1004);
}

TEST_F(PivotCaches, CreatePivotTableRefusesATakenPlaceOrNameAndAnotherWorkbook)
{
    cache()->CreatePivotTable(sheet->Range("C5"), "Table Sales");  // covers C5:D8
    auto other = host->Workbooks()->Add()->Worksheets()->Item(1);
    const auto create = [&](const std::shared_ptr<Range>& at, const std::string& name) {
        return [=, this] { cache()->CreatePivotTable(at, name); };
    };
    expectRefusals({{"over another table's last cell", create(sheet->Range("D8"), "Table Costs"), 1004, "Table Sales"},
                    {"a name in use", create(sheet->Range("K1"), "Table Sales"), 1004, "Table Sales"},
                    {"no name", create(sheet->Range("K1"), ""), 1004},
                    {"another workbook", create(other->Range("A1"), "Table Costs"), 1004}});
    EXPECT_EQ(engine->sources.size(), 1u);
    cache()->CreatePivotTable(sheet->Range("C9"), "Table Costs");  // just below
    EXPECT_EQ(sheet->PivotTables()->Count(), 2);
}

}  // namespace
