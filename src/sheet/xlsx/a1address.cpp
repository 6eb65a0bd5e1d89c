#include "sheet/xlsx/a1address.h"

#include <algorithm>
#include <cctype>

namespace sheet {

namespace {

struct Part {
    std::optional<int32_t> column;
    std::optional<int32_t> row;
};

bool isLetter(char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; }
bool isDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

std::optional<int32_t> rowNumber(std::string_view digits)
{
    if (digits.empty() || digits.size() > 7 || digits.front() == '0')
        return std::nullopt;
    int32_t row = 0;
    for (char c : digits) {
        if (!isDigit(c))
            return std::nullopt;
        row = row * 10 + (c - '0');
    }
    if (row > kMaxRow)
        return std::nullopt;
    return row;
}

// One side of an address: "$C$5", "C5", "C", "$5". Each component may carry
// a dollar sign; at least one component must be there.
std::optional<Part> parsePart(std::string_view text)
{
    Part part;
    size_t i = 0;
    if (i < text.size() && text[i] == '$')
        ++i;
    size_t start = i;
    while (i < text.size() && isLetter(text[i]))
        ++i;
    if (i > start) {
        part.column = columnNumber(text.substr(start, i - start));
        if (!part.column)
            return std::nullopt;
        if (i < text.size() && text[i] == '$')
            ++i;
    }
    if (i < text.size()) {
        part.row = rowNumber(text.substr(i));
        if (!part.row)
            return std::nullopt;
    }
    if (!part.column && !part.row)
        return std::nullopt;
    return part;
}

std::optional<Area> combine(const Part& a, const Part& b)
{
    Area area;
    if (a.column && a.row && b.column && b.row) {
        area.first = {std::min(*a.row, *b.row), std::min(*a.column, *b.column)};
        area.last = {std::max(*a.row, *b.row), std::max(*a.column, *b.column)};
        return area;
    }
    if (a.column && !a.row && b.column && !b.row) {
        area.kind = Area::Kind::Columns;
        area.first = {1, std::min(*a.column, *b.column)};
        area.last = {kMaxRow, std::max(*a.column, *b.column)};
        return area;
    }
    if (!a.column && a.row && !b.column && b.row) {
        area.kind = Area::Kind::Rows;
        area.first = {std::min(*a.row, *b.row), 1};
        area.last = {std::max(*a.row, *b.row), kMaxColumn};
        return area;
    }
    return std::nullopt;
}

std::string absolutePart(const Area& area, CellRef cell)
{
    switch (area.kind) {
    case Area::Kind::Columns: return "$" + columnName(cell.column);
    case Area::Kind::Rows: return "$" + std::to_string(cell.row);
    case Area::Kind::Cells: break;
    }
    return "$" + columnName(cell.column) + "$" + std::to_string(cell.row);
}

}  // namespace

bool Area::contains(CellRef cell) const
{
    return cell.row >= first.row && cell.row <= last.row && cell.column >= first.column
           && cell.column <= last.column;
}

bool Area::intersects(const Area& other) const
{
    return first.row <= other.last.row && other.first.row <= last.row && first.column <= other.last.column
           && other.first.column <= last.column;
}

std::optional<int32_t> columnNumber(std::string_view letters)
{
    if (letters.empty() || letters.size() > 3)
        return std::nullopt;
    int32_t column = 0;
    for (char c : letters) {
        if (!isLetter(c))
            return std::nullopt;
        column = column * 26 + (std::toupper(static_cast<unsigned char>(c)) - 'A' + 1);
    }
    if (column > kMaxColumn)
        return std::nullopt;
    return column;
}

std::string columnName(int32_t column)
{
    std::string name;
    while (column > 0) {
        const int32_t digit = (column - 1) % 26;
        name.insert(name.begin(), static_cast<char>('A' + digit));
        column = (column - 1) / 26;
    }
    return name;
}

std::string cellName(CellRef cell)
{
    return columnName(cell.column) + std::to_string(cell.row);
}

std::optional<CellRef> parseCellName(std::string_view text)
{
    size_t i = 0;
    while (i < text.size() && isLetter(text[i]))
        ++i;
    const auto column = columnNumber(text.substr(0, i));
    const auto row = rowNumber(text.substr(i));
    if (!column || !row)
        return std::nullopt;
    return CellRef{*row, *column};
}

std::optional<Area> parseAddress(std::string_view text)
{
    const size_t colon = text.find(':');
    const auto a = parsePart(text.substr(0, colon));
    if (!a)
        return std::nullopt;
    if (colon == std::string_view::npos) {
        if (!a->column || !a->row)
            return std::nullopt;
        const CellRef cell{*a->row, *a->column};
        return Area{cell, cell, Area::Kind::Cells};
    }
    const auto b = parsePart(text.substr(colon + 1));
    if (!b)
        return std::nullopt;
    return combine(*a, *b);
}

std::string absoluteAddress(const Area& area)
{
    std::string text = absolutePart(area, area.first);
    if (area.kind != Area::Kind::Cells || area.first != area.last)
        text += ":" + absolutePart(area, area.last);
    return text;
}

std::string plainAddress(const Area& area)
{
    std::string text = cellName(area.first);
    if (area.first != area.last)
        text += ":" + cellName(area.last);
    return text;
}

}  // namespace sheet
