// Charts in a workbook the user made elsewhere, and saving again: the host
// joins the user's own drawing, leaves every part it did not change as it
// was, and rewrites or drops its own parts as the charts change.
#include "sheet/host/hostworkbook.h"

#include "charttestsupport.h"

#include <sys/stat.h>

#include <set>

using namespace sheet;
using namespace charttest;
using sheettest::readZip;

namespace {

class ChartResaving : public ::testing::Test {
protected:
    void SetUp() override
    {
        sheettest::writeZip(file, sheettest::fixtureParts());
        before = readZip(file);
        book = app->Workbooks()->Open(file.string());
        data = book->Worksheets()->Item("Data");
        table = placeTable(data, "A1:B4");
        data->Range("A1")->Select();
    }

    void expectUnchangedBut(const std::set<std::string>& changed)
    {
        sheettest::expectUnchangedBut(before, file, changed);
    }

    ino_t inode()
    {
        struct stat info {};
        ::stat(file.c_str(), &info);
        return info.st_ino;
    }

    sheettest::TempFolder folder;
    std::filesystem::path file = folder / "Book.xlsx";
    std::map<std::string, sheettest::StoredEntry> before;
    std::shared_ptr<HostApplication> app = chartApplication();
    std::shared_ptr<Workbook> book;
    std::shared_ptr<Worksheet> data;
    std::shared_ptr<FakeTable> table;
};

TEST_F(ChartResaving, AChartOnASheetWithItsOwnDrawingJoinsThatDrawing)
{
    // The fixture's chart sheet is "Chart1", so the new one is "Chart2".
    EXPECT_EQ(app->Charts()->Add()->Name(), "Chart2");
    app->ActiveChart()->Location(kLocationAsObject, "Data");
    book->Save();
    const SavedParts parts(file);
    const std::string drawing = "xl/drawings/drawing1.xml";
    const auto drawingXml = parseXml(parts[drawing]);
    const auto anchors = drawingXml->document_element().select_nodes("xdr:twoCellAnchor");
    ASSERT_EQ(anchors.size(), 2u);
    // The user's chart stays first and linked as before; the new one links
    // to a new chart part (chart1 and chart2 are taken).
    const auto ids = drawingXml->document_element().select_nodes(".//c:chart");
    EXPECT_EQ(parts.linked(drawing, ids[0].node().attribute("r:id").value()), "xl/charts/chart1.xml");
    EXPECT_EQ(parts.linked(drawing, ids[1].node().attribute("r:id").value()), "xl/charts/chart3.xml");
    // The sheet already shows that drawing: its part is not touched at all.
    expectUnchangedBut({drawing, "xl/drawings/_rels/drawing1.xml.rels", "[Content_Types].xml", "xl/workbook.xml",
                        "xl/_rels/workbook.xml.rels"});
}

TEST_F(ChartResaving, AChartSheetGoesBeforeTheActiveSheetAndKeepsTheOtherSheetsIntact)
{
    app->Charts()->Add();
    book->Save();
    const SavedParts parts(file);
    EXPECT_TRUE(parts.has("xl/chartsheets/sheet2.xml"));
    const auto workbook = parseXml(parts["xl/workbook.xml"]);
    std::vector<std::string> names;
    for (auto entry : workbook->document_element().child("sheets").children("sheet"))
        names.push_back(entry.attribute("name").value());
    EXPECT_EQ(names, (std::vector<std::string>{"Chart2", "Data", "Calc", "Locked", "Secret", "Chart1"}));
    // Sheet-local names still point at their sheets.
    EXPECT_STREQ(workbook->document_element().child("definedNames").first_child().attribute("localSheetId").value(),
                 "3");
    expectUnchangedBut({"xl/chartsheets/sheet2.xml", "xl/chartsheets/_rels/sheet2.xml.rels", "xl/charts/chart3.xml",
                        "xl/drawings/drawing3.xml", "xl/drawings/_rels/drawing3.xml.rels", "[Content_Types].xml",
                        "xl/workbook.xml", "xl/_rels/workbook.xml.rels", "xl/worksheets/sheet1.xml"});
}

TEST_F(ChartResaving, SavingAgainWithNothingChangedWritesNothing)
{
    app->Charts()->Add()->Location(kLocationAsObject, "Data");
    book->Save();
    const ino_t saved = inode();
    book->Save();
    EXPECT_EQ(inode(), saved);
}

TEST_F(ChartResaving, ANewlyDrawnTableRewritesItsChart)
{
    app->Charts()->Add()->Location(kLocationAsObject, "Data");
    book->Save();
    table->show({"Amount", {"West"}, {{"2025", {99.0}}}});
    book->Save();
    const auto chart = parseXml(SavedParts(file)["xl/charts/chart3.xml"]);
    EXPECT_EQ(texts(chart->document_element(), "c:cat//c:v"), std::vector<std::string>{"West"});
    EXPECT_EQ(texts(chart->document_element(), "c:val//c:v"), std::vector<std::string>{"99"});
}

TEST_F(ChartResaving, ACutChartNeverPastedLeavesTheFileAndTheDrawingComesBack)
{
    app->Charts()->Add()->Location(kLocationAsObject, "Data");
    book->Save();
    data->ChartObjects()->Item(1)->Cut();
    book->Save();
    const SavedParts parts(file);
    EXPECT_FALSE(parts.has("xl/charts/chart3.xml"));
    EXPECT_EQ(parts.overrideOf("xl/charts/chart3.xml"), "");
    EXPECT_EQ(parts["xl/drawings/drawing1.xml"], before.at("xl/drawings/drawing1.xml").data);
    EXPECT_EQ(parts["xl/drawings/_rels/drawing1.xml.rels"], before.at("xl/drawings/_rels/drawing1.xml.rels").data);
}

TEST_F(ChartResaving, AChartSheetMovedIntoASheetAfterASaveTakesItsSheetPartsAlong)
{
    auto chart = app->Charts()->Add();
    book->Save();
    ASSERT_TRUE(SavedParts(file).has("xl/chartsheets/sheet2.xml"));
    chart->Location(kLocationAsObject, "Data");
    book->Save();
    const SavedParts parts(file);
    for (const char* gone : {"xl/chartsheets/sheet2.xml", "xl/chartsheets/_rels/sheet2.xml.rels",
                             "xl/drawings/drawing3.xml", "xl/drawings/_rels/drawing3.xml.rels"})
        EXPECT_FALSE(parts.has(gone)) << gone;
    EXPECT_EQ(parts.overrideOf("xl/chartsheets/sheet2.xml"), "");
    EXPECT_EQ(parseXml(parts["xl/workbook.xml"])->document_element().child("sheets").select_nodes("sheet").size(), 5u);
    // The chart keeps its part, now shown in the Data sheet's drawing.
    const auto drawing = parseXml(parts["xl/drawings/drawing1.xml"]);
    const auto frames = drawing->document_element().select_nodes(".//c:chart");
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(parts.linked("xl/drawings/drawing1.xml", frames[1].node().attribute("r:id").value()),
              "xl/charts/chart3.xml");
}

}  // namespace
