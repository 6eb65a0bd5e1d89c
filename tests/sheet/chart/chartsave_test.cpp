// Saving a workbook with charts: the chart, drawing and chart sheet parts,
// the links between them, and where an embedded chart sits.
#include "sheet/host/hostworkbook.h"

#include "charttestsupport.h"

using namespace sheet;
using namespace charttest;

namespace {

constexpr const char* kChartType = "application/vnd.openxmlformats-officedocument.drawingml.chart+xml";
constexpr const char* kDrawingType = "application/vnd.openxmlformats-officedocument.drawing+xml";

class ChartSaving : public ::testing::Test {
protected:
    void SetUp() override
    {
        report = book->Worksheets()->Add(book->Worksheets()->Item(1));
        report->Name("Report");
        table = placeTable(report, "C3:E7");
        report->Range("C3")->Select();
    }

    // Adds a chart of the selected table and embeds it in `sheet`.
    std::shared_ptr<Chart> embedIn(const std::string& sheet)
    {
        return app->Charts()->Add()->Location(kLocationAsObject, sheet);
    }

    SavedParts save()
    {
        book->SaveAs(file.string());
        return SavedParts(file);
    }

    // The anchor corners of the report sheet's drawing, "col,row col,row" each.
    std::vector<std::string> anchors(const SavedParts& parts, const std::string& drawing = "xl/drawings/drawing1.xml")
    {
        std::vector<std::string> found;
        const auto document = parseXml(parts[drawing]);
        for (auto anchor : document->document_element().children("xdr:twoCellAnchor")) {
            std::string corners;
            for (const char* corner : {"xdr:from", "xdr:to"}) {
                const auto node = anchor.child(corner);
                corners += std::string(corners.empty() ? "" : " ") + node.child("xdr:col").text().get() + ","
                           + node.child("xdr:row").text().get();
            }
            found.push_back(corners);
        }
        return found;
    }

    sheettest::TempFolder folder;
    std::filesystem::path file = folder / "Charts.xlsx";
    std::shared_ptr<HostApplication> app = chartApplication();
    std::shared_ptr<Workbook> book = app->Workbooks()->Add();
    std::shared_ptr<Worksheet> report;
    std::shared_ptr<FakeTable> table;
};

TEST_F(ChartSaving, AnEmbeddedChartIsLinkedSheetToDrawingToChart)
{
    embedIn("Report");
    const auto parts = save();
    const std::string sheetPart = "xl/worksheets/sheet2.xml";
    const auto sheetXml = parseXml(parts[sheetPart]);
    const auto drawingElement = sheetXml->document_element().child("drawing");
    ASSERT_TRUE(drawingElement);
    const std::string drawingId = drawingElement.attribute("r:id").value();
    EXPECT_EQ(parts.linkType(sheetPart, drawingId), "drawing");
    const std::string drawing = parts.linked(sheetPart, drawingId);
    EXPECT_EQ(drawing, "xl/drawings/drawing1.xml");
    const auto drawingXml = parseXml(parts[drawing]);
    const std::string chartId =
        drawingXml->document_element().select_node(".//c:chart").node().attribute("r:id").value();
    EXPECT_EQ(parts.linkType(drawing, chartId), "chart");
    const std::string chart = parts.linked(drawing, chartId);
    EXPECT_EQ(chart, "xl/charts/chart1.xml");
    EXPECT_EQ(parts.overrideOf(chart), kChartType);
    EXPECT_EQ(parts.overrideOf(drawing), kDrawingType);
    const auto chartXml = parseXml(parts[chart]);
    EXPECT_EQ(texts(chartXml->document_element(), "c:title//a:t"), std::vector<std::string>{"Amount"});
    EXPECT_EQ(texts(chartXml->document_element(), "c:ser/c:tx/c:v"), (std::vector<std::string>{"2023", "2024"}));
}

TEST_F(ChartSaving, AChartSitsTwoColumnsRightOfItsTableAsTheTableIsDrawnWhenSaved)
{
    embedIn("Report");
    // The table grows after the chart was placed, as the wizard adds fields.
    table->cover(area("C3:H12"));
    EXPECT_EQ(anchors(save()), std::vector<std::string>{"9,2 17,18"});
}

TEST_F(ChartSaving, APastedChartSitsAtItsDestination)
{
    embedIn("Report");
    report->ChartObjects()->Item(1)->Cut();
    report->Paste(report->Range("C3")->Offset(2, 2));
    EXPECT_EQ(anchors(save()), std::vector<std::string>{"4,4 12,20"});
}

TEST_F(ChartSaving, WithoutATableTheChartIsEmptyAndSitsAtTheSelection)
{
    auto first = book->Worksheets()->Item(1);
    first->Range("B5")->Select();
    embedIn(first->Name());
    const auto parts = save();
    EXPECT_EQ(anchors(parts), std::vector<std::string>{"1,4 9,20"});
    const auto chartXml = parseXml(parts["xl/charts/chart1.xml"]);
    EXPECT_TRUE(chartXml->document_element().child("c:chart").child("c:plotArea").child("c:barChart"));
    EXPECT_TRUE(texts(chartXml->document_element(), "c:ser").empty());
}

TEST_F(ChartSaving, TwoChartsOnASheetShareItsDrawing)
{
    embedIn("Report");
    report->Range("D4")->Select();
    embedIn("Report");
    const auto parts = save();
    EXPECT_EQ(anchors(parts).size(), 2u);
    EXPECT_TRUE(parts.has("xl/charts/chart1.xml"));
    EXPECT_TRUE(parts.has("xl/charts/chart2.xml"));
    EXPECT_FALSE(parts.has("xl/drawings/drawing2.xml"));
}

TEST_F(ChartSaving, AChartSheetIsSavedAsAChartsheetPartOfTheWorkbook)
{
    app->Charts()->Add();
    const auto parts = save();
    const auto workbook = parseXml(parts["xl/workbook.xml"]);
    const auto entry = workbook->document_element().child("sheets").find_child_by_attribute("sheet", "name", "Chart1");
    ASSERT_TRUE(entry);
    const std::string id = entry.attribute("r:id").value();
    EXPECT_EQ(parts.linkType("xl/workbook.xml", id), "chartsheet");
    const std::string sheetPart = parts.linked("xl/workbook.xml", id);
    EXPECT_EQ(sheetPart, "xl/chartsheets/sheet1.xml");
    EXPECT_EQ(parts.overrideOf(sheetPart), "application/vnd.openxmlformats-officedocument.spreadsheetml.chartsheet+xml");
    const auto sheetXml = parseXml(parts[sheetPart]);
    EXPECT_EQ(childNames(sheetXml->document_element()), (std::vector<std::string>{"sheetViews", "drawing"}));
    const std::string drawing =
        parts.linked(sheetPart, sheetXml->document_element().child("drawing").attribute("r:id").value());
    const auto drawingXml = parseXml(parts[drawing]);
    const auto chart = drawingXml->document_element().select_node(".//c:chart").node();
    EXPECT_TRUE(drawingXml->document_element().child("xdr:absoluteAnchor"));
    EXPECT_EQ(parts.linked(drawing, chart.attribute("r:id").value()), "xl/charts/chart1.xml");

    // Opened again, the workbook lists the chart sheet.
    auto other = chartApplication();
    other->Workbooks()->Open(file.string());
    ASSERT_EQ(other->Charts()->Count(), 1);
    EXPECT_EQ(other->Charts()->Item(1)->Name(), "Chart1");
}

}  // namespace
