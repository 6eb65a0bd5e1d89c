// Drawing parts and drawing elements: where the host puts its charts in a
// sheet, and how it adds them to a part the user already has, against golden
// parts.
#include "sheet/chart/drawingpart.h"
#include "sheet/xlsx/xmlpart.h"

#include "charttestsupport.h"

using namespace sheet;
using namespace charttest;

namespace {

const char* const kDrawing = "xmlns:xdr=\"http://schemas.openxmlformats.org/drawingml/2006/spreadsheetDrawing\"";
const char* const kMain = "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"";
const ChartFrame kFrame{{3, 7}, {4318000, 3200400}, "Chart 1", "rId4"};

struct PartEdit {
    const char* golden;
    std::string part;
    std::function<void(pugi::xml_node)> edit;
};

// Frames are one-cell anchors (a cell counted from 0, and a size) after
// what the drawing holds, with shape ids no other shape has; another program
// may bind the drawing namespace as the default and use its own prefixes,
// and the frame must still land in the right namespaces. A drawing element goes between the
// elements the schema puts around it, and a sheet that binds no prefix to
// the relationships namespace gets one.
const PartEdit kEdits[] = {
    {"drawing-two-frames-after-a-picture",
     std::string("<xdr:wsDr ") + kDrawing + " xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\">"
         "<xdr:oneCellAnchor><xdr:pic><xdr:nvPicPr><xdr:cNvPr id=\"7\" name=\"Picture 6\"/></xdr:nvPicPr></xdr:pic>"
         "</xdr:oneCellAnchor></xdr:wsDr>",
     [](pugi::xml_node root) {
         addChartFrame(root, kFrame);
         addChartFrame(root, {{1, 1}, {5080000, 3810000}, "Chart 2", "rId5"});
     }},
    {"drawing-frame-in-default-namespace",
     "<wsDr xmlns=\"http://schemas.openxmlformats.org/drawingml/2006/spreadsheetDrawing\" "
     "xmlns:dm=\"http://schemas.openxmlformats.org/drawingml/2006/main\" xmlns:a=\"urn:something-else\"/>",
     [](pugi::xml_node root) { addChartFrame(root, kFrame); }},
    {"worksheet-drawing-element",
     std::string("<worksheet ") + kMain + " xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/"
         "relationships\"><sheetData/><pageMargins/><pageSetup/><legacyDrawing r:id=\"rId1\"/><tableParts/></worksheet>",
     [](pugi::xml_node root) { addDrawingElement(root, "rId2"); }},
    {"chartsheet-drawing-element",
     std::string("<chartsheet ") + kMain + "><sheetPr/><sheetViews/><pageMargins/><webPublishItems/></chartsheet>",
     [](pugi::xml_node root) { addDrawingElement(root, "rId1"); }},
};

TEST(DrawingParts, EachEditGivesTheGoldenPart)
{
    for (const auto& edit : kEdits) {
        SCOPED_TRACE(edit.golden);
        auto document = parseXml(edit.part);
        edit.edit(document->document_element());
        expectGolden(xml::serialize(*document), edit.golden);
    }
}

}  // namespace
