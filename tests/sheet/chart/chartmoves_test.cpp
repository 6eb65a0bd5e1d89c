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
        placeTable(report, "C3:E7");
        report->Range("C3")->Select();
    }

    std::vector<std::string> tabs()
    {
        std::vector<std::string> names;
        for (const auto& sheet : document().sheets())
            names.push_back(document().name(*sheet));
        return names;
    }

    size_t activeTab() { return document().activeSheet(); }
    WorkbookDocument& document() { return std::dynamic_pointer_cast<HostWorkbook>(book)->document(); }

    std::shared_ptr<HostApplication> app = chartApplication();
    std::shared_ptr<Workbook> book = app->Workbooks()->Add();
    std::shared_ptr<Worksheet> first = book->Worksheets()->Item(1);
    std::shared_ptr<Worksheet> report;
};

TEST_F(ChartMoves, LocationAsObjectEmbedsTheSameChartOnTheTargetAndRemovesItsSheet)
{
    auto chart = app->Charts()->Add();
    EXPECT_EQ(chart->Location(kLocationAsObject, "REPORT"), chart);  // names compare without regard to case
    EXPECT_EQ(app->ActiveChart(), chart);
    EXPECT_EQ(app->Charts()->Count(), 0);
    EXPECT_EQ(tabs(), (std::vector<std::string>{"Sheet1", "Report"}));
    EXPECT_EQ(activeTab(), 1u);
    auto holder = chart->Parent();
    ASSERT_NE(holder, nullptr);
    EXPECT_EQ(holder->Name(), "Chart 1");
    EXPECT_EQ(holder->Chart(), chart);
    EXPECT_EQ(holder->Parent(), report);
    EXPECT_EQ(report->ChartObjects()->Item(1), holder);
    EXPECT_EQ(chart->Name(), "Report Chart 1");
}

TEST_F(ChartMoves, LocationRefusesAnUnknownSheetPlaceOrNameAndChangesNothing)
{
    auto chart = app->Charts()->Add();
    const std::pair<int32_t, const char*> refused[] = {
        {kLocationAsObject, "Nowhere"},   {kLocationAsObject, "Chart1"},    {0, "Report"}, {3, "Report"},
        {-4105, "Report"},                {kLocationAsNewSheet, "report"}, {kLocationAsNewSheet, "Bad/name"}};
    for (const auto& [where, name] : refused)
        EXPECT_EQ(failureOf([&, where = where, name = name] { chart->Location(where, name); }).number(), 1004)
            << where << " " << name;
    EXPECT_EQ(tabs(), (std::vector<std::string>{"Sheet1", "Chart1", "Report"}));
    EXPECT_EQ(chart->Parent(), nullptr);
}

TEST_F(ChartMoves, LocationAsNewSheetRenamesTheChartSheetOrPutsItWhereTheChartWas)
{
    auto chart = app->Charts()->Add();
    chart->Location(kLocationAsNewSheet, "Sales chart");
    EXPECT_EQ(tabs(), (std::vector<std::string>{"Sheet1", "Sales chart", "Report"}));
    chart->Location(kLocationAsObject, "Report");
    EXPECT_EQ(chart->Location(kLocationAsNewSheet, "Back again"), chart);
    EXPECT_EQ(report->ChartObjects()->Count(), 0);
    EXPECT_EQ(chart->Parent(), nullptr);
    EXPECT_EQ(tabs(), (std::vector<std::string>{"Sheet1", "Back again", "Report"}));
    EXPECT_EQ(app->Charts()->Item(1), chart);
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
    EXPECT_EQ(failureOf([&] { first->Paste(first->Range("A1")); }).number(), 1004);  // the clipboard is empty again
}

TEST_F(ChartMoves, ACutChartIsNotPastedAfterItMovedNorIntoAnotherWorkbook)
{
    auto chart = app->Charts()->Add()->Location(kLocationAsObject, "Report");
    report->ChartObjects()->Item(1)->Cut();
    chart->Location(kLocationAsObject, "Sheet1");
    EXPECT_EQ(failureOf([&] { report->Paste(report->Range("A1")); }).number(), 1004);
    EXPECT_EQ(report->ChartObjects()->Count(), 0);
    first->ChartObjects()->Item(1)->Cut();
    auto other = app->Workbooks()->Add()->Worksheets()->Item(1);
    EXPECT_EQ(failureOf([&] { other->Paste(other->Range("A1")); }).number(), 1004);
}

}  // namespace
