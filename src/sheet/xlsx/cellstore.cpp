#include "sheet/xlsx/cellstore.h"

namespace sheet {

void CellStore::setValue(CellRef cell, CellValue value)
{
    mCells[cell].value = std::move(value);
}

void CellStore::setFormat(CellRef cell, CellFormat format)
{
    mCells[cell].format = std::move(format);
}

void CellStore::set(CellRef cell, CellValue value, CellFormat format)
{
    // Callers that draw a block write it row by row: the hint makes each
    // insertion at the end constant time.
    mCells.insert_or_assign(mCells.end(), cell, CellEntry{std::move(value), std::move(format)});
}

void CellStore::setColumnWidth(int32_t column, double width)
{
    mWidths[column] = width;
}

void CellStore::clear()
{
    mCells.clear();
    mWidths.clear();
}

}  // namespace sheet
