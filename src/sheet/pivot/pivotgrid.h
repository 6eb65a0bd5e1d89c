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
// fields add an innermost level of measure names on the values axis. With
// the table autoformat, headings and totals are bold and every cell of the
// body has a thin border.
#pragma once

#include "sheet/xlsx/cellstore.h"
#include "sheet/host/chartdata.h"
#include "sheet/pivot/pivotdesign.h"
#include "olap/query/query.h"

#include <cstdint>
#include <vector>

namespace sheet::pivot {

struct GridCell {
    int32_t row = 0;     // from 0, relative to the table's top-left cell
    int32_t column = 0;
    CellValue value;
    CellFormat format;
};

struct PivotGrid {
    int32_t rows = 0;
    int32_t columns = 0;
    std::vector<GridCell> cells;  // the cells to write; others in the rectangle stay empty
    ChartData chart;
};

// The query that computes what `design` shows.
olap::PivotQuery buildQuery(const PivotDesign& design);

// `result` (of buildQuery(design)) laid out as above.
PivotGrid layoutGrid(const PivotDesign& design, const olap::QueryResult& result);

}  // namespace sheet::pivot
