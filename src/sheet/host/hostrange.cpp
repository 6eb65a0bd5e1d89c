#include "sheet/host/hostrange.h"

#include "sheet/host/hostworksheet.h"

namespace sheet {

namespace {

bool inside(CellRef cell)
{
    return cell.row >= 1 && cell.row <= kMaxRow && cell.column >= 1 && cell.column <= kMaxColumn;
}

}  // namespace

HostRange::HostRange(std::shared_ptr<HostWorksheet> worksheet, Area area)
    : mWorksheet(std::move(worksheet)), mArea(area)
{
}

void HostRange::Select()
{
    mWorksheet->Activate();
    mWorksheet->select(mArea);
}

std::shared_ptr<Range> HostRange::Offset(int32_t rowOffset, int32_t columnOffset)
{
    mWorksheet->workbook();
    Area moved = mArea;
    moved.first = {mArea.first.row + rowOffset, mArea.first.column + columnOffset};
    moved.last = {mArea.last.row + rowOffset, mArea.last.column + columnOffset};
    if (!inside(moved.first) || !inside(moved.last)) {
        failApplication("Offset(" + std::to_string(rowOffset) + ", " + std::to_string(columnOffset) + ") of "
                        + absoluteAddress(mArea) + " would leave the sheet");
    }
    return std::make_shared<HostRange>(mWorksheet, moved);
}

void HostRange::AutoFit()
{
    mWorksheet->workbook();
    if (mArea.kind != Area::Kind::Columns)
        failApplication("AutoFit needs whole columns, and " + absoluteAddress(mArea) + " is not");
    mWorksheet->autoFit(mArea.first.column, mArea.last.column);
}

std::string HostRange::Address()
{
    return absoluteAddress(mArea);
}

int32_t HostRange::Row()
{
    return mArea.first.row;
}

int32_t HostRange::Column()
{
    return mArea.first.column;
}

std::shared_ptr<Worksheet> HostRange::Parent()
{
    mWorksheet->workbook();
    return mWorksheet;
}

}  // namespace sheet
