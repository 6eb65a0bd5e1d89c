// A pivot table's query, and its result laid out as the cells of a report:
//
//   Store    (All)                  one row per page field, then a blank row
//
//   Sales Amount    Time            the data caption, the column fields
//                   2022    2022 Total  2023 ...   column items, a row per level
//   Category Product                    the row fields' level names
//   Bikes    Road   1,234.00 ...        row items, a column per level
//   Bikes Total     ...                 subtotals of drilled and outer members
//   Grand Total     ...
//
// Each drilled level has its own column (rows) or header row (columns); an
// outer label is written once, on the first line of its group. Several data
// fields add an innermost level of measure names on the values axis. How the
// cells look under the table's autoformat is gridstyle.h's rule. The same
// layout serves the sheet, the chart of the table and the wizard's preview.
#pragma once

#include "sheet/xlsx/cellstore.h"
#include "sheet/host/chartdata.h"
#include "sheet/pivot/pivotdesign.h"
#include "olap/query/query.h"

#include <cstdint>
#include <limits>
#include <vector>

namespace sheet::pivot {

struct GridCell {
    int32_t row = 0;     // from 0, relative to the table's top-left cell
    int32_t column = 0;
    CellValue value;
    CellFormat format;
};

struct PivotGrid {
    int32_t rows = 0;     // the whole report's size, whatever the limits
    int32_t columns = 0;
    std::vector<GridCell> cells;  // the cells to write, in row order; others in the rectangle stay empty
    ChartData chart;              // cells counted from the table's top-left, from 0
};

// What to lay out: the cells of the first `rows` rows only, and the chart or not.
struct GridLimits {
    int32_t rows = std::numeric_limits<int32_t>::max();
    bool chart = true;
};

// The query that computes what `design` shows.
olap::PivotQuery buildQuery(const PivotDesign& design);

// `result` (of buildQuery(design)) laid out as above.
PivotGrid layoutGrid(const PivotDesign& design, const olap::QueryResult& result, const GridLimits& limits = {});

}  // namespace sheet::pivot
