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
using sheettest::TempFolder;

namespace {

class CubePivotTableTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        writeShopCube(cube);
        shop = makeShopTable(cube);
    }

    std::vector<std::string> cubeFieldNames()
    {
        std::vector<std::string> names;
        for (const auto& field : *shop.table->CubeFields())
            names.push_back(field->Name());
        return names;
    }

    std::shared_ptr<TreeviewControl> tree(const std::string& field)
    {
        return shop.table->CubeFields()->Item(field)->TreeviewControl();
    }

    static VariantArray table(std::vector<std::vector<Variant>> rows)
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

    TempFolder folder;
    std::filesystem::path cube = folder / "shop.cub";
    ShopTable shop;
};

TEST_F(CubePivotTableTest, CubeFieldsNameEveryDimensionMeasureAndListedMeasure)
{
    EXPECT_EQ(cubeFieldNames(), (std::vector<std::string>{"[Time]", "[Product]", "[Measure List]", "[Measures]",
                                                          "[Measures].[Sales]", "[Measures].[Units]",
                                                          "[Measure List].[Units]"}));
    EXPECT_EQ(shop.table->Name(), "Table Shop");
    EXPECT_EQ(shop.sheet->PivotTables()->Count(), 1);
    EXPECT_EQ(shop.sheet->PivotTables("Table Shop"), shop.table);
    EXPECT_EQ(failureOf([&] { shop.table->CubeFields()->Item("[time]"); }).number(), 1004);  // exact names only
}

TEST_F(CubePivotTableTest, OrientationsFollowTheKindOfField)
{
    auto fields = shop.table->CubeFields();
    EXPECT_EQ(failureOf([&] { fields->Item("[Time]")->Orientation(kDataField); }).number(), 1004);
    EXPECT_EQ(failureOf([&] { fields->Item("[Measures].[Sales]")->Orientation(kRowField); }).number(), 1004);
    EXPECT_EQ(failureOf([&] { fields->Item("[Measures]")->Orientation(kPageField); }).number(), 1004);
    EXPECT_EQ(failureOf([&] { fields->Item("[Time]")->Orientation(5); }).number(), 1004);
    EXPECT_EQ(failureOf([&] { fields->Item("[Time]")->Position(1); }).number(), 1004);  // not placed
    EXPECT_EQ(failureOf([&] { fields->Item("[Measures].[Sales]")->TreeviewControl(); }).number(), 1004);
    fields->Item("[Measure List].[Units]")->Orientation(kDataField);
    EXPECT_EQ(fields->Item("[Measures].[Units]")->Orientation(), kDataField);  // one data field, two names
}

TEST_F(CubePivotTableTest, PositionsOrderTheFieldsOfAnArea)
{
    auto fields = shop.table->CubeFields();
    fields->Item("[Time]")->Orientation(kRowField);
    fields->Item("[Product]")->Orientation(kRowField);
    fields->Item("[Measure List]")->Orientation(kRowField);
    EXPECT_EQ(fields->Item("[Product]")->Position(), 2);
    fields->Item("[Measure List]")->Position(1);
    EXPECT_EQ(fields->Item("[Measure List]")->Position(), 1);
    EXPECT_EQ(fields->Item("[Time]")->Position(), 2);
    EXPECT_EQ(fields->Item("[Product]")->Position(), 3);
    EXPECT_EQ(failureOf([&] { fields->Item("[Time]")->Position(4); }).number(), 1004);
    fields->Item("[Time]")->Orientation(kColumnField);
    EXPECT_EQ(fields->Item("[Time]")->Position(), 1);
    EXPECT_EQ(fields->Item("[Product]")->Position(), 2);
}

TEST_F(CubePivotTableTest, DrillTablesAcceptUniqueNamesWithOrWithoutKeyMarkersAndTheAllMember)
{
    shop.place("[Product]", kRowField);
    shop.place("[Time]", kColumnField);
    const auto accepted = table({{"[Product].[All Products]"},
                                 {"[Product].[Drinks]", "[Product].&[Food]"},
                                 {std::nullopt, "[Product].[All Products].[Drinks]"}});
    tree("[Product]")->Drilled(accepted);
    EXPECT_EQ(tree("[Product]")->Drilled(), accepted);
    tree("[Time]")->Drilled(table({{"[Time].&[2023]"}}));
    tree("[Time]")->Hidden(table({{}, {"[Time].[2023].[Q2]"}}));
}

