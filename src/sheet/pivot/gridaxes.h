// How a report lays out each axis of a query's result: one line per tuple
// (per tuple and measure where the measure names are a level of the axis),
// each with the labels of its slots (a slot per drilled level of every
// field, then one for the measure names). Shared by the grid (pivotgrid.cpp)
// and the chart of the report (gridchart.cpp); private to this folder.
#pragma once

#include "sheet/host/chartdata.h"
#include "sheet/pivot/pivotdesign.h"
#include "olap/query/query.h"

#include <cstdint>
#include <string>
#include <vector>

namespace sheet::pivot {

struct Line {
    size_t tuple = 0;
    int32_t measure = -1;  // index into the query's measures; -1: not on this axis
    bool total = false;   // a subtotal or the grand total
    bool grand = false;   // the grand total
    std::vector<std::string> keys;    // per slot: what the slot shows, for grouping
    std::vector<std::string> labels;  // per slot
};

struct AxisLayout {
    int32_t slots = 0;
    std::vector<int32_t> fieldOffset;  // first slot of each field
    std::vector<int32_t> fieldLevels;  // slots of each field
    bool measureSlot = false;          // the last slot names the measures
    std::vector<Line> lines;
};

// The lines of one axis: `tuples` of the fields `fields` (dimensions), with
// the measure names as the innermost slot when `measuresHere` and there are
// several; a fieldless axis shows `fieldlessLabel`.
AxisLayout axisLayout(const PivotDesign& design, const std::vector<olap::AxisTuple>& tuples,
                      const std::vector<uint32_t>& fields, bool measuresHere, size_t measureCount,
                      const std::string& fieldlessLabel);

// The first slot whose grouping differs from the previous line's; labels
// before it repeat the line above and are left blank.
size_t firstChangedSlot(const Line* previous, const Line& line);

// Which of the query's measures a cell of row line `row` and column line
// `column` shows; -1 when the table shows no measure.
int32_t measureOf(const Line& row, const Line& column, size_t measureCount);

// The non-empty labels of `line`, outermost first, joined with " - ".
std::string joinedLabels(const Line& line);

// The format of measure `measure`'s values: the data field's, else the cube's.
std::string numberFormatOf(const PivotDesign& design, uint32_t measure);

// Where the laid-out report puts its parts, counted from its top-left cell.
struct GridFrame {
    int32_t firstDataRow = 0;  // the row of the first row line
    int32_t left = 0;          // the column of the first column line
};

// The chart of the report: a category per row item (totals left out), a
// series per column item (and per measure, where the measures go down the
// rows), with the cells (counted from the table's top-left, from 0) where
// each label and value is drawn.
ChartData chartOf(const PivotDesign& design, const olap::QueryResult& result, const AxisLayout& rows,
                  const AxisLayout& columns, const GridFrame& frame);

}  // namespace sheet::pivot
