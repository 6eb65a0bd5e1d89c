// Drawing parts and drawing elements: where the host puts its charts in a
// sheet, and how it adds them to a drawing the user already has.
#include "sheet/chart/drawingpart.h"
#include "sheet/xlsx/xmlpart.h"

#include "charttestsupport.h"

using namespace sheet;
using namespace charttest;

namespace {

const ChartFrame kFrame{{3, 7}, {19, 15}, "Chart 1", "rId4"};

std::string cornerOf(const pugi::xml_node& anchor, const char* corner)
{
    const auto node = anchor.child(corner);
    return std::string(node.child("xdr:col").text().get()) + "," + node.child("xdr:row").text().get();
}

TEST(DrawingParts, FramesAreTwoCellAnchorsCountedFromZeroWithShapeIdsNoOtherShapeHas)
{
    auto drawing = parseXml(
        "<xdr:wsDr xmlns:xdr=\"http://schemas.openxmlformats.org/drawingml/2006/spreadsheetDrawing\" "
        "xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\"><xdr:oneCellAnchor><xdr:pic>"
        "<xdr:nvPicPr><xdr:cNvPr id=\"7\" name=\"Picture 6\"/></xdr:nvPicPr></xdr:pic></xdr:oneCellAnchor></xdr:wsDr>");
    auto root = drawing->document_element();
    addChartFrame(root, kFrame);
    addChartFrame(root, {{1, 1}, {17, 9}, "Chart 2", "rId5"});
    std::vector<std::string> ids;
    for (const auto& hit : root.select_nodes("//xdr:cNvPr"))
        ids.push_back(hit.node().attribute("id").value());
    EXPECT_EQ(ids, (std::vector<std::string>{"7", "8", "9"}));
    EXPECT_EQ(childNames(root), (std::vector<std::string>{"xdr:oneCellAnchor", "xdr:twoCellAnchor", "xdr:twoCellAnchor"}));
    const auto anchor = root.child("xdr:twoCellAnchor");
    EXPECT_EQ(childNames(anchor), (std::vector<std::string>{"xdr:from", "xdr:to", "xdr:graphicFrame", "xdr:clientData"}));
    EXPECT_EQ(cornerOf(anchor, "xdr:from") + " " + cornerOf(anchor, "xdr:to"), "6,2 14,18");
    const auto frame = anchor.child("xdr:graphicFrame");
    EXPECT_STREQ(frame.child("xdr:nvGraphicFramePr").child("xdr:cNvPr").attribute("name").value(), "Chart 1");
    const auto chart = frame.child("a:graphic").child("a:graphicData").child("c:chart");
    EXPECT_STREQ(chart.attribute("r:id").value(), "rId4");
    EXPECT_STREQ(anchor.attribute("xmlns:c").value(), "http://schemas.openxmlformats.org/drawingml/2006/chart");
    EXPECT_STREQ(anchor.attribute("xmlns:r").value(), "http://schemas.openxmlformats.org/officeDocument/2006/relationships");
}

// Another program may bind the drawing namespace as the default and use its
// own prefixes; the frame must still land in the right namespaces.
TEST(DrawingParts, AFrameFollowsTheNamespacesTheDrawingBinds)
{
    auto drawing = parseXml("<wsDr xmlns=\"http://schemas.openxmlformats.org/drawingml/2006/spreadsheetDrawing\" "
                            "xmlns:dm=\"http://schemas.openxmlformats.org/drawingml/2006/main\" "
                            "xmlns:a=\"urn:something-else\"/>");
    auto root = drawing->document_element();
    addChartFrame(root, kFrame);
    const auto anchor = root.child("twoCellAnchor");
    ASSERT_TRUE(anchor);
    EXPECT_TRUE(anchor.child("from").child("col"));
    const auto frame = anchor.child("graphicFrame");
    EXPECT_TRUE(frame.child("xfrm").child("dm:off"));
    EXPECT_TRUE(frame.child("dm:graphic").child("dm:graphicData").child("c:chart"));
}

TEST(DrawingElements, GoBetweenTheElementsTheSchemaPutsAroundThem)
{
    auto worksheet = parseXml("<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
                              "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
                              "<sheetData/><pageMargins/><pageSetup/><legacyDrawing r:id=\"rId1\"/><tableParts/>"
                              "</worksheet>");
    addDrawingElement(worksheet->document_element(), "rId2");
    EXPECT_EQ(childNames(worksheet->document_element()),
              (std::vector<std::string>{"sheetData", "pageMargins", "pageSetup", "drawing", "legacyDrawing",
                                        "tableParts"}));
    EXPECT_STREQ(worksheet->document_element().child("drawing").attribute("r:id").value(), "rId2");

    auto chartsheet = parseXml("<chartsheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
                               "<sheetPr/><sheetViews/><pageMargins/><webPublishItems/></chartsheet>");
    addDrawingElement(chartsheet->document_element(), "rId1");
    EXPECT_EQ(childNames(chartsheet->document_element()),
              (std::vector<std::string>{"sheetPr", "sheetViews", "pageMargins", "drawing", "webPublishItems"}));
    // A sheet that binds no prefix to the relationships namespace gets one.
    const auto drawing = chartsheet->document_element().child("drawing");
    const auto id = xml::relationshipAttribute(drawing, "id");
    ASSERT_TRUE(id);
    EXPECT_STREQ(id.value(), "rId1");
}

}  // namespace
