// How one cell the host writes looks in a worksheet part, shared by the two
// ways a part's rows are written (as a document, and merged as text).
#pragma once

#include "sheet/xlsx/a1address.h"
#include "sheet/xlsx/cellstore.h"

#include <pugixml.hpp>

#include <string>
#include <string_view>
#include <vector>

namespace sheet {

class StyleSheet;

// The shortest text that reads back as `number`.
std::string numberText(double number);

// `text` without the characters XML 1.0 cannot carry.
std::string xmlSafe(const std::string& text);

// Replaces the content of `cell` with `entry`. The cell's other attributes
// and its extension list stay.
void fillCell(pugi::xml_node cell, const CellEntry& entry, StyleSheet& styles);

// An entry that clears a cell to nothing: a cell the part does not hold is
// that already, so none is made for it.
bool clears(const CellEntry& entry);

// Refuses to write a cell that holds a formula other cells share or lies in a
// multi-cell array formula, and notes when a written cell held a formula.
struct FormulaGuard {
    std::vector<Area> arrays;  // multi-cell array formulas of the sheet
    std::string_view sheetName;
    bool replacedFormula = false;

    // `cell` is the cell element the part holds at `at`, empty when none.
    void check(pugi::xml_node cell, CellRef at);
};

}  // namespace sheet
