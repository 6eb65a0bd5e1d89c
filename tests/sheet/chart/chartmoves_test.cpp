// Charts through the host interface: Charts.Add, Location, the chart objects
// of a sheet, Cut and Paste, as the wizard drives them.
#include "sheet/host/hostworkbook.h"
#include "sheet/host/hostworksheet.h"
#include "sheet/xlsx/workbookdocument.h"

#include "charttestsupport.h"

using namespace sheet;
using namespace charttest;
using sheettest::failureOf;

namespace {

class ChartMoves : public ::testing::Test {
protected:
    void SetUp() override
    {
        report = book->Worksheets()->Add(first);
        report->Name("Report");
        table = placeTable(report, "C3:E7");
        report->Range("C3")->Select();
    }

    std::vector<std::string> tabs()
    {
        std::vector<std::string> names;
        auto host = std::dynamic_pointer_cast<HostWorkbook>(book);
        for (const auto& sheet : host->document().sheets())
            names.push_back(host->document().name(*sheet));
        return names;
    }

    std::shared_ptr<HostApplication> app = chartApplication();
    std::shared_ptr<Workbook> book = app->Workbooks()->Add();
    std::shared_ptr<Worksheet> first = book->Worksheets()->Item(1);
    std::shared_ptr<Worksheet> report;
    std::shared_ptr<FakeTable> table;
};

TEST_F(ChartMoves, ChartsAddMakesAChartSheetThatIsTheActiveChart)
{
    auto chart = app->Charts()->Add();
    ASSERT_NE(chart, nullptr);
    EXPECT_EQ(app->ActiveChart(), chart);
    EXPECT_EQ(chart->Name(), "Chart1");
    EXPECT_EQ(chart->Parent(), nullptr);
    ASSERT_EQ(app->Charts()->Count(), 1);
    EXPECT_EQ(app->Charts()->Item(1), chart);
    // A chart sheet goes before the active sheet and becomes the active tab.
    EXPECT_EQ(tabs(), (std::vector<std::string>{"Sheet1", "Chart1", "Report"}));
    EXPECT_EQ(std::dynamic_pointer_cast<HostWorkbook>(book)->document().activeSheet(), 1u);
    EXPECT_EQ(app->Charts()->Add()->Name(), "Chart2");
}

TEST_F(ChartMoves, LocationAsObjectEmbedsTheSameChartAndRemovesItsSheet)
{
    auto chart = app->Charts()->Add();
    auto moved = chart->Location(kLocationAsObject, "Report");
    EXPECT_EQ(moved, chart);
    EXPECT_EQ(app->ActiveChart(), chart);
    EXPECT_EQ(app->Charts()->Count(), 0);
    EXPECT_EQ(tabs(), (std::vector<std::string>{"Sheet1", "Report"}));
    auto holder = chart->Parent();
    ASSERT_NE(holder, nullptr);
    EXPECT_EQ(holder->Name(), "Chart 1");
    EXPECT_EQ(holder->Chart(), chart);
    EXPECT_EQ(holder->Parent(), report);
    ASSERT_EQ(report->ChartObjects()->Count(), 1);
    EXPECT_EQ(report->ChartObjects()->Item(1), holder);
    EXPECT_EQ(chart->Name(), "Report Chart 1");
    // The target is now the active sheet.
    EXPECT_EQ(std::dynamic_pointer_cast<HostWorkbook>(book)->document().activeSheet(), 1u);
}

TEST_F(ChartMoves, LocationRefusesAnUnknownSheetOrPlaceAndChangesNothing)
{
    auto chart = app->Charts()->Add();
    EXPECT_EQ(failureOf([&] { chart->Location(kLocationAsObject, "Nowhere"); }).number(), 1004);
    EXPECT_EQ(failureOf([&] { chart->Location(kLocationAsObject, "Chart1"); }).number(), 1004);
    for (int32_t where : {0, 3, -4105})
        EXPECT_EQ(failureOf([&] { chart->Location(where, "Report"); }).number(), 1004) << where;
    EXPECT_EQ(tabs(), (std::vector<std::string>{"Sheet1", "Chart1", "Report"}));
    EXPECT_EQ(chart->Parent(), nullptr);
    // Sheet names compare without regard to case.
    chart->Location(kLocationAsObject, "REPORT");
    EXPECT_EQ(report->ChartObjects()->Count(), 1);
}

TEST_F(ChartMoves, LocationAsNewSheetNamesOrRenamesTheChartSheet)
{
    auto chart = app->Charts()->Add();
    chart->Location(kLocationAsNewSheet, "Sales chart");
    EXPECT_EQ(tabs(), (std::vector<std::string>{"Sheet1", "Sales chart", "Report"}));
    chart->Location(kLocationAsObject, "Report");
    EXPECT_EQ(chart->Location(kLocationAsNewSheet, "Back again"), chart);
    EXPECT_EQ(report->ChartObjects()->Count(), 0);
    EXPECT_EQ(chart->Parent(), nullptr);
    // A new chart sheet takes the place of the worksheet the chart was on.
    EXPECT_EQ(tabs(), (std::vector<std::string>{"Sheet1", "Back again", "Report"}));
    EXPECT_EQ(app->Charts()->Item(1), chart);
    EXPECT_EQ(failureOf([&] { chart->Location(kLocationAsNewSheet, "report"); }).number(), 1004);
    EXPECT_EQ(failureOf([&] { chart->Location(kLocationAsNewSheet, "Bad/name"); }).number(), 1004);
    EXPECT_EQ(tabs(), (std::vector<std::string>{"Sheet1", "Back again", "Report"}));
}

TEST_F(ChartMoves, AChartMovedOntoAHiddenSheetLeavesAVisibleSheetActive)
{
    first->Visible(kSheetHidden);
    auto chart = app->Charts()->Add();
    chart->Location(kLocationAsObject, "Sheet1");
    EXPECT_EQ(first->ChartObjects()->Count(), 1);
    EXPECT_EQ(tabs(), (std::vector<std::string>{"Sheet1", "Report"}));
    EXPECT_EQ(std::dynamic_pointer_cast<HostWorkbook>(book)->document().activeSheet(), 1u);
}

TEST_F(ChartMoves, ChartObjectsAreNamedChartOneTwoPerSheet)
{
    for (int i = 0; i < 2; ++i)
        app->Charts()->Add()->Location(kLocationAsObject, "Report");
    app->Charts()->Add()->Location(kLocationAsObject, "Sheet1");
    ASSERT_EQ(report->ChartObjects()->Count(), 2);
    EXPECT_EQ(report->ChartObjects()->Item(1)->Name(), "Chart 1");
    EXPECT_EQ(report->ChartObjects()->Item(2)->Name(), "Chart 2");
    EXPECT_EQ(first->ChartObjects()->Item(1)->Name(), "Chart 1");
}

TEST_F(ChartMoves, CutTakesTheObjectOffItsSheetAndPastePutsItOnAnother)
{
    auto chart = app->Charts()->Add()->Location(kLocationAsObject, "Report");
    auto holder = report->ChartObjects()->Item(1);
    holder->Cut();
    EXPECT_EQ(report->ChartObjects()->Count(), 0);
    EXPECT_EQ(failureOf([&] { holder->Parent(); }).number(), 91);
    EXPECT_EQ(failureOf([&] { holder->Cut(); }).number(), 1004);
    first->Select();
    first->Paste(first->Range("B2")->Offset(2, 2));
    ASSERT_EQ(first->ChartObjects()->Count(), 1);
    EXPECT_EQ(first->ChartObjects()->Item(1)->Chart(), chart);
    EXPECT_EQ(chart->Parent()->Parent(), first);
    EXPECT_EQ(app->ActiveChart(), chart);
    // The clipboard is empty again.
    EXPECT_EQ(failureOf([&] { first->Paste(first->Range("A1")); }).number(), 1004);
}

TEST_F(ChartMoves, APastedObjectKeepsItsNameUnlessTheSheetHasItAlready)
{
    app->Charts()->Add()->Location(kLocationAsObject, "Sheet1");
    app->Charts()->Add()->Location(kLocationAsObject, "Report");
    app->Charts()->Add()->Location(kLocationAsObject, "Report");
    report->ChartObjects()->Item(2)->Cut();
    first->Paste(first->Range("A1"));
    EXPECT_EQ(first->ChartObjects()->Item(2)->Name(), "Chart 2");
    first->ChartObjects()->Item(2)->Cut();
    report->Paste(report->Range("A1"));
    EXPECT_EQ(report->ChartObjects()->Item(2)->Name(), "Chart 2");
}

TEST_F(ChartMoves, AChartMovedAfterItsCutCannotBePastedTwice)
{
    auto chart = app->Charts()->Add()->Location(kLocationAsObject, "Report");
    report->ChartObjects()->Item(1)->Cut();
    chart->Location(kLocationAsObject, "Sheet1");
    EXPECT_EQ(failureOf([&] { report->Paste(report->Range("A1")); }).number(), 1004);
    EXPECT_EQ(report->ChartObjects()->Count(), 0);
    EXPECT_EQ(first->ChartObjects()->Count(), 1);
}

TEST_F(ChartMoves, PasteRefusesAChartOfAnotherWorkbook)
{
    app->Charts()->Add()->Location(kLocationAsObject, "Report");
    report->ChartObjects()->Item(1)->Cut();
    auto other = app->Workbooks()->Add()->Worksheets()->Item(1);
    EXPECT_EQ(failureOf([&] { other->Paste(other->Range("A1")); }).number(), 1004);
}

// The wizard's own road: select the start cell, add a chart, move it onto the
// target, and look for it among the first worksheet's chart objects.
TEST_F(ChartMoves, TheWizardFindsItsChartOnTheTargetSheet)
{
    report->Range("C3")->Select();
    app->Charts()->Add();
    app->ActiveChart()->Location(kLocationAsObject, report->Name());
    EXPECT_EQ(app->ActiveChart()->Parent()->Parent(), report);
    std::shared_ptr<ChartObject> found;
    for (const auto& object : *report->ChartObjects()) {
        if (object->Chart() == app->ActiveChart()) {
            found = object;
            break;
        }
    }
    EXPECT_NE(found, nullptr);
}

TEST_F(ChartMoves, MembersOfAClosedWorkbooksChartFailWith91)
{
    auto chart = app->Charts()->Add();
    book->Close();
    EXPECT_EQ(failureOf([&] { chart->Name(); }).number(), 91);
    EXPECT_EQ(failureOf([&] { chart->Location(kLocationAsObject, "Report"); }).number(), 91);
    EXPECT_EQ(failureOf([&] { app->Charts(); }).number(), 91);
}

}  // namespace
