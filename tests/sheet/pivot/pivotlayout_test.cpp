// What a pivot table over a cube draws into its sheet, read back from the
// saved file: labels, totals, hidden members, formats.
#include "pivottestsupport.h"

#include "sheet/constants.h"

using namespace sheet;
using namespace pivottest;
using sheettest::TempFolder;

namespace {

class PivotLayout : public ::testing::Test {
protected:
    void SetUp() override
    {
        writeShopCube(cube);
        shop = makeShopTable(cube);
    }

    // Rows Product with Drinks drilled, columns Time, data Sales.
    void placeSalesByProductAndYear()
    {
        shop.place("[Product]", kRowField);
        shop.place("[Time]", kColumnField);
        shop.place("[Measures].[Sales]", kDataField);
        VariantArray drilled = VariantArray::twoDimensional(1, 1);
        drilled(0, 0) = "[Product].[Drinks]";
        shop.table->CubeFields()->Item("[Product]")->TreeviewControl()->Drilled(drilled);
    }

    std::map<std::string, SavedCell> saved()
    {
        shop.book->SaveAs((folder / "out.xlsx").string());
        return savedCells(folder / "out.xlsx", "xl/worksheets/sheet1.xml");
    }

    static std::map<std::string, std::string> texts(const std::map<std::string, SavedCell>& cells)
    {
        std::map<std::string, std::string> result;
        for (const auto& [name, cell] : cells)
            result[name] = cell.text;
        return result;
    }

