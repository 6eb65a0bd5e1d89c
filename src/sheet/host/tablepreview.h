// The first rows of a pivot table as the host draws them on its sheet, for a
// preview: the same cells (values and looks) drawing the table writes, laid
// out by the same code but not written, and the column widths AutoFit gives
// the rows shown.
#pragma once

#include "sheet/pivottable.h"
#include "sheet/xlsx/cellstore.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace sheet {

struct PreviewCell {
    int32_t row = 0;  // from 0, relative to the table's top-left cell
    int32_t column = 0;
    CellValue value;
    CellFormat format;
    std::string text;  // as the cell shows it under its number format
};

struct TablePreview {
    int32_t rows = 0;  // the whole table's size
    int32_t columns = 0;
    int32_t shownRows = 0;           // the rows `cells` covers: min(rows, the rows asked for)
    std::vector<PreviewCell> cells;  // in row, then column order; others in the rectangle are empty
    std::map<int32_t, double> widths;  // by column from 0, in characters, for the columns holding text
};

// The first `rows` rows of `table` as drawing it now would write them; the
// sheet is left as it is. Throws 1004 for a table the host does not draw
// (one read from a file) and what drawing throws.
TablePreview previewTable(PivotTable& table, int32_t rows);

}  // namespace sheet
