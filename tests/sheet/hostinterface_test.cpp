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
    std::shared_ptr<Application> app = createApplication();
    std::shared_ptr<Workbook> book = app->Workbooks()->Add();
    std::shared_ptr<Worksheet> first = book->Worksheets()->Item(1);
};

TEST_F(HostInterface, VersionHasNoNineSoTheWizardUsesHiddenItemLists)
{
    EXPECT_EQ(app->Version(), "10.0");
    EXPECT_EQ(app->Version().find('9'), std::string::npos);
}

TEST_F(HostInterface, ScreenUpdatingKeepsWhatItIsGiven)
{
    EXPECT_TRUE(app->ScreenUpdating());
    app->ScreenUpdating(false);
    EXPECT_FALSE(app->ScreenUpdating());
    app->ScreenUpdating(true);
    EXPECT_TRUE(app->ScreenUpdating());
}

TEST_F(HostInterface, AddedWorkbooksStartWithSheet1AndBecomeActive)
{
    EXPECT_EQ(app->ActiveWorkbook(), book);
    EXPECT_EQ(book->Name(), "Book1");
    EXPECT_EQ(book->FullName(), "");
    EXPECT_EQ(book->Worksheets()->Count(), 1);
    EXPECT_EQ(first->Name(), "Sheet1");
    auto second = app->Workbooks()->Add();
    EXPECT_EQ(second->Name(), "Book2");
    EXPECT_EQ(app->ActiveWorkbook(), second);
    book->Activate();
    EXPECT_EQ(app->ActiveWorkbook(), book);
    EXPECT_EQ(app->Workbooks()->Item(2), second);
}

TEST_F(HostInterface, CollectionsCountFromOneAndRefuseOtherIndices)
{
    auto sheets = book->Worksheets();
    EXPECT_EQ(sheets->Item(1), first);
    for (int32_t index : {0, 2, -1})
        EXPECT_EQ(failureOf([&] { sheets->Item(index); }).number(), 9) << index;
    EXPECT_EQ(failureOf([&] { sheets->Item("Nope"); }).number(), 9);
    EXPECT_EQ(sheets->Item("SHEET1"), first);
}

TEST_F(HostInterface, WorksheetsAddGoesAfterTheGivenSheetWithTheNextFreeName)
{
    auto sheets = book->Worksheets();
    auto added = sheets->Add(sheets->Item(sheets->Count()));
    EXPECT_EQ(added->Name(), "Sheet2");
    auto between = sheets->Add(first);
    EXPECT_EQ(between->Name(), "Sheet3");
    std::vector<std::string> names;
    for (const auto& sheet : *sheets)
        names.push_back(sheet->Name());
    EXPECT_EQ(names, (std::vector<std::string>{"Sheet1", "Sheet3", "Sheet2"}));
    auto other = app->Workbooks()->Add();
    EXPECT_EQ(failureOf([&] { other->Worksheets()->Add(first); }).number(), 1004);
}

TEST_F(HostInterface, WorksheetsAddWithoutAPlaceGoesBeforeTheActiveSheet)
{
    auto added = book->Worksheets()->Add();
    EXPECT_EQ(book->Worksheets()->Item(1), added);
}

TEST_F(HostInterface, NamesFollowTheHostsRules)
{
    first->Name("Report 2024");
    EXPECT_EQ(first->Name(), "Report 2024");
    book->Worksheets()->Add(first)->Name("Other");
    for (const char* bad : {"", "a/b", "[x]", "Other", "OTHER", "0123456789012345678901234567890123"}) {
        const auto failure = failureOf([&] { first->Name(bad); });
        EXPECT_EQ(failure.number(), 1004) << bad;
        EXPECT_EQ(failure.source(), "sheet");
    }
    EXPECT_EQ(first->Name(), "Report 2024");
}

TEST_F(HostInterface, VisibleTakesTheThreeStatesAndKeepsOneSheetVisible)
{
    auto marker = book->Worksheets()->Add(first);
    marker->Visible(kSheetVeryHidden);
    EXPECT_EQ(marker->Visible(), 2);
    marker->Visible(kSheetHidden);
    EXPECT_EQ(marker->Visible(), 0);
    marker->Visible(kSheetVisible);
    EXPECT_EQ(marker->Visible(), -1);
    EXPECT_EQ(failureOf([&] { marker->Visible(1); }).number(), 1004);
    marker->Visible(kSheetVeryHidden);
    EXPECT_EQ(failureOf([&] { first->Visible(kSheetHidden); }).number(), 1004);
    EXPECT_EQ(failureOf([&] { marker->Activate(); }).number(), 1004);
}

TEST_F(HostInterface, NewSheetsAreNotProtected)
{
    EXPECT_FALSE(first->ProtectContents());
}

