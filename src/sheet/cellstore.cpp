#include "cellstore.h"

namespace sheet {

void CellStore::setValue(CellRef cell, CellValue value)
{
    mCells[cell].value = std::move(value);
}

void CellStore::setFormat(CellRef cell, CellFormat format)
{
    mCells[cell].format = std::move(format);
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
