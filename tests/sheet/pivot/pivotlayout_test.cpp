// What a pivot table over a cube draws into its sheet, read back from the
// saved file: labels, totals, hidden members, formats; and the values it
// hands to a chart.
#include "pivottestsupport.h"

#include "sheet/constants.h"

using namespace sheet;
using namespace pivottest;
using sheettest::TempFolder;

namespace {

using Texts = std::map<std::string, std::string>;

// Rows Product with Drinks drilled, columns Time, data Sales.
void salesByProductAndYear(ShopTable& shop)
{
    shop.place("[Product]", kRowField);
    shop.place("[Time]", kColumnField);
    shop.place("[Measures].[Sales]", kDataField);
    VariantArray drilled = VariantArray::twoDimensional(1, 1);
    drilled(0, 0) = "[Product].[Drinks]";
    shop.table->CubeFields()->Item("[Product]")->TreeviewControl()->Drilled(drilled);
}

void hideProducts(ShopTable& shop, const VariantArray& products)
{
    shop.table->PivotFields()->Item("[Product].[Product]")->HiddenItemsList(products);
}

// The heading rows of salesByProductAndYear when the product column shows.
const Texts kHeadings{{"A1", "Sales"}, {"C1", "Time"},  {"A2", "Category"},   {"B2", "Product"},
                      {"C2", "2023"},  {"D2", "2024"}, {"E2", "Grand Total"}};

Texts with(Texts texts, const Texts& more)
{
    texts.insert(more.begin(), more.end());
    return texts;
}

// A design and every text the saved sheet shows for it.
struct LayoutCase {
    const char* label;
    std::function<void(ShopTable&)> design;
    Texts shown;
};

const LayoutCase kLayouts[] = {
    {"drilled rows show their children with subtotals and grand totals", salesByProductAndYear,
     with(kHeadings, {{"A3", "Drinks"},      {"B3", "Tea"},         {"C3", "10"},     {"D3", "20"},    {"E3", "30"},
                      {"B4", "Coffee"},      {"C4", "7.5"},         {"D4", "1.25"},   {"E4", "8.75"},
                      {"A5", "Drinks Total"}, {"C5", "17.5"},       {"D5", "21.25"},  {"E5", "38.75"},
                      {"A6", "Food"},        {"C6", "5"},           {"E6", "5"},      {"A7", "Grand Total"},
                      {"C7", "22.5"},        {"D7", "21.25"},       {"E7", "43.75"}})},
    {"hidden items are left out of the rows and of every total",
     [](ShopTable& shop) {
         salesByProductAndYear(shop);
         hideProducts(shop, VariantArray{std::string("[Product].[Drinks].[Coffee]")});
     },
     with(kHeadings, {{"A3", "Drinks"}, {"B3", "Tea"}, {"C3", "10"}, {"D3", "20"}, {"E3", "30"},
                      {"A4", "Drinks Total"}, {"C4", "10"}, {"D4", "20"}, {"E4", "30"}, {"A5", "Food"}, {"C5", "5"},
                      {"E5", "5"}, {"A6", "Grand Total"}, {"C6", "15"}, {"D6", "20"}, {"E6", "35"}})},
    // What a member editor sends when members of one level are checked and
    // nothing below them: each of them drilled, all their children hidden.
    {"a drilled member with every child hidden shows closed with its whole total",
     [](ShopTable& shop) {
         salesByProductAndYear(shop);
         hideProducts(shop, VariantArray{std::string("[Product].[Drinks].[Tea]"), std::string("[Product].[Drinks].[Coffee]")});
     },
     {{"A1", "Sales"}, {"B1", "Time"}, {"A2", "Category"}, {"B2", "2023"}, {"C2", "2024"}, {"D2", "Grand Total"},
      {"A3", "Drinks"}, {"B3", "17.5"}, {"C3", "21.25"}, {"D3", "38.75"}, {"A4", "Food"}, {"B4", "5"}, {"D4", "5"},
      {"A5", "Grand Total"}, {"B5", "22.5"}, {"C5", "21.25"}, {"D5", "43.75"}}},
    {"members hidden under a closed member stay in its total",
     [](ShopTable& shop) {
         shop.place("[Product]", kRowField);
         shop.place("[Measures].[Sales]", kDataField);
         VariantArray hidden = VariantArray::twoDimensional(3, 1);
         hidden(2, 0) = "[Product].[Drinks].[Tea]";
         shop.table->CubeFields()->Item("[Product]")->TreeviewControl()->Hidden(hidden);
     },
     {{"A1", "Sales"}, {"A2", "Category"}, {"B2", "Total"}, {"A3", "Drinks"}, {"B3", "38.75"}, {"A4", "Food"},
      {"B4", "5"}, {"A5", "Grand Total"}, {"B5", "43.75"}}},
    {"grand totals and subtotals follow the table and field options",
     [](ShopTable& shop) {
         salesByProductAndYear(shop);
         shop.table->RowGrand(false);     // no grand total column
         shop.table->ColumnGrand(false);  // no grand total row
         for (const auto& field : *shop.table->PivotFields()) {
             if (field->Orientation() == kRowField)
                 field->Subtotals(std::array<bool, kSubtotalCount>{});
         }
     },
     {{"A1", "Sales"}, {"C1", "Time"}, {"A2", "Category"}, {"B2", "Product"}, {"C2", "2023"}, {"D2", "2024"},
      {"A3", "Drinks"}, {"B3", "Tea"}, {"C3", "10"}, {"D3", "20"}, {"B4", "Coffee"}, {"C4", "7.5"}, {"D4", "1.25"},
      {"A5", "Food"}, {"C5", "5"}}},
    {"page fields show (All) above the body",
     [](ShopTable& shop) {
         shop.place("[Product]", kRowField);
         shop.place("[Time]", kPageField);
         shop.place("[Measures].[Units]", kDataField);
     },
     {{"A1", "Time"}, {"B1", "(All)"}, {"A3", "Units"}, {"A4", "Category"}, {"B4", "Total"}, {"A5", "Drinks"},
      {"B5", "13"}, {"A6", "Food"}, {"B6", "2"}, {"A7", "Grand Total"}, {"B7", "15"}}},
    {"two data fields add a level of measure names on the values axis",
     [](ShopTable& shop) {
         shop.place("[Time]", kRowField);
         shop.place("[Measures].[Sales]", kDataField);
         shop.place("[Measure List].[Units]", kDataField);  // the same data field as [Measures].[Units]
     },
     {{"A1", "Values"}, {"A2", "Year"}, {"B2", "Sales"}, {"C2", "Units"}, {"A3", "2023"}, {"B3", "22.5"},
      {"C3", "6"}, {"A4", "2024"}, {"B4", "21.25"}, {"C4", "9"}, {"A5", "Grand Total"}, {"B5", "43.75"},
      {"C5", "15"}}},
    {"the measure names can go down the rows instead",
     [](ShopTable& shop) {
         shop.place("[Time]", kRowField);
         shop.place("[Measures].[Sales]", kDataField);
         shop.place("[Measures].[Units]", kDataField);
         shop.place("[Measures]", kRowField);
     },
     {{"A1", "Values"}, {"A2", "Year"}, {"B2", "Values"}, {"C2", "Total"}, {"A3", "2023"}, {"B3", "Sales"},
      {"C3", "22.5"}, {"B4", "Units"}, {"C4", "6"}, {"A5", "2024"}, {"B5", "Sales"}, {"C5", "21.25"},
      {"B6", "Units"}, {"C6", "9"}, {"A7", "Grand Total"}, {"B7", "Sales"}, {"C7", "43.75"}, {"B8", "Units"},
      {"C8", "15"}}},
};

class PivotLayout : public ::testing::Test {
protected:
    void SetUp() override
    {
        writeShopCube(cube);
        shop = makeShopTable(cube);
    }

