// Charts through the host interface as the wizard drives them (Charts.Add,
// Location, the chart objects of a sheet, Cut and Paste), and saving
// workbooks with charts: the chart, drawing and chart sheet parts, the
// links between them, and where an embedded chart sits. In a workbook the user
// made elsewhere the host joins the user's own drawing, leaves every part it
// did not change as it was, and rewrites or drops its own parts as the charts
// change.
#include "sheet/host/hostworkbook.h"
#include "sheet/xlsx/workbookdocument.h"

#include "charttestsupport.h"

#include <sys/stat.h>

using namespace sheet;
using namespace charttest;
using sheettest::failureOf;

namespace {

class ChartSaving : public ::testing::Test {
protected:
    // A new workbook saved as a new file: Sheet1, and Report with the table.
    void SetUp() override
    {
        app = chartApplication();
        book = app->Workbooks()->Add();
        file = folder / ("Charts" + std::to_string(++saves) + ".xlsx");
        first = book->Worksheets()->Item(1);
        report = book->Worksheets()->Add(first);
        report->Name("Report");
        table = placeTable(report, "C3:E7");
        report->Range("C3")->Select();
    }

    // Adds a chart of the selected table and embeds it in `sheet`.
    void embedIn(const std::string& sheet) { app->Charts()->Add()->Location(kLocationAsObject, sheet); }

