// The members of the object model the wizard calls, on the host's own
// implementation: what each returns, and how each refuses.
#include "sheet/xlsx/autofit.h"
#include "sheet/xlsx/cellstore.h"
#include "sheet/host/hostapplication.h"
#include "sheet/host/hostworkbook.h"
#include "sheet/host/hostworksheet.h"
#include "sheet/xlsx/workbookdocument.h"

#include "sheettestsupport.h"

using namespace sheet;
using namespace sheettest;

namespace {

class HostInterface : public ::testing::Test {
protected:
    std::vector<std::string> names()
    {
        std::vector<std::string> found;
        for (const auto& sheet : *book->Worksheets())
            found.push_back(sheet->Name());
        return found;
    }

    std::shared_ptr<Application> app = createApplication();
    std::shared_ptr<Workbook> book = app->Workbooks()->Add();
    std::shared_ptr<Worksheet> first = book->Worksheets()->Item(1);
};

TEST_F(HostInterface, ColumnsAutoFitFitsTheColumnsToWhatTheHostWrote)
{
    auto& cells = std::dynamic_pointer_cast<HostWorksheet>(first)->cells();
    cells.set({1, 1}, std::string("Region"), CellFormat{.bold = true, .border = false, .numberFormat = ""});
    cells.setValue({2, 1}, std::string("Far North"));
    cells.set({2, 3}, 1234.5, CellFormat{.bold = false, .border = false, .numberFormat = "#,##0.00"});
    first->Columns()->AutoFit();
    EXPECT_EQ(cells.columnWidths(), (std::map<int32_t, double>{{1, widthForCharacters(9, false)},
                                                               {3, widthForCharacters(8, false)}}));
}

TEST_F(HostInterface, RefusesWithTheNumberOfTheKindOfFailureAndChangesNothing)
{
    first->Name("Report");
    auto hidden = book->Worksheets()->Add(first);
    hidden->Name("Other");
    hidden->Visible(kSheetVeryHidden);
    auto otherBook = app->Workbooks()->Add();
    auto sheets = book->Worksheets();
    expectRefusals({
        {"item 0", [&] { sheets->Item(0); }, 9},
        {"add after another workbook's sheet", [&] { otherBook->Worksheets()->Add(first); }, 1004},
        {"a name the host refuses", [&] { first->Name("a/b"); }, 1004, "a/b"},
        {"a name another sheet has", [&] { first->Name("OTHER"); }, 1004, "OTHER"},
        {"visible 1", [&] { hidden->Visible(1); }, 1004},
        {"hiding the last visible sheet", [&] { first->Visible(kSheetHidden); }, 1004},
        {"activating a hidden sheet", [&] { hidden->Activate(); }, 1004},
        {"a text that is no address", [&] { first->Range("C"); }, 1004, "'C'"},
        {"an offset off the sheet", [&] { first->Range("A1")->Offset(-1, 0); }, 1004},
        {"autofit of cells", [&] { first->Range("A1")->AutoFit(); }, 1004},
        {"paste with an empty clipboard", [&] { first->Paste(first->Range("A1")); }, 1004},
        {"an unknown pivot table", [&] { first->PivotTables("Table Sales"); }, 1004},
        {"a chart object of a sheet without any", [&] { first->ChartObjects()->Item(1); }, 9},
        {"saving a workbook without a file", [&] { book->Save(); }, 1004, "SaveAs"}});
    EXPECT_EQ(names(), (std::vector<std::string>{"Report", "Other"}));
    EXPECT_EQ(first->Visible(), kSheetVisible);
    EXPECT_EQ(hidden->Visible(), kSheetVeryHidden);
}

}  // namespace
