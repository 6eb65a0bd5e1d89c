// What a pivot table over a cube draws into its sheet, read back from the
// saved file: labels, totals, hidden members, formats.
#include "pivottestsupport.h"

#include "sheet/constants.h"
#include "sheet/xlsx/a1address.h"
#include "sheet/host/hostapplication.h"

using namespace sheet;
using namespace pivottest;

namespace {

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

void hideProducts(ShopTable& shop, const std::vector<std::string>& products)
{
    std::vector<Variant> names;
    for (const auto& product : products)
        names.push_back("[Product].[Drinks].[" + product + "]");
    shop.table->PivotFields()->Item("[Product].[Product]")->HiddenItemsList(VariantArray(names));
}

// A design and the saved sheet's texts, a line per row, cells split by '|'.
struct LayoutCase {
    const char* label;
    std::function<void(ShopTable&)> design;
    const char* shown;
};

const LayoutCase kLayouts[] = {
    {"drilled rows show their children with subtotals and grand totals", salesByProductAndYear,
     "Sales||Time\nCategory|Product|2023|2024|Grand Total\nDrinks|Tea|10|20|30\n|Coffee|7.5|1.25|8.75\n"
     "Drinks Total||17.5|21.25|38.75\nFood||5||5\nGrand Total||22.5|21.25|43.75\n"},
    {"hidden items are left out of the rows and of every total",
     [](ShopTable& shop) { salesByProductAndYear(shop), hideProducts(shop, {"Coffee"}); },
     "Sales||Time\nCategory|Product|2023|2024|Grand Total\nDrinks|Tea|10|20|30\nDrinks Total||10|20|30\n"
     "Food||5||5\nGrand Total||15|20|35\n"},
    // What a member editor sends when members of one level are checked and
    // nothing below them: each of them drilled, all their children hidden.
    {"a drilled member with every child hidden shows closed with its whole total",
     [](ShopTable& shop) { salesByProductAndYear(shop), hideProducts(shop, {"Tea", "Coffee"}); },
     "Sales|Time\nCategory|2023|2024|Grand Total\nDrinks|17.5|21.25|38.75\nFood|5||5\nGrand Total|22.5|21.25|43.75\n"},
    {"members hidden under a closed member stay in its total",
     [](ShopTable& shop) {
         shop.place("[Product]", kRowField);
         shop.place("[Measures].[Sales]", kDataField);
         VariantArray hidden = VariantArray::twoDimensional(3, 1);
         hidden(2, 0) = "[Product].[Drinks].[Tea]";
         shop.table->CubeFields()->Item("[Product]")->TreeviewControl()->Hidden(hidden);
     },
     "Sales\nCategory|Total\nDrinks|38.75\nFood|5\nGrand Total|43.75\n"},
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
     "Sales||Time\nCategory|Product|2023|2024\nDrinks|Tea|10|20\n|Coffee|7.5|1.25\nFood||5\n"},
    {"page fields show (All) above the body",
     [](ShopTable& shop) {
         shop.place("[Product]", kRowField);
         shop.place("[Time]", kPageField);
         shop.place("[Measures].[Units]", kDataField);
     },
     "Time|(All)\n\nUnits\nCategory|Total\nDrinks|13\nFood|2\nGrand Total|15\n"},
    {"two data fields add a level of measure names on the values axis",
     [](ShopTable& shop) {
         shop.place("[Time]", kRowField);
         shop.place("[Measures].[Sales]", kDataField);
         shop.place("[Measure List].[Units]", kDataField);  // the same data field as [Measures].[Units]
     },
     "Values\nYear|Sales|Units\n2023|22.5|6\n2024|21.25|9\nGrand Total|43.75|15\n"},
    {"the measure names can go down the rows instead",
     [](ShopTable& shop) {
         shop.place("[Time]", kRowField);
         shop.place("[Measures].[Sales]", kDataField);
         shop.place("[Measures].[Units]", kDataField);
         shop.place("[Measures]", kRowField);
     },
     "Values\nYear|Values|Total\n2023|Sales|22.5\n|Units|6\n2024|Sales|21.25\n|Units|9\nGrand Total|Sales|43.75\n"
     "|Units|15\n"},
};

class PivotLayout : public ShopTest {
protected:
    std::map<std::string, SavedCell> saved()
    {
        const auto file = folder / ("out" + std::to_string(++saves) + ".xlsx");
        shop.book->SaveAs(file.string());
        return savedCells(file, "xl/worksheets/sheet1.xml");
    }

    // The saved sheet's texts as in LayoutCase::shown, each line up to its last text.
    std::string grid()
    {
        std::vector<std::vector<std::string>> rows;
        for (const auto& [name, cell] : saved()) {
            const auto at = *parseCellName(name);
            rows.resize(std::max<size_t>(rows.size(), at.row));
            rows[at.row - 1].resize(std::max<size_t>(rows[at.row - 1].size(), at.column));
            rows[at.row - 1][at.column - 1] = cell.text;
        }
        std::string text;
        for (const auto& row : rows) {
            for (size_t c = 0; c < row.size(); ++c)
                text += (c ? "|" : "") + row[c];
            text += "\n";
        }
        return text;
    }

    int saves = 0;
};

TEST_F(PivotLayout, DrawsEveryDesignAsTheHostWould)
{
    for (const auto& layout : kLayouts) {
        SCOPED_TRACE(layout.label);
        shop = makeShopTable(cube);
        layout.design(shop);
        EXPECT_EQ(grid(), layout.shown);
    }
}

TEST_F(PivotLayout, NumberFormatsAndTheAutoformatStyleTheCells)
{
    salesByProductAndYear(shop);
    EXPECT_EQ(saved().at("C3").numberFormat, "#,##0.00");  // the cube's format
    shop.table->Format(kTableFormat13);
    shop.table->DataFields()->Item("[Measures].[Sales]")->NumberFormat("0.0##");
    const auto cells = saved();
    EXPECT_EQ(cells.at("C3").numberFormat, "0.0##");
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
    shop.table->CubeFields()->Item("[Product]")->TreeviewControl()->Drilled(VariantArray::twoDimensional(1, 1));
    EXPECT_EQ(shop.area().last.row, 7);  // not drawn again yet
    shop.table->ManualUpdate(false);
    EXPECT_EQ(shop.area().last.row, 5);
    EXPECT_EQ(grid(), kLayouts[2].shown);
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