    SavedParts save()
    {
        book->SaveAs(file.string());
        return SavedParts(file);
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

    ScratchFolder folder;
    std::filesystem::path file;
    int saves = 0;
    std::shared_ptr<HostApplication> app;
    std::shared_ptr<Workbook> book;
    std::shared_ptr<Worksheet> first, report;
    std::shared_ptr<FakeTable> table;
};

using ChartMoves = ChartSaving;

// Back to a sheet of its own, the chart goes where its sheet was.
TEST_F(ChartMoves, LocationEmbedsTheSameChartOnTheTargetAndBackOnASheetOfItsOwn)
{
    auto chart = app->Charts()->Add();
    EXPECT_EQ(chart->Location(kLocationAsObject, "REPORT"), chart);  // names compare without regard to case
    EXPECT_EQ(app->ActiveChart(), chart);
    EXPECT_EQ(app->Charts()->Count(), 0);
    EXPECT_EQ(tabs(), (std::vector<std::string>{"Sheet1", "Report"}));
    EXPECT_EQ(activeTab(), 1u);
    ASSERT_NE(chart->Parent(), nullptr);
    EXPECT_EQ(report->ChartObjects()->Item(1), chart->Parent());
    EXPECT_EQ(chart->Name(), "Report Chart 1");
    EXPECT_EQ(chart->Location(kLocationAsNewSheet, "Back again"), chart);
    EXPECT_EQ(report->ChartObjects()->Count(), 0);
    EXPECT_EQ(chart->Parent(), nullptr);
    EXPECT_EQ(tabs(), (std::vector<std::string>{"Sheet1", "Back again", "Report"}));
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

TEST_F(ChartMoves, CutTakesTheObjectOffItsSheetAndPastePutsItOnAnotherOfTheSameWorkbook)
{
    auto chart = app->Charts()->Add()->Location(kLocationAsObject, "Report");
    auto holder = report->ChartObjects()->Item(1);
    holder->Cut();
    EXPECT_EQ(report->ChartObjects()->Count(), 0);
    EXPECT_EQ(failureOf([&] { holder->Parent(); }).number(), 91);
    first->Paste(first->Range("B2")->Offset(2, 2));
    ASSERT_EQ(first->ChartObjects()->Count(), 1);
    EXPECT_EQ(chart->Parent()->Parent(), first);
    EXPECT_EQ(failureOf([&] { first->Paste(first->Range("A1")); }).number(), 1004);  // the clipboard is empty again
    first->ChartObjects()->Item(1)->Cut();
    auto other = app->Workbooks()->Add()->Worksheets()->Item(1);
    EXPECT_EQ(failureOf([&] { other->Paste(other->Range("A1")); }).number(), 1004);
    first->Paste(first->Range("A1"));  // the refused paste left the chart on the clipboard
    EXPECT_EQ(first->ChartObjects()->Count(), 1);
}

TEST_F(ChartSaving, EmbeddedChartsAreLinkedSheetToOneDrawingToTheirChartsWhichReferToTheTablesCells)
{
    embedIn("Report");
    report->Range("D4")->Select();
    embedIn("Report");
    report->Name("Q1 Report's");  // the chart refers to the sheet as it is named when saved
    const auto parts = save();
    EXPECT_EQ(parts.charts("xl/worksheets/sheet2.xml"), "xl/drawings/drawing1.xml: xl/charts/chart1.xml xl/charts/chart2.xml");
    EXPECT_FALSE(parts.has("xl/drawings/drawing2.xml"));
    const auto chart = parseXml(parts["xl/charts/chart1.xml"]);
    EXPECT_EQ(texts(chart->document_element(), "c:title//a:t"), std::vector<std::string>{"Amount"});
    EXPECT_EQ(texts(chart->document_element(), "c:ser/c:tx/c:v"), (std::vector<std::string>{"2023", "2024"}));
    EXPECT_EQ(texts(chart->document_element(), "c:ser/c:val/c:numRef/c:f"),
              (std::vector<std::string>{"'Q1 Report''s'!$D$4:$D$6", "'Q1 Report''s'!$E$4:$E$6"}));
    EXPECT_EQ(texts(chart->document_element(), "c:ser/c:cat/c:strRef/c:f"),
              (std::vector<std::string>{"'Q1 Report''s'!$C$4:$C$6", "'Q1 Report''s'!$C$4:$C$6"}));
}

// An embedded chart sits two columns right of its table as the table is
// drawn when saved, a pasted one at its destination, and one without a table
// at the selection.
TEST_F(ChartSaving, AnEmbeddedChartSitsBesideItsTableOrWhereItWasPutOrSelected)
{
    const struct {
        const char* what;
        std::function<void()> place;
        const char* anchor;
    } cases[] = {
        {"the table grew after the chart was placed, as the wizard adds fields",
         [&] { embedIn("Report"), table->cover(area("C3:H12")); }, "9,2"},
        {"pasted",
         [&] {
             embedIn("Report");
             report->ChartObjects()->Item(1)->Cut();
             report->Paste(report->Range("C3")->Offset(2, 2));
         },
         "4,4"},
        {"no table", [&] { first->Range("B5")->Select(), embedIn("Sheet1"); }, "1,4"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        c.place();
        const auto parts = save();
        EXPECT_EQ(parts.anchors("xl/drawings/drawing1.xml"), std::vector<std::string>{c.anchor});
    }
}

TEST_F(ChartSaving, AChartSheetIsAChartsheetPartOfTheWorkbookThatListsItWhenOpenedAgain)
{
    app->Charts()->Add();
    const auto parts = save();
    const auto workbook = parseXml(parts["xl/workbook.xml"]);
    const auto entry = workbook->document_element().child("sheets").find_child_by_attribute("sheet", "name", "Chart1");
    EXPECT_EQ(parts.link("xl/workbook.xml", entry.attribute("r:id").value()), "chartsheet xl/chartsheets/sheet1.xml");
    EXPECT_EQ(parts.overrideOf("xl/chartsheets/sheet1.xml"),
              "application/vnd.openxmlformats-officedocument.spreadsheetml.chartsheet+xml");
    expectGolden(parts["xl/chartsheets/sheet1.xml"], "chartsheet-part");
    EXPECT_EQ(parts.charts("xl/chartsheets/sheet1.xml"), "xl/drawings/drawing1.xml: xl/charts/chart1.xml");
    EXPECT_TRUE(parseXml(parts["xl/drawings/drawing1.xml"])->document_element().child("xdr:absoluteAnchor"));
    auto other = chartApplication();
    other->Workbooks()->Open(file.string());
    ASSERT_EQ(other->Charts()->Count(), 1);
    EXPECT_EQ(other->Charts()->Item(1)->Name(), "Chart1");
}

class ChartResaving : public ::testing::Test {
protected:
    void SetUp() override
    {
        sheettest::writeZip(file, sheettest::fixtureParts());
        before = sheettest::readZip(file);
        book = app->Workbooks()->Open(file.string());
        data = book->Worksheets()->Item("Data");
        table = placeTable(data, "A1:B4");
        data->Range("A1")->Select();
    }

    void expectUnchangedBut(const std::set<std::string>& changed)
    {
        sheettest::expectUnchangedBut(before, file, changed);
    }

    ScratchFolder folder;
    std::filesystem::path file = folder / "Book.xlsx";
    std::map<std::string, sheettest::StoredEntry> before;
    std::shared_ptr<HostApplication> app = chartApplication();
    std::shared_ptr<Workbook> book;
    std::shared_ptr<Worksheet> data;
    std::shared_ptr<FakeTable> table;
};

TEST_F(ChartResaving, SavingAgainWithNothingChangedWritesNothingAndANewlyDrawnTableRewritesItsChart)
{
    app->Charts()->Add()->Location(kLocationAsObject, "Data");
    book->Save();
    const auto inode = [&] {
        struct stat info {};
        ::stat(file.c_str(), &info);
        return info.st_ino;
    };
    const ino_t saved = inode();
    book->Save();
    EXPECT_EQ(inode(), saved);
    table->show({"Amount", "", {"West"}, {{3, 3}}, {{"Amount", ""}}, {{"2025", 0, {99.0}, {{3, 4}}}}});
    book->Save();
    const auto chart = parseXml(SavedParts(file)["xl/charts/chart3.xml"]);
    EXPECT_EQ(texts(chart->document_element(), "c:cat//c:v"), std::vector<std::string>{"West"});
    EXPECT_EQ(texts(chart->document_element(), "c:val//c:v"), std::vector<std::string>{"99"});
}

// A new chart sheet goes before the active sheet, keeping the other sheets
// intact; moved into the Data sheet after a save, it takes its sheet parts
// along and joins the user's drawing after the user's chart; cut and never
// pasted, it leaves the file and the drawing comes back as it was.
TEST_F(ChartResaving, AChartThatMovesOrIsCutTakesItsPartsAlong)
{
    auto chart = app->Charts()->Add();
    EXPECT_EQ(chart->Name(), "Chart2");  // the fixture's chart sheet is Chart1
    book->Save();
    SavedParts parts(file);
    EXPECT_EQ(parts.charts("xl/chartsheets/sheet2.xml"), "xl/drawings/drawing3.xml: xl/charts/chart3.xml");
    const auto workbook = parseXml(parts["xl/workbook.xml"]);
    std::vector<std::string> names;  // the chart sheet goes before the active sheet
    for (auto entry : workbook->document_element().child("sheets").children("sheet"))
        names.push_back(entry.attribute("name").value());
    EXPECT_EQ(names, (std::vector<std::string>{"Chart2", "Data", "Calc", "Locked", "Secret", "Chart1"}));
    // Sheet-local names still point at their sheets.
    EXPECT_STREQ(workbook->document_element().child("definedNames").first_child().attribute("localSheetId").value(), "3");
    expectUnchangedBut({"xl/chartsheets/sheet2.xml", "xl/chartsheets/_rels/sheet2.xml.rels", "xl/charts/chart3.xml",
                        "xl/drawings/drawing3.xml", "xl/drawings/_rels/drawing3.xml.rels", "[Content_Types].xml",
                        "xl/workbook.xml", "xl/_rels/workbook.xml.rels", "xl/worksheets/sheet1.xml"});
    chart->Location(kLocationAsObject, "Data");
    book->Save();
    parts = SavedParts(file);
    for (const char* gone : {"xl/chartsheets/sheet2.xml", "xl/chartsheets/_rels/sheet2.xml.rels",
                             "xl/drawings/drawing3.xml", "xl/drawings/_rels/drawing3.xml.rels"})
        EXPECT_FALSE(parts.has(gone)) << gone;
    EXPECT_EQ(parts.overrideOf("xl/chartsheets/sheet2.xml"), "");
    EXPECT_EQ(parts.charts("xl/worksheets/sheet1.xml"), "xl/drawings/drawing1.xml: xl/charts/chart1.xml xl/charts/chart3.xml");
    EXPECT_EQ(parts.anchors("xl/drawings/drawing1.xml").size(), 2u);
    // The Data sheet got its tab mark back (after the chart sheet had it).
    expectUnchangedBut({"xl/drawings/drawing1.xml", "xl/drawings/_rels/drawing1.xml.rels", "[Content_Types].xml",
                        "xl/workbook.xml", "xl/_rels/workbook.xml.rels", "xl/worksheets/sheet1.xml"});

    data->ChartObjects()->Item(1)->Cut();
    book->Save();
    parts = SavedParts(file);
    EXPECT_FALSE(parts.has("xl/charts/chart3.xml"));
    EXPECT_EQ(parts.overrideOf("xl/charts/chart3.xml"), "");
    EXPECT_EQ(parts["xl/drawings/drawing1.xml"], before.at("xl/drawings/drawing1.xml").data);
    EXPECT_EQ(parts["xl/drawings/_rels/drawing1.xml.rels"], before.at("xl/drawings/_rels/drawing1.xml.rels").data);
}

}  // namespace