    TempFolder folder;
    std::filesystem::path cube = folder / "shop.cub";
    ShopTable shop;
};

TEST_F(PivotLayout, DrilledRowsShowTheirChildrenWithSubtotalsAndGrandTotals)
{
    placeSalesByProductAndYear();
    const std::map<std::string, std::string> expected{
        {"A1", "Sales"},        {"C1", "Time"},        {"A2", "Category"}, {"B2", "Product"}, {"C2", "2023"},
        {"D2", "2024"},         {"E2", "Grand Total"}, {"A3", "Drinks"},   {"B3", "Tea"},     {"C3", "10"},
        {"D3", "20"},           {"E3", "30"},          {"B4", "Coffee"},   {"C4", "7.5"},     {"D4", "1.25"},
        {"E4", "8.75"},         {"A5", "Drinks Total"}, {"C5", "17.5"},    {"D5", "21.25"},   {"E5", "38.75"},
        {"A6", "Food"},         {"C6", "5"},           {"E6", "5"},        {"A7", "Grand Total"}, {"C7", "22.5"},
        {"D7", "21.25"},        {"E7", "43.75"}};
    const auto cells = saved();
    EXPECT_EQ(texts(cells), expected);
    EXPECT_EQ(cells.at("C3").numberFormat, "#,##0.00");
    EXPECT_EQ(shop.table->PivotFields()->Count(), 5);  // Year, Quarter, Category, Product, Sales
}

TEST_F(PivotLayout, HiddenItemsAreLeftOutOfTheRowsAndOfEveryTotal)
{
    placeSalesByProductAndYear();
    shop.table->PivotFields()->Item("[Product].[Product]")->HiddenItemsList(VariantArray{std::string("[Product].[Drinks].[Coffee]")});
    const auto cells = texts(saved());
    EXPECT_EQ(cells.at("A4"), "Drinks Total");
    EXPECT_EQ(cells.at("E4"), "30");
    EXPECT_EQ(cells.at("E6"), "35");
    for (const auto& [name, text] : cells)
        EXPECT_NE(text, "Coffee") << name;
}

// What a member editor sends when members of one level are checked and
// nothing below them: each of them drilled, all their children hidden.
TEST_F(PivotLayout, ADrilledMemberWithEveryChildHiddenShowsClosedWithItsWholeTotal)
{
    placeSalesByProductAndYear();
    shop.table->PivotFields()->Item("[Product].[Product]")->HiddenItemsList(
        VariantArray{std::string("[Product].[Drinks].[Tea]"), std::string("[Product].[Drinks].[Coffee]")});
    const auto cells = texts(saved());
    EXPECT_EQ(cells.at("A3"), "Drinks");
    EXPECT_EQ(cells.at("D3"), "38.75");  // no product column: the values start in B
    EXPECT_EQ(cells.at("A4"), "Food");
    EXPECT_EQ(cells.at("D5"), "43.75");
}

TEST_F(PivotLayout, MembersHiddenUnderAClosedMemberStayInItsTotal)
{
    shop.place("[Product]", kRowField);
    shop.place("[Measures].[Sales]", kDataField);
    VariantArray hidden = VariantArray::twoDimensional(3, 1);
    hidden(2, 0) = "[Product].[Drinks].[Tea]";
    shop.table->CubeFields()->Item("[Product]")->TreeviewControl()->Hidden(hidden);
    const auto cells = texts(saved());
    EXPECT_EQ(cells.at("A3"), "Drinks");
    EXPECT_EQ(cells.at("B3"), "38.75");
    EXPECT_EQ(cells.at("B5"), "43.75");
}

TEST_F(PivotLayout, GrandTotalsAndSubtotalsFollowTheTableAndFieldOptions)
{
    placeSalesByProductAndYear();
    shop.table->RowGrand(false);     // no grand total column
    shop.table->ColumnGrand(false);  // no grand total row
    for (const auto& field : *shop.table->PivotFields()) {
        if (field->Orientation() == kRowField)
            field->Subtotals(std::array<bool, kSubtotalCount>{});
    }
    const std::map<std::string, std::string> expected{
        {"A1", "Sales"}, {"C1", "Time"},  {"A2", "Category"}, {"B2", "Product"}, {"C2", "2023"}, {"D2", "2024"},
        {"A3", "Drinks"}, {"B3", "Tea"},  {"C3", "10"},       {"D3", "20"},      {"B4", "Coffee"}, {"C4", "7.5"},
        {"D4", "1.25"},  {"A5", "Food"},  {"C5", "5"}};
    EXPECT_EQ(texts(saved()), expected);
}

TEST_F(PivotLayout, PageFieldsShowAllAboveTheBody)
{
    shop.place("[Product]", kRowField);
    shop.place("[Time]", kPageField);
    shop.place("[Measures].[Units]", kDataField);
    const auto cells = texts(saved());
    EXPECT_EQ(cells.at("A1"), "Time");
    EXPECT_EQ(cells.at("B1"), "(All)");
    EXPECT_FALSE(cells.count("A2"));
    EXPECT_EQ(cells.at("A3"), "Units");
    EXPECT_EQ(cells.at("A4"), "Category");
    EXPECT_EQ(cells.at("B4"), "Total");  // no column fields
    EXPECT_EQ(cells.at("A5"), "Drinks");
    EXPECT_EQ(cells.at("B5"), "13");
    EXPECT_EQ(cells.at("A7"), "Grand Total");
    EXPECT_EQ(cells.at("B7"), "15");
}

TEST_F(PivotLayout, TwoDataFieldsAddALevelOfMeasureNamesOnTheValuesAxis)
{
    shop.place("[Time]", kRowField);
    shop.place("[Measures].[Sales]", kDataField);
    shop.place("[Measure List].[Units]", kDataField);  // the same data field as [Measures].[Units]
    EXPECT_EQ(shop.table->DataFields()->Item(2)->Name(), "[Measures].[Units]");
    auto cells = texts(saved());
    EXPECT_EQ(cells.at("A1"), "Values");
    EXPECT_EQ(cells.at("B2"), "Sales");
    EXPECT_EQ(cells.at("C2"), "Units");
    EXPECT_EQ(cells.at("A3"), "2023");
    EXPECT_EQ(cells.at("B3"), "22.5");
    EXPECT_EQ(cells.at("C3"), "6");

    shop.place("[Measures]", kRowField);  // the values go down the rows instead
    cells = texts(saved());
    EXPECT_EQ(cells.at("A2"), "Year");
    EXPECT_EQ(cells.at("B2"), "Values");
    EXPECT_EQ(cells.at("A3"), "2023");
    EXPECT_EQ(cells.at("B3"), "Sales");
    EXPECT_EQ(cells.at("C3"), "22.5");
    EXPECT_EQ(cells.at("B4"), "Units");
    EXPECT_EQ(cells.at("C4"), "6");
}

TEST_F(PivotLayout, NumberFormatsAndTheAutoformatStyleTheCells)
{
    placeSalesByProductAndYear();
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
    placeSalesByProductAndYear();
    shop.sheet->Columns()->AutoFit();  // draws the drilled table
    shop.table->ManualUpdate(true);
    VariantArray none = VariantArray::twoDimensional(1, 1);
    shop.table->CubeFields()->Item("[Product]")->TreeviewControl()->Drilled(none);
    EXPECT_EQ(shop.table->CubeFields()->Item("[Product]")->TreeviewControl()->Drilled(), none);
    EXPECT_EQ(shop.area().last.row, 7);  // not drawn again yet
    shop.table->ManualUpdate(false);
    EXPECT_EQ(shop.area().last.row, 5);
    const auto cells = texts(saved());
    EXPECT_EQ(cells.at("A5"), "Grand Total");
    EXPECT_FALSE(cells.count("A6"));
    EXPECT_FALSE(cells.count("A7"));
    EXPECT_FALSE(cells.count("E3"));  // the product column is gone, so the values moved left
    EXPECT_EQ(cells.at("D3"), "38.75");
    for (const auto& [name, text] : cells)
        EXPECT_TRUE(text != "Tea" && text != "Drinks Total") << name;
}

TEST_F(PivotLayout, ATableThatWouldGrowOverAnotherIsRefused)
{
    auto cache = shop.book->PivotCaches()->Add(kExternalSource);
    cache->Connection(VariantArray{localConnection(cube, "Shop Catalog")});
    cache->CommandType(kCommandCube);
    cache->CommandText(VariantArray{std::string("Shop")});
    cache->CreatePivotTable(shop.sheet->Range("A5"), "Below");
    shop.place("[Product]", kRowField);
    shop.place("[Measures].[Sales]", kDataField);
    const auto failure = sheettest::failureOf([&] { shop.sheet->Columns()->AutoFit(); });
    EXPECT_EQ(failure.number(), 1004);
    EXPECT_NE(failure.description().find("Below"), std::string::npos) << failure.description();
}

}  // namespace
