// The chart part of a chart the host draws: a clustered column chart of a
// pivot table's visible values. The values are written into the part itself
// as literal caches, so the chart needs no cells of its own and stays right
// wherever its table is drawn.
#pragma once

#include "sheet/host/chartdata.h"

#include <string>

namespace sheet {

inline constexpr const char* kChartNamespace = "http://schemas.openxmlformats.org/drawingml/2006/chart";
inline constexpr const char* kDrawingMainNamespace = "http://schemas.openxmlformats.org/drawingml/2006/main";
inline constexpr const char* kContentTypeChart = "application/vnd.openxmlformats-officedocument.drawingml.chart+xml";
inline constexpr const char* kRelChart = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/chart";

// The chart part (a c:chartSpace) showing `data`: the categories along the
// horizontal axis, one series of columns per data series (each with its own
// fill colour), a legend on the right, and `data.title` above. Data without
// categories and series gives an empty chart with no title, which readers
// still show as a frame with axes.
std::string chartPart(const ChartData& data);

}  // namespace sheet
