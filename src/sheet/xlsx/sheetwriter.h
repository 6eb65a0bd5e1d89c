// Writing the host's cells into a worksheet part: rows and cells the host
// did not write stay exactly as they were, new rows and cells are put in
// order, and the sheet's dimension and column list grow to cover what was
// written. New sheets start from newSheetPart() and go through the same code.
// writeSheetPart merges the rows as text (rowmerge.h) and edits the rest of
// the part as a document; writeCells edits a whole parsed part, for rows the
// text merge leaves to it.
#pragma once

#include "sheet/xlsx/cellstore.h"

#include <pugixml.hpp>

#include <functional>
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

// A worksheet part as written by writeSheetPart.
struct WrittenSheet {
    std::string text;
    WriteOutcome outcome;
};

// The worksheet part `text` (part `part` of the package `file`) with `cells`
// written as writeCells writes them, and with `finish` run on the worksheet
// afterwards for edits outside the rows (it sees an empty sheetData). The
// rows are merged as text where they can be (rowmerge.h): rows and cells not
// written then stay byte for byte as they were. Throws 1004 as writeCells
// does, and naming the part when it is not well formed.
WrittenSheet writeSheetPart(std::string_view text, const CellStore& cells, StyleSheet& styles,
                            std::string_view sheetName, const std::function<void(pugi::xml_node)>& finish,
                            std::string_view file, std::string_view part);

// Marks the sheet's first view as selected (its tab highlighted) or not.
void setTabSelected(pugi::xml_node worksheet, bool selected);

}  // namespace sheet
