// The cells the host writes into one sheet (values, formats) and the widths
// it gives columns. The store holds only the host's own writes; the sheet's
// part in the file holds the rest, and saving merges the two (sheetwriter.h).
#pragma once

#include "sheet/xlsx/a1address.h"

#include <compare>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <variant>

namespace sheet {

// A cell's value: empty, a number, a text or a Boolean.
using CellValue = std::variant<std::monostate, double, std::string, bool>;

// A colour as 0xRRGGBB, or none (the reader's default).
inline constexpr uint32_t kNoColour = 0xFFFFFFFF;

// How a cell looks. The workbook's style sheet turns each distinct format
// into one cell style when the workbook is saved (stylesheet.h).
struct CellFormat {
    bool bold = false;
    bool border = false;             // a thin line on all four sides
    std::string numberFormat;        // "" for the default ("General"), else a format code such as "0.00"
    uint32_t fill = kNoColour;       // a solid background
    uint32_t fontColour = kNoColour;
    bool heavyTop = false;           // a medium line on top (instead of the thin one)
    auto operator<=>(const CellFormat&) const = default;
};

struct CellEntry {
    CellValue value;
    std::optional<CellFormat> format;  // nullopt: keep the format the cell has in the file
};

class CellStore {
public:
    // Sets the value of `cell`, keeping any format set before.
    void setValue(CellRef cell, CellValue value);
    // Sets the format of `cell`, keeping any value set before (a cell never
    // given a value is written empty, with the format).
    void setFormat(CellRef cell, CellFormat format);
    // Sets both value and format of `cell`; cheapest when cells are set in
    // row, then column order.
    void set(CellRef cell, CellValue value, CellFormat format);
    // Sets the width of `column` in characters of the default font's digits.
    void setColumnWidth(int32_t column, double width);

    // The cells in row, then column order.
    const std::map<CellRef, CellEntry>& cells() const { return mCells; }
    const std::map<int32_t, double>& columnWidths() const { return mWidths; }
    // The smallest area holding every cell set; nullopt when none is.
    const std::optional<Area>& area() const { return mArea; }
    bool empty() const { return mCells.empty() && mWidths.empty(); }
    void clear();

private:
    void cover(CellRef cell);

    std::map<CellRef, CellEntry> mCells;
    std::optional<Area> mArea;  // kept as cells are set: a quarter of a million is slow to walk
    std::map<int32_t, double> mWidths;
};

}  // namespace sheet