TEST_F(CubePivotTableTest, ANameThatIsNoMemberIsRefusedAndTheStateKept)
{
    shop.place("[Product]", kRowField);
    const auto before = table({{"[Product].[Drinks]"}});
    tree("[Product]")->Drilled(before);
    for (const std::string name : {"[Product].[Tea]", "[Product].[Drinks].[Milk]", "Drinks", "[Time].[2023]",
                                   "[Product].[Drinks"}) {
        const auto failure = failureOf([&] { tree("[Product]")->Drilled(table({{name}})); });
        EXPECT_EQ(failure.number(), 1004) << name;
        EXPECT_NE(failure.description().find(name), std::string::npos) << failure.description();
        EXPECT_EQ(tree("[Product]")->Drilled(), before);
    }
    EXPECT_EQ(failureOf([&] { tree("[Product]")->Hidden(VariantArray{std::string("[Product].[Food]")}); }).number(),
              13);
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
    EXPECT_EQ(shop.table->DataFields()->Count(), 2);
    EXPECT_EQ(shop.table->DataFields()->Item(1)->NumberFormat(), "0");  // the cube's format until set
    EXPECT_EQ(failureOf([&] { shop.table->PivotFields()->Item("[Time].[Year]"); }).number(), 1004);
    EXPECT_EQ(failureOf([&] { shop.table->PivotFields()->Item("[Product].[Category]")->NumberFormat("0"); }).number(),
              1004);
}

TEST_F(CubePivotTableTest, HiddenItemsListTakesMembersOfItsOwnLevelOnly)
{
    shop.place("[Product]", kRowField);
    auto level = shop.table->PivotFields()->Item("[Product].[Category]");
    const VariantArray hidden{std::string("[Product].[Food]"), std::nullopt};
    level->HiddenItemsList(hidden);
    EXPECT_EQ(level->HiddenItemsList(), hidden);
    const auto failure = failureOf([&] { level->HiddenItemsList(VariantArray{std::string("[Product].[Drinks].[Tea]")}); });
    EXPECT_EQ(failure.number(), 1004);
    EXPECT_NE(failure.description().find("[Product].[Category]"), std::string::npos);
    EXPECT_EQ(level->HiddenItemsList(), hidden);
    EXPECT_EQ(failureOf([&] { level->HiddenItemsList(VariantArray::twoDimensional(1, 1)); }).number(), 13);
}

TEST_F(CubePivotTableTest, ASecondTableAtACellOfTheFirstIsRefused)
{
    shop.place("[Product]", kRowField);
    shop.place("[Measures].[Sales]", kDataField);
    shop.sheet->Columns()->AutoFit();
    auto cache = shop.book->PivotCaches()->Add(kExternalSource);
    cache->Connection(VariantArray{localConnection(cube, "Shop Catalog")});
    cache->CommandType(kCommandCube);
    cache->CommandText(VariantArray{std::string("Shop")});
    EXPECT_EQ(failureOf([&] { cache->CreatePivotTable(shop.sheet->Range("B3"), "Second"); }).number(), 1004);
    EXPECT_EQ(shop.sheet->PivotTables()->Count(), 1);
}

// Makes a table from a cache with `connection` and `cube` on a new workbook.
platform::Failure creationFailure(const std::string& connection, const std::string& cube, int32_t commandType = 1)
{
    auto app = createApplication();
    auto book = app->Workbooks()->Add();
    auto cache = book->PivotCaches()->Add(kExternalSource);
    cache->Connection(VariantArray{connection});
    cache->CommandType(commandType);
    cache->CommandText(VariantArray{cube});
    auto sheet = book->Worksheets()->Item(1);
    const auto failure = failureOf([&] { cache->CreatePivotTable(sheet->Range("A1"), "T"); });
    EXPECT_EQ(sheet->PivotTables()->Count(), 0);
    return failure;
}

