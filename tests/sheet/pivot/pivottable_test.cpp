// The members of a pivot table over a cube that the wizard calls: making the
// table from its cache, cube fields, orientations and positions, drill and
// hidden states, pivot fields, data fields.
#include "pivottestsupport.h"

#include "sheet/constants.h"
#include "sheet/cubefield.h"
#include "sheet/host/hostapplication.h"
#include "sheet/pivotfield.h"
#include "sheet/pivot/pivotconnection.h"

using namespace sheet;
using namespace pivottest;
using sheettest::failureOf;

namespace {

VariantArray table(std::vector<std::vector<Variant>> rows)
{
    size_t width = 0;
    for (const auto& row : rows)
        width = std::max(width, row.size());
    auto result = VariantArray::twoDimensional(rows.size(), width);
    for (size_t r = 0; r < rows.size(); ++r) {
        for (size_t c = 0; c < rows[r].size(); ++c)
            result(r, c) = rows[r][c];
    }
    return result;
}

class CubePivotTableTest : public ShopTest {
protected:
    std::shared_ptr<CubeField> field(const std::string& name) { return shop.table->CubeFields()->Item(name); }
    std::shared_ptr<TreeviewControl> tree(const std::string& name) { return field(name)->TreeviewControl(); }
};

TEST_F(CubePivotTableTest, PositionsOrderTheFieldsOfAnArea)
{
    for (const char* name : {"[Time]", "[Product]", "[Measure List]"})
        field(name)->Orientation(kRowField);
    EXPECT_EQ(field("[Product]")->Position(), 2);
    field("[Measure List]")->Position(1);
    EXPECT_EQ(field("[Measure List]")->Position(), 1);
    EXPECT_EQ(field("[Time]")->Position(), 2);
    EXPECT_EQ(field("[Product]")->Position(), 3);
    EXPECT_EQ(failureOf([&] { field("[Time]")->Position(4); }).number(), 1004);
    field("[Time]")->Orientation(kColumnField);
    EXPECT_EQ(field("[Time]")->Position(), 1);
    EXPECT_EQ(field("[Product]")->Position(), 2);
}

TEST_F(CubePivotTableTest, PivotFieldsAreTheLevelsOfPlacedDimensionsAndTheDataFields)
{
    shop.place("[Product]", kRowField);
    shop.place("[Measures].[Units]", kDataField);
    shop.place("[Measures].[Sales]", kDataField);
    std::vector<std::pair<std::string, int32_t>> fields;
    for (const auto& field : *shop.table->PivotFields())
        fields.push_back({field->Name(), field->Orientation()});
    EXPECT_EQ(fields, (std::vector<std::pair<std::string, int32_t>>{{"[Product].[Category]", kRowField},
                                                                    {"[Product].[Product]", kRowField},
                                                                    {"[Measures].[Units]", kDataField},
                                                                    {"[Measures].[Sales]", kDataField}}));
}

TEST_F(CubePivotTableTest, RefusesWhatIsNoFieldMemberOrPlaceOfItAndKeepsItsState)
{
    shop.place("[Product]", kRowField);
    const auto drilled = table({{"[Product].[Drinks]"}});
    tree("[Product]")->Drilled(drilled);
    auto category = shop.table->PivotFields()->Item("[Product].[Category]");
    const VariantArray hidden{std::string("[Product].[Food]")};
    category->HiddenItemsList(hidden);
    std::vector<sheettest::Refusal> refusals = {
        {"a name in another case", [&] { field("[time]"); }, 1004, "[time]"},
        {"a dimension as data", [&] { field("[Time]")->Orientation(kDataField); }, 1004},
        {"a measure on rows", [&] { field("[Measures].[Sales]")->Orientation(kRowField); }, 1004},
        {"the measures as a page", [&] { field("[Measures]")->Orientation(kPageField); }, 1004},
        {"orientation 5", [&] { field("[Time]")->Orientation(5); }, 1004},
        {"the position of a field not placed", [&] { field("[Time]")->Position(1); }, 1004},
        {"the tree of a measure", [&] { field("[Measures].[Sales]")->TreeviewControl(); }, 1004},
        {"a level not placed", [&] { shop.table->PivotFields()->Item("[Time].[Year]"); }, 1004},
        {"a number format for a level", [&] { category->NumberFormat("0"); }, 1004},
        {"hiding another level's member",
         [&] { category->HiddenItemsList(VariantArray{std::string("[Product].[Drinks].[Tea]")}); }, 1004,
         "[Product].[Category]"},
        {"a two-dimensional hidden items list", [&] { category->HiddenItemsList(VariantArray::twoDimensional(1, 1)); },
         13},
        {"a one-dimensional tree state", [&] { tree("[Product]")->Hidden(VariantArray{std::string("[Product].[Food]")}); },
         13}};
    for (const std::string name : {"[Product].[Drinks].[Milk]", "[Time].[2023]", "[Product].[Drinks"})
        refusals.push_back({"drilling " + name, [&, name] { tree("[Product]")->Drilled(table({{name}})); }, 1004, name});
    sheettest::expectRefusals(refusals);
    EXPECT_EQ(tree("[Product]")->Drilled(), drilled);
    EXPECT_EQ(category->HiddenItemsList(), hidden);
    EXPECT_EQ(field("[Time]")->Orientation(), kHidden);
}

TEST(CubePivotConnection, TheConnectionStringIsTakenApartByKey)
{
    const auto server = pivot::parseConnection(
        "OLEDB;Provider=Local Cube File;Location=Shop;Data Source=/data/shop.cub;Initial Catalog=Shop Catalog;"
        "Client Cache Size=25;Auto Synch Period=10000");
    EXPECT_EQ(server.location + "|" + server.dataSource + "|" + server.initialCatalog, "Shop|/data/shop.cub|Shop Catalog");
    const auto quoted = pivot::parseConnection(" provider = MSOLAP.2 ; DATA SOURCE=\"/a;b/\"\"x\"\".cub\"");
    EXPECT_EQ(quoted.provider, "MSOLAP.2");
    EXPECT_EQ(quoted.dataSource, "/a;b/\"x\".cub");
    for (const char* refused : {"OLEDB;Data Source=x", "OLEDB;Provider=MSOLAP.2", "Provider=MSOLAP.2;Data Source=x;junk"})
        EXPECT_EQ(failureOf([&] { pivot::parseConnection(refused); }).number(), 1004) << refused;
}

// Makes a table from a cache with `connection` and `cube` on a new workbook;
// the failure, if any.
std::optional<platform::Failure> creation(const std::string& connection, const std::string& cube, int32_t type = 1)
{
    auto app = createApplication();
    auto book = app->Workbooks()->Add();
    auto cache = book->PivotCaches()->Add(kExternalSource);
    cache->Connection(VariantArray{connection});
    cache->CommandType(type);
    cache->CommandText(VariantArray{cube});
    auto sheet = book->Worksheets()->Item(1);
    try {
        cache->CreatePivotTable(sheet->Range("C5"), "T");
    } catch (const platform::Failure& failure) {
        EXPECT_EQ(sheet->PivotTables()->Count(), 0);
        return failure;
    }
    return std::nullopt;
}

TEST(CubePivotConnection, EveryFormTheWizardBuildsOpensTheCubeAndAnUnreachableOneFailsNamingWhy)
{
    ScratchFolder folder;
    const auto cube = folder / "shop.cub";
    writeShopCube(cube);
    writeText(folder / "bad.cub", "not a cube");
    const std::string file = cube.string(), tail = ";Client Cache Size=25;Auto Synch Period=10000";
    for (const std::string& connection :
         {"OLEDB;Provider=MSOLAP.2;Data Source=" + file + ";Initial Catalog=Shop Catalog" + tail,
          "OLEDB;Provider=MSOLAP.2;Data Source=" + file + ";Initial Catalog=Shop" + tail,
          "OLEDB;Provider=Local Cube File;Location=Shop;Data Source=" + file + ";Initial Catalog=Shop Catalog" + tail})
        EXPECT_FALSE(creation(connection, "Shop")) << connection;
    const std::tuple<std::string, std::string, int32_t, std::string> unreachable[] = {
        {localConnection(folder / "gone.cub", "Shop Catalog"), "Shop", 1, "gone.cub"},
        {localConnection(folder / "bad.cub", "Shop Catalog"), "Shop", 1, "bad.cub"},
        {"OLEDB;Provider=NoSuch.1;Data Source=" + file, "Shop", 1, "NoSuch.1"},
        {localConnection(cube, "Shop Catalog"), "Warehouse", 1, "Warehouse"},
        {localConnection(cube, "Shop Catalog"), "Shop", 2, ""}};
    for (const auto& [connection, name, type, says] : unreachable) {
        const auto failure = creation(connection, name, type);
        ASSERT_TRUE(failure) << connection;
        EXPECT_EQ(failure->number(), 1004);
        EXPECT_NE(failure->description().find(says), std::string::npos) << failure->description();
    }
}

TEST(CubePivotReopened, ASavedReportIsKnownAsAPivotTableWhenTheFileIsOpenedAgain)
{
    ScratchFolder folder;
    const auto cube = folder / "shop.cub";
    const auto file = folder / "report.xlsx";
    writeShopCube(cube);
    auto shop = makeShopTable(cube, "C5");
    shop.book->Worksheets()->Add(shop.sheet)->Name("Other");
    shop.place("[Product]", kRowField);
    shop.place("[Measures].[Sales]", kDataField);
    shop.book->SaveAs(file.string());
    shop.place("[Time]", kColumnField);  // the report grows; saving again moves its mark, adds none
    shop.book->Save();

    auto book = createApplication()->Workbooks()->Open(file.string());
    auto sheet = book->Worksheets()->Item(1);
    ASSERT_EQ(sheet->PivotTables()->Count(), 1);
    EXPECT_EQ(sheet->PivotTables()->Item(1)->Name(), "Table Shop");
    EXPECT_EQ(book->Worksheets()->Item("Other")->PivotTables()->Count(), 0);
    EXPECT_EQ(std::dynamic_pointer_cast<PlacedPivotTable>(sheet->PivotTables()->Item(1))->area(), shop.area());
    const std::string workbook = sheettest::readZip(file).at("xl/workbook.xml").data;
    EXPECT_EQ(workbook.find("_PivotReport2"), std::string::npos) << workbook;
}

}  // namespace
