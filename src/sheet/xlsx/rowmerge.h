// Merging the host's cells into a worksheet's rows as text. A report
// refreshed in place rewrites a quarter of a million cells of a sheet that
// holds them already; parsing the old rows into a document and editing it
// cell by cell cost as much again as drawing the report. Here the old rows are
// only scanned: rows and cells the host does not write are copied byte for
// byte, and the cells it writes are put out straight from the cell store.
#pragma once

#include "sheet/xlsx/cellstore.h"
#include "sheet/xlsx/cellwriting.h"

#include <optional>
#include <string>
#include <string_view>

namespace sheet {

class StyleSheet;

struct MergedRows {
    std::string text;      // the new content of sheetData
    bool hadRows = false;  // the old content held a row
};

// Merges `cells` into `rows`, the content of a sheetData element whose rows
// and cells are named with `prefix` ("x:" or empty). The result is what
// writing the cells into the parsed rows gives. Returns nullopt when the
// rows hold what only the document form takes apart (`styles` may then have
// been given formats the document form gives it anyway): rows or cells without their index or out of order, array formulas,
// comments, CDATA, processing instructions, or anything not well formed.
// Throws what `guard` throws for a cell holding a shared formula.
std::optional<MergedRows> mergeRows(std::string_view rows, std::string_view prefix, const CellStore& cells,
                                    StyleSheet& styles, FormulaGuard& guard);

}  // namespace sheet