TEST_F(HostInterface, RangeTakesAddressesAndRefusesOtherTexts)
{
    auto cell = first->Range("C5");
    EXPECT_EQ(cell->Address(), "$C$5");
    EXPECT_EQ(cell->Row(), 5);
    EXPECT_EQ(cell->Column(), 3);
    EXPECT_EQ(cell->Parent(), first);
    const auto failure = failureOf([&] { first->Range("C"); });
    EXPECT_EQ(failure.number(), 1004);
    EXPECT_EQ(failure.source(), "sheet");
    EXPECT_NE(failure.description().find("'C'"), std::string::npos);
}

TEST_F(HostInterface, OffsetMovesTheRangeAndRefusesToLeaveTheSheet)
{
    EXPECT_EQ(first->Range("C5")->Offset(2, 2)->Address(), "$E$7");
    EXPECT_EQ(first->Range("A1:B2")->Offset(1, 0)->Address(), "$A$2:$B$3");
    EXPECT_EQ(failureOf([&] { first->Range("A1")->Offset(-1, 0); }).number(), 1004);
}

TEST_F(HostInterface, ColumnsAutoFitFitsTheColumnsToWhatTheHostWrote)
{
    auto& cells = std::dynamic_pointer_cast<HostWorksheet>(first)->cells();
    cells.setValue({1, 1}, std::string("Region"));
    cells.setFormat({1, 1}, CellFormat{.bold = true, .border = false, .numberFormat = ""});
    cells.setValue({2, 1}, std::string("Far North"));
    cells.setValue({2, 3}, 1234.5);
    cells.setFormat({2, 3}, CellFormat{.bold = false, .border = false, .numberFormat = "#,##0.00"});
    EXPECT_EQ(first->Columns()->Address(), "$A:$XFD");
    first->Columns()->AutoFit();
    EXPECT_EQ(cells.columnWidths(), (std::map<int32_t, double>{{1, widthForCharacters(9, false)},
                                                               {3, widthForCharacters(8, false)}}));
    EXPECT_EQ(failureOf([&] { first->Range("A1")->AutoFit(); }).number(), 1004);
}

TEST_F(HostInterface, SelectAndActivateMakeTheSheetAndItsWorkbookActive)
{
    auto second = book->Worksheets()->Add(first);
    auto otherBook = app->Workbooks()->Add();
    first->Activate();
    EXPECT_EQ(app->ActiveWorkbook(), book);
    auto& document = std::dynamic_pointer_cast<HostWorkbook>(book)->document();
    second->Select();
    EXPECT_EQ(document.activeSheet(), 1u);
    otherBook->Activate();
    first->Range("B2")->Select();
    EXPECT_EQ(app->ActiveWorkbook(), book);
    EXPECT_EQ(document.activeSheet(), 0u);
    EXPECT_EQ(std::dynamic_pointer_cast<HostWorksheet>(first)->selection(), *parseAddress("B2"));
}

TEST_F(HostInterface, PasteNeedsSomethingOnTheClipboardAndADestinationOnTheSheet)
{
    auto second = book->Worksheets()->Add(first);
    EXPECT_EQ(failureOf([&] { first->Paste(first->Range("A1")); }).number(), 1004);
    EXPECT_EQ(failureOf([&] { first->Paste(second->Range("A1")); }).number(), 1004);
}

TEST_F(HostInterface, ANewSheetHasNoPivotTablesOrChartObjects)
{
    EXPECT_EQ(first->PivotTables()->Count(), 0);
    EXPECT_EQ(failureOf([&] { first->PivotTables("Table Sales"); }).number(), 1004);
    EXPECT_EQ(first->ChartObjects()->Count(), 0);
    EXPECT_EQ(failureOf([&] { first->ChartObjects()->Item(1); }).number(), 9);
}

TEST(HostWithoutEngines, RefusesChartsAndPivotTables)
{
    auto bare = HostApplication::create();
    auto book = bare->Workbooks()->Add();
    EXPECT_EQ(bare->Charts()->Count(), 0);
    EXPECT_EQ(bare->ActiveChart(), nullptr);
    EXPECT_EQ(failureOf([&] { bare->Charts()->Add(); }).number(), 1004);
    auto cache = book->PivotCaches()->Add(kExternalSource);
    EXPECT_EQ(failureOf([&] { cache->CreatePivotTable(book->Worksheets()->Item(1)->Range("A1"), "T"); }).number(), 1004);
}

TEST_F(HostInterface, AClosedWorkbooksObjectsFailAsObjectsNotSet)
{
    auto range = first->Range("A1");
    book->Close();
    EXPECT_EQ(app->ActiveWorkbook(), nullptr);
    EXPECT_EQ(failureOf([&] { first->Name(); }).number(), 91);
    EXPECT_EQ(failureOf([&] { range->Offset(1, 1); }).number(), 91);
    EXPECT_EQ(failureOf([&] { book->Worksheets(); }).number(), 91);
}

TEST_F(HostInterface, ANewWorkbookHasNoFileToSaveTo)
{
    const auto failure = failureOf([&] { book->Save(); });
    EXPECT_EQ(failure.number(), 1004);
    EXPECT_NE(failure.description().find("SaveAs"), std::string::npos);
}

}  // namespace