    std::map<std::string, SavedCell> saved()
    {
        const auto file = folder / ("out" + std::to_string(++saves) + ".xlsx");
        shop.book->SaveAs(file.string());
        return savedCells(file, "xl/worksheets/sheet1.xml");
    }

    Texts texts()
    {
        Texts result;
        for (const auto& [name, cell] : saved())
            result[name] = cell.text;
        return result;
    }

    TempFolder folder;
    std::filesystem::path cube = folder / "shop.cub";
    ShopTable shop;
    int saves = 0;
};

TEST_F(PivotLayout, DrawsEveryDesignAsTheHostWould)
{
    for (const auto& layout : kLayouts) {
        SCOPED_TRACE(layout.label);
        shop = makeShopTable(cube);
        layout.design(shop);
        EXPECT_EQ(texts(), layout.shown);
    }
}

TEST_F(PivotLayout, AChartGetsTheVisibleRowItemsWithoutTotalsAndOneSeriesPerColumnItem)
{
    salesByProductAndYear(shop);
    const auto data = std::dynamic_pointer_cast<PlacedPivotTable>(shop.table)->chartData();
    ASSERT_TRUE(data);
    EXPECT_EQ(data->title, "Sales");
    EXPECT_EQ(data->categories, (std::vector<std::string>{"Drinks - Tea", "Drinks - Coffee", "Food"}));
    ASSERT_EQ(data->series.size(), 2u);
    EXPECT_EQ(data->series[0].name, "2023");
    EXPECT_EQ(data->series[0].values, (std::vector<std::optional<double>>{10, 7.5, 5}));
    EXPECT_EQ(data->series[1].name, "2024");
    EXPECT_EQ(data->series[1].values, (std::vector<std::optional<double>>{20, 1.25, std::nullopt}));
}

TEST_F(PivotLayout, NumberFormatsAndTheAutoformatStyleTheCells)
{
    salesByProductAndYear(shop);
    EXPECT_EQ(saved().at("C3").numberFormat, "#,##0.00");  // the cube's format
    shop.table->Format(kTableFormat13);
    shop.table->DataFields()->Item("[Measures].[Sales]")->NumberFormat("0.0");
    const auto cells = saved();
    EXPECT_EQ(cells.at("C3").numberFormat, "0.0");
    EXPECT_TRUE(cells.at("A1").bold);
    EXPECT_TRUE(cells.at("C2").bold);
    EXPECT_TRUE(cells.at("A5").bold);   // Drinks Total
    EXPECT_FALSE(cells.at("B3").bold);  // Tea
    EXPECT_THROW(shop.table->Format(7), platform::Failure);
}

TEST_F(PivotLayout, ManualUpdateDefersDrawingAndASmallerTableLeavesNothingBehind)
{
    salesByProductAndYear(shop);
    shop.sheet->Columns()->AutoFit();  // draws the drilled table
    shop.table->ManualUpdate(true);
    VariantArray none = VariantArray::twoDimensional(1, 1);
    shop.table->CubeFields()->Item("[Product]")->TreeviewControl()->Drilled(none);
    EXPECT_EQ(shop.area().last.row, 7);  // not drawn again yet
    shop.table->ManualUpdate(false);
    EXPECT_EQ(shop.area().last.row, 5);
    EXPECT_EQ(texts(), (Texts{{"A1", "Sales"}, {"B1", "Time"}, {"A2", "Category"}, {"B2", "2023"}, {"C2", "2024"},
                              {"D2", "Grand Total"}, {"A3", "Drinks"}, {"B3", "17.5"}, {"C3", "21.25"},
                              {"D3", "38.75"}, {"A4", "Food"}, {"B4", "5"}, {"D4", "5"}, {"A5", "Grand Total"},
                              {"B5", "22.5"}, {"C5", "21.25"}, {"D5", "43.75"}}));
}

TEST_F(PivotLayout, ATableThatWouldGrowOverAnotherIsRefused)
{
    shopCache(*shop.book, cube)->CreatePivotTable(shop.sheet->Range("A5"), "Below");
    shop.place("[Product]", kRowField);
    shop.place("[Measures].[Sales]", kDataField);
    const auto failure = sheettest::failureOf([&] { shop.sheet->Columns()->AutoFit(); });
    EXPECT_EQ(failure.number(), 1004);
    EXPECT_NE(failure.description().find("Below"), std::string::npos) << failure.description();
}

}  // namespace
