// How the cells of a report look under the table's autoformat. Without one a
// report is plain text and numbers. Autoformat 13 makes headings, page field
// names and the labels of totals bold and gives every cell of the body a
// thin border. Autoformat 14 ("shaded") does the same and sets the headings white
// on a dark band, shades the subtotals, and sets the grand totals bold on a
// darker shade under a heavier line.
#pragma once

#include "sheet/xlsx/cellstore.h"

#include <cstdint>

namespace sheet::pivot {

// What a cell of the report is.
enum class CellRole : uint8_t {
    PageName,    // a page field's name
    PageItem,    // "(All)"
    Heading,     // the data caption, the column fields' names, column items, level names
    Item,        // a row item's label
    Value,       // a value of member rows and columns
    SubtotalLabel,
    SubtotalValue,     // in a subtotal's row or column
    GrandTotalLabel,
    GrandTotalValue,   // in a grand total's row or column
};

// The look of a cell of `role` under `autoformat` (0: none); the number
// format is left empty for the caller.
CellFormat cellStyle(CellRole role, int32_t autoformat);

}  // namespace sheet::pivot