TEST(CubePivotConnection, TheConnectionStringIsTakenApartByKey)
{
    const auto server = pivot::parseConnection(
        "OLEDB;Provider=Local Cube File;Location=Shop;Data Source=/data/shop.cub;Initial Catalog=Shop Catalog;"
        "Client Cache Size=25;Auto Synch Period=10000");
    EXPECT_EQ(server.provider, "Local Cube File");
    EXPECT_EQ(server.location, "Shop");
    EXPECT_EQ(server.dataSource, "/data/shop.cub");
    EXPECT_EQ(server.initialCatalog, "Shop Catalog");
    const auto quoted = pivot::parseConnection(" provider = MSOLAP.2 ; DATA SOURCE=\"/a;b/\"\"x\"\".cub\"");
    EXPECT_EQ(quoted.provider, "MSOLAP.2");
    EXPECT_EQ(quoted.dataSource, "/a;b/\"x\".cub");
    EXPECT_EQ(failureOf([] { pivot::parseConnection("OLEDB;Data Source=x"); }).number(), 1004);
    EXPECT_EQ(failureOf([] { pivot::parseConnection("OLEDB;Provider=MSOLAP.2"); }).number(), 1004);
    EXPECT_EQ(failureOf([] { pivot::parseConnection("Provider=MSOLAP.2;Data Source=x;junk"); }).number(), 1004);
}

TEST(CubePivotConnection, EveryFormTheWizardBuildsOpensTheCube)
{
    TempFolder folder;
    const auto cube = folder / "shop.cub";
    writeShopCube(cube);
    const std::string tail = ";Client Cache Size=25;Auto Synch Period=10000";
    for (const std::string connection :
         {"OLEDB;Provider=MSOLAP.2;Data Source=" + cube.string() + ";Initial Catalog=Shop Catalog" + tail,
          "OLEDB;Provider=MSOLAP.2;Data Source=" + cube.string() + ";Initial Catalog=Shop" + tail,
          "OLEDB;Provider=Local Cube File;Location=Shop;Data Source=" + cube.string() + ";Initial Catalog=Shop Catalog"
              + tail}) {
        auto app = createApplication();
        auto book = app->Workbooks()->Add();
        auto cache = book->PivotCaches()->Add(kExternalSource);
        cache->Connection(VariantArray{connection});
        cache->CommandType(kCommandCube);
        cache->CommandText(VariantArray{std::string("Shop")});
        EXPECT_NO_THROW(cache->CreatePivotTable(book->Worksheets()->Item(1)->Range("C5"), "T")) << connection;
    }
}

TEST(CubePivotConnection, AnUnreachableCubeFailsWhenTheTableIsCreated)
{
    TempFolder folder;
    const auto cube = folder / "shop.cub";
    writeShopCube(cube);
    const auto missing = creationFailure(localConnection(folder / "gone.cub", "Shop Catalog"), "Shop");
    EXPECT_EQ(missing.number(), 1004);
    EXPECT_NE(missing.description().find("gone.cub"), std::string::npos) << missing.description();
    sheettest::writeFile(folder / "bad.cub", "not a cube");
    EXPECT_EQ(creationFailure(localConnection(folder / "bad.cub", "Shop Catalog"), "Shop").number(), 1004);
    const auto provider = creationFailure("OLEDB;Provider=NoSuch.1;Data Source=" + cube.string(), "Shop");
    EXPECT_NE(provider.description().find("NoSuch.1"), std::string::npos) << provider.description();
    const auto noCube = creationFailure(localConnection(cube, "Shop Catalog"), "Warehouse");
    EXPECT_NE(noCube.description().find("Warehouse"), std::string::npos) << noCube.description();
    EXPECT_EQ(creationFailure(localConnection(cube, "Shop Catalog"), "Shop", 2).number(), 1004);
}

}  // namespace

namespace {

TEST(CubePivotReopened, ASavedReportIsKnownAsAPivotTableWhenTheFileIsOpenedAgain)
{
    TempFolder folder;
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
    auto cache = book->PivotCaches()->Add(kExternalSource);
    cache->Connection(VariantArray{localConnection(cube, "Shop Catalog")});
    cache->CommandType(kCommandCube);
    cache->CommandText(VariantArray{std::string("Shop")});
    EXPECT_EQ(failureOf([&] { cache->CreatePivotTable(sheet->Range("D7"), "Again"); }).number(), 1004);
    const std::string workbook = sheettest::readZip(file).at("xl/workbook.xml").data;
    EXPECT_EQ(workbook.find("_PivotReport2"), std::string::npos) << workbook;
}

}  // namespace
