// Page fields that count only the facts beneath one or more members, set
// through the pivot field as spreadsheets' current page is, and the page
// cell telling which.
#include "pivottestsupport.h"

#include "sheet/constants.h"
#include "sheet/host/hostworksheet.h"
#include "sheet/xlsx/cellstore.h"
#include "sheet/pivotfield.h"

using namespace sheet;
using namespace pivottest;

namespace {

class PageSelections : public ShopTest {
protected:
    void SetUp() override
    {
        ShopTest::SetUp();
        shop.place("[Product]", kPageField);
        shop.place("[Time]", kRowField);
        shop.place("[Measures].[Sales]", kDataField);
        page = shop.table->PivotFields()->Item("[Product].[Product]");
    }

    // The value of cell `row`, `column` of the table (0-based from its top left).
    CellValue cell(int32_t row, int32_t column)
    {
        std::dynamic_pointer_cast<PlacedPivotTable>(shop.table)->update();
        const auto& cells = std::dynamic_pointer_cast<HostWorksheet>(shop.sheet)->cells().cells();
        const auto it = cells.find({shop.area().first.row + row, shop.area().first.column + column});
        return it == cells.end() ? CellValue{} : it->second.value;
    }
    CellValue grandTotal()
    {
        std::dynamic_pointer_cast<PlacedPivotTable>(shop.table)->update();
        return cell(shop.area().last.row - shop.area().first.row, 1);
    }

    std::shared_ptr<PivotField> page;
};

TEST_F(PageSelections, TheReportCountsTheSelectedMembersAndTheirCellSaysWhich)
{
    struct Case {
        std::vector<std::string> selected;
        std::string name;     // CurrentPageName
        std::string caption;  // the page field's cell
        double total;
    };
    const std::string tea = "[Product].[All Products].[Drinks].[Tea]";
    const std::string bread = "[Product].[All Products].[Food].[Bread]";
    const std::string drinks = "[Product].[All Products].[Drinks]";
    const std::vector<Case> cases = {
        {{tea}, tea, "Tea", 30},
        {{tea, bread}, "(Multiple Items)", "(Multiple Items)", 35},
        {{drinks}, drinks, "Drinks", 38.75},
        {{drinks, tea}, "(Multiple Items)", "(Multiple Items)", 38.75},
        {{}, "(All)", "(All)", 43.75},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.caption + " " + std::to_string(c.selected.size()));
        std::vector<Variant> names(c.selected.begin(), c.selected.end());
        page->CurrentPageList(VariantArray(names));
        EXPECT_EQ(page->CurrentPageName(), c.name);
        EXPECT_EQ(page->CurrentPageList().items().size(), c.selected.size());
        EXPECT_EQ(cell(0, 1), CellValue(c.caption));
        EXPECT_EQ(grandTotal(), CellValue(c.total));
    }
    page->CurrentPageName(bread);
    EXPECT_EQ(grandTotal(), CellValue(5.0));
}

TEST_F(PageSelections, RefusedSelectionsLeaveTheSelectionAsItWas)
{
    const std::string tea = "[Product].[All Products].[Drinks].[Tea]";
    page->CurrentPageName(tea);
    const std::string gone = "[Product].[All Products].[Toys]";
    sheettest::expectRefusals({
        {"an unknown member", [&] { page->CurrentPageList(VariantArray{tea, gone}); }, 1004, gone},
        {"a two-dimensional list", [&] { page->CurrentPageList(VariantArray::twoDimensional(1, 1)); }, 13, "one-dimensional"},
        {"a data field", [&] { shop.table->DataFields()->Item(1)->CurrentPageList(); }, 1004, "not a page field"},
    });
    EXPECT_EQ(page->CurrentPageName(), tea);
    EXPECT_EQ(grandTotal(), CellValue(30.0));
}

}  // namespace
