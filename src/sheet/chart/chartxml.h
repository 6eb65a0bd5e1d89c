// The chart part of a chart the host draws: a clustered column chart of a
// pivot table's visible values. Every series refers to the cells of the
// table that show its values and categories, and carries what they showed
// when the chart was written (a cache), as spreadsheet programs write
// series: a reader that recomputes follows the cells, one that does not
// shows the cache.
#pragma once

#include "sheet/host/chartdata.h"

#include <cstdint>
#include <string>
#include <vector>

namespace sheet {

inline constexpr const char* kChartNamespace = "http://schemas.openxmlformats.org/drawingml/2006/chart";
inline constexpr const char* kDrawingMainNamespace = "http://schemas.openxmlformats.org/drawingml/2006/main";
inline constexpr const char* kContentTypeChart = "application/vnd.openxmlformats-officedocument.drawingml.chart+xml";
inline constexpr const char* kRelChart = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/chart";

// The chart part (a c:chartSpace) showing `data`: the categories along the
// horizontal axis, one series per data series with its own colour, a legend
// on the right, and `data.title` above. Series of measures on the secondary
// axis (secondaryMeasures) are lines with markers over a second value axis
// on the right, each value axis titled with its measures' names. Data
// without categories and series gives an empty chart with no title, which
// readers still show as a frame with axes.
std::string chartPart(const ChartData& data);

// Per measure of `data`: whether it goes on the secondary axis, so that a
// measure of much smaller values stays readable beside a large one. That is
// every measure whose largest value (by size) is under a quarter of the
// largest measure's; none when all fit one axis.
std::vector<bool> secondaryMeasures(const ChartData& data);

// The colour (0xRRGGBB) of series `index`: twelve colours that differ
// clearly from one another, then the same twelve darker, and so on.
uint32_t seriesColour(size_t index);

// The reference to `cells` of `sheet`, each run of cells next to each other
// down a column or along a row as one range: "'Sales'!$C$5:$C$7", or a
// union "('Sales'!$C$5:$C$7,'Sales'!$B$9)". Empty for no cells.
std::string cellsFormula(const std::string& sheet, const std::vector<CellRef>& cells);

}  // namespace sheet
