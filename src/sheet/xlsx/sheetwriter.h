// Writing the host's cells into a worksheet part. The part is edited as a
// document: rows and cells the host did not write stay exactly as they were,
// new rows and cells are put in order, and the sheet's dimension and column
// list grow to cover what was written. New sheets start from newSheetPart()
// and go through the same code.
#pragma once

#include "sheet/xlsx/cellstore.h"

#include <pugixml.hpp>

#include <initializer_list>
#include <string>
#include <string_view>

namespace sheet {

class StyleSheet;

// The worksheet's child elements in schema order, for placing new ones.
extern const std::initializer_list<std::string_view> kWorksheetOrder;

// The part of a new, empty worksheet.
std::string newSheetPart();

// What writing changed beyond the cells themselves.
struct WriteOutcome {
    bool replacedFormula = false;  // a written cell held a formula before
};

// Writes `cells` (values, formats through `styles`) and their column widths
// into the worksheet whose root element is `worksheet`. Throws 1004 naming
// the cell when a written cell holds a formula that other cells share, or
// lies in a multi-cell array formula: the host cannot take those apart.
// `sheetName` is for such descriptions.
WriteOutcome writeCells(pugi::xml_node worksheet, const CellStore& cells, StyleSheet& styles,
                        std::string_view sheetName);

// Marks the sheet's first view as selected (its tab highlighted) or not.
void setTabSelected(pugi::xml_node worksheet, bool selected);

}  // namespace sheet
