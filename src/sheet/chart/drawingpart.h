// Drawing parts: where a sheet's charts sit. A worksheet's drawing anchors
// each chart's top-left corner to a cell and gives its size (a one-cell
// anchor per chart); a chart sheet's drawing
// holds its one chart over the whole sheet. A sheet shows its drawing through
// a <drawing r:id> element that names the sheet's relationship to it.
#pragma once

#include "sheet/chart/chartsize.h"
#include "sheet/xlsx/a1address.h"

#include <pugixml.hpp>

#include <string>

namespace sheet {

inline constexpr const char* kContentTypeDrawing = "application/vnd.openxmlformats-officedocument.drawing+xml";
inline constexpr const char* kRelDrawing = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/drawing";

// A chart placed on a worksheet: the cell (1-based) its top-left corner
// sits on, its size, its name and the id of the drawing's relationship to
// its chart part.
struct ChartFrame {
    CellRef from;
    ChartSize size;              // the chart keeps it whatever the widths of the columns below it
    std::string name;            // "Chart 1"
    std::string relationshipId;  // "rId1"
};

// A worksheet drawing part with nothing in it.
std::string emptyDrawingPart();

// Appends `frame` as a one-cell anchor to the drawing whose root element is
// `drawing` (a wsDr). Anything already in the drawing stays; the prefixes the
// drawing binds are used or the anchor declares its own, and the frame's
// shape id is one above every shape id in the drawing.
void addChartFrame(pugi::xml_node drawing, const ChartFrame& frame);

// The drawing part of a chart sheet: the chart of relationship
// `relationshipId` filling the sheet.
std::string chartSheetDrawingPart(const std::string& relationshipId);

// Adds <drawing r:id="`relationshipId`"/> to the worksheet or chart sheet
// whose root element is `sheet`, at its place in the schema's element order.
void addDrawingElement(pugi::xml_node sheet, const std::string& relationshipId);

}  // namespace sheet
