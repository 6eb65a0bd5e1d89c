#include "sheet/chart/drawingpart.h"

#include "sheet/chart/chartxml.h"

#include "sheet/xlsx/sheetwriter.h"
#include "sheet/xlsx/xmlpart.h"

#include <algorithm>
#include <charconv>

namespace sheet {

namespace {

constexpr const char* kSpreadsheetDrawingNamespace =
    "http://schemas.openxmlformats.org/drawingml/2006/spreadsheetDrawing";
constexpr const char* kRelationshipsNamespace = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";

// A chart sheet's children in schema order, for placing its drawing element.
const std::initializer_list<std::string_view> kChartsheetOrder = {
    "sheetPr", "sheetViews", "sheetProtection", "customSheetViews", "pageMargins", "pageSetup", "headerFooter",
    "drawing", "legacyDrawing", "legacyDrawingHF", "drawingHF", "picture", "webPublishItems", "extLst"};

// The size a chart sheet's chart is drawn at, in EMU (about 24 by 16 cm);
// readers fit it to the page.
constexpr ChartSize kChartSheetSize{8666000, 6293000};

// The prefixes a frame uses for the drawing namespaces, and the declarations
// it needs where the drawing's root does not bind them.
struct Prefixes {
    std::string drawing;  // the spreadsheet drawing elements ("xdr")
    std::string main = "a";
    std::string chart = "c";
    std::string rel = "r";

    std::string operator()(const std::string& prefix, const char* name) const
    {
        return prefix.empty() ? std::string(name) : prefix + ":" + name;
    }
};

// The prefix `root` binds to `uri`, else `preferred` (declared on `holder`
// when the root leaves it free or binds it to something else).
std::string prefixFor(pugi::xml_node root, pugi::xml_node holder, const char* uri, const std::string& preferred)
{
    for (auto attribute = root.first_attribute(); attribute; attribute = attribute.next_attribute()) {
        const std::string_view name = attribute.name();
        if (name.starts_with("xmlns:") && std::string_view(attribute.value()) == uri)
            return std::string(name.substr(6));
    }
    holder.append_attribute(("xmlns:" + preferred).c_str()) = uri;
    return preferred;
}

long highestShapeId(pugi::xml_node node)
{
    long highest = 1;
    for (auto child = node.first_child(); child; child = child.next_sibling()) {
        if (child.type() != pugi::node_element)
            continue;
        if (xml::localName(child) == "cNvPr") {
            const std::string_view text = child.attribute("id").value();
            long id = 0;
            std::from_chars(text.data(), text.data() + text.size(), id);
            highest = std::max(highest, id);
        }
        highest = std::max(highest, highestShapeId(child));
    }
    return highest;
}

pugi::xml_node addCell(pugi::xml_node anchor, const Prefixes& p, const char* corner, CellRef cell)
{
    auto node = anchor.append_child(p(p.drawing, corner).c_str());
    node.append_child(p(p.drawing, "col").c_str()).text() = std::to_string(cell.column - 1).c_str();
    node.append_child(p(p.drawing, "colOff").c_str()).text() = "0";
    node.append_child(p(p.drawing, "row").c_str()).text() = std::to_string(cell.row - 1).c_str();
    node.append_child(p(p.drawing, "rowOff").c_str()).text() = "0";
    return node;
}

pugi::xml_node addExtent(pugi::xml_node parent, const std::string& element, ChartSize size)
{
    auto extent = parent.append_child(element.c_str());
    extent.append_attribute("cx") = std::to_string(size.width).c_str();
    extent.append_attribute("cy") = std::to_string(size.height).c_str();
    return extent;
}

// The graphic frame holding the chart, and the client data every anchor ends with.
void addFrame(pugi::xml_node anchor, const Prefixes& p, long id, const std::string& name, const std::string& rid,
              ChartSize size)
{
    auto frame = anchor.append_child(p(p.drawing, "graphicFrame").c_str());
    frame.append_attribute("macro") = "";
    auto properties = frame.append_child(p(p.drawing, "nvGraphicFramePr").c_str());
    auto shape = properties.append_child(p(p.drawing, "cNvPr").c_str());
    shape.append_attribute("id") = std::to_string(id).c_str();
    shape.append_attribute("name") = name.c_str();
    properties.append_child(p(p.drawing, "cNvGraphicFramePr").c_str());
    auto transform = frame.append_child(p(p.drawing, "xfrm").c_str());
    auto offset = transform.append_child(p(p.main, "off").c_str());
    offset.append_attribute("x") = "0";
    offset.append_attribute("y") = "0";
    addExtent(transform, p(p.main, "ext"), size);
    auto data = frame.append_child(p(p.main, "graphic").c_str()).append_child(p(p.main, "graphicData").c_str());
    data.append_attribute("uri") = kChartNamespace;
    auto chart = data.append_child(p(p.chart, "chart").c_str());
    chart.append_attribute(p(p.rel, "id").c_str()) = rid.c_str();
    anchor.append_child(p(p.drawing, "clientData").c_str());
}

Prefixes prefixesFor(pugi::xml_node root, pugi::xml_node anchor)
{
    Prefixes p;
    const std::string_view rootName = root.name();
    const size_t colon = rootName.find(':');
    p.drawing = colon == std::string_view::npos ? std::string() : std::string(rootName.substr(0, colon));
    p.main = prefixFor(root, anchor, kDrawingMainNamespace, p.drawing == "a" ? "a1" : "a");
    p.chart = prefixFor(root, anchor, kChartNamespace, p.drawing == "c" ? "c1" : "c");
    p.rel = prefixFor(root, anchor, kRelationshipsNamespace, p.drawing == "r" ? "r1" : "r");
    return p;
}

}  // namespace

std::string emptyDrawingPart()
{
    pugi::xml_document document;
    auto root = document.append_child("xdr:wsDr");
    root.append_attribute("xmlns:xdr") = kSpreadsheetDrawingNamespace;
    root.append_attribute("xmlns:a") = kDrawingMainNamespace;
    return xml::serialize(document);
}

void addChartFrame(pugi::xml_node drawing, const ChartFrame& frame)
{
    const long id = highestShapeId(drawing) + 1;
    auto anchor = drawing.append_child(xml::qualified(drawing, "oneCellAnchor").c_str());
    const Prefixes p = prefixesFor(drawing, anchor);
    addCell(anchor, p, "from", frame.from);
    addExtent(anchor, p(p.drawing, "ext"), frame.size);
    addFrame(anchor, p, id, frame.name, frame.relationshipId, frame.size);
}

std::string chartSheetDrawingPart(const std::string& relationshipId)
{
    const auto document = xml::parse(emptyDrawingPart(), "", "");
    auto root = xml::root(*document);
    auto anchor = root.append_child("xdr:absoluteAnchor");
    const Prefixes p = prefixesFor(root, anchor);
    auto position = anchor.append_child("xdr:pos");
    position.append_attribute("x") = "0";
    position.append_attribute("y") = "0";
    addExtent(anchor, "xdr:ext", kChartSheetSize);
    addFrame(anchor, p, 2, "Chart 1", relationshipId, kChartSheetSize);
    return xml::serialize(*document);
}

void addDrawingElement(pugi::xml_node sheet, const std::string& relationshipId)
{
    const bool chartsheet = xml::localName(sheet) == "chartsheet";
    auto element = xml::insertChild(sheet, "drawing", chartsheet ? kChartsheetOrder : kWorksheetOrder);
    element.append_attribute(xml::relationshipAttributeName(element, "id").c_str()) = relationshipId.c_str();
}

}  // namespace sheet
