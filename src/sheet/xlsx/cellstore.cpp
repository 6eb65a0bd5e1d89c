#include "sheet/xlsx/cellstore.h"

#include <algorithm>

namespace sheet {

void CellStore::setValue(CellRef cell, CellValue value)
{
    mCells[cell].value = std::move(value);
    cover(cell);
}

void CellStore::setFormat(CellRef cell, CellFormat format)
{
    mCells[cell].format = std::move(format);
    cover(cell);
}

void CellStore::set(CellRef cell, CellValue value, CellFormat format)
{
    // Callers that draw a block write it row by row: the hint makes each
    // insertion at the end constant time.
    mCells.insert_or_assign(mCells.end(), cell, CellEntry{std::move(value), std::move(format)});
    cover(cell);
}

void CellStore::cover(CellRef cell)
{
    if (!mArea) {
        mArea = Area{cell, cell, Area::Kind::Cells};
        return;
    }
    mArea->first = {std::min(mArea->first.row, cell.row), std::min(mArea->first.column, cell.column)};
    mArea->last = {std::max(mArea->last.row, cell.row), std::max(mArea->last.column, cell.column)};
}

void CellStore::setColumnWidth(int32_t column, double width)
{
    mWidths[column] = width;
}

void CellStore::clear()
{
    mCells.clear();
    mWidths.clear();
    mArea.reset();
}

}  // namespace sheet
