// A1-style cell addresses: columns as letters ("A" .. "XFD"), rows from 1.
// Parsing accepts what users and the wizard type ("C5", "$C$5", "a1:b2",
// "A:C", "1:4"); formatting writes the host's absolute form ("$C$5").
#pragma once

#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace sheet {

inline constexpr int32_t kMaxRow = 1048576;
inline constexpr int32_t kMaxColumn = 16384;

// One cell, 1-based. Ordered row by row, as cells are stored in a sheet part.
struct CellRef {
    int32_t row = 1;
    int32_t column = 1;
    auto operator<=>(const CellRef&) const = default;
};

// A rectangle of cells with `first` top-left and `last` bottom-right. Whole
// columns span every row and whole rows every column; `kind` remembers which
// the address said, for formatting.
struct Area {
    enum class Kind { Cells, Columns, Rows };
    CellRef first;
    CellRef last;
    Kind kind = Kind::Cells;

    bool contains(CellRef cell) const;
    bool intersects(const Area& other) const;
    bool operator==(const Area&) const = default;
};

// "A" -> 1, "XFD" -> 16384; nullopt for anything else (case-insensitive).
std::optional<int32_t> columnNumber(std::string_view letters);
// 1 -> "A". Requires: 1 <= column <= kMaxColumn.
std::string columnName(int32_t column);

// "C5" (no dollars), as cell references in sheet parts are written.
std::string cellName(CellRef cell);
// A cell reference as sheet parts write it ("C5"); nullopt for anything else.
std::optional<CellRef> parseCellName(std::string_view text);

// Any address the grammar above accepts; nullopt for any other text,
// including addresses outside the sheet and reversed corners ("B2:A1" is
// accepted and normalised, as the host does).
std::optional<Area> parseAddress(std::string_view text);
// "$C$5", "$A$1:$B$2", "$A:$C", "$1:$4".
std::string absoluteAddress(const Area& area);
// "C5" or "A1:B2" without dollars, as a sheet's dimension element wants it.
std::string plainAddress(const Area& area);

}  // namespace sheet
