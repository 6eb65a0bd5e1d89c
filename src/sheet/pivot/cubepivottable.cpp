#include "sheet/pivot/cubepivottable.h"

#include "sheet/xlsx/cellstore.h"
#include "sheet/failures.h"
#include "sheet/host/hostworksheet.h"
#include "sheet/pivot/pivotgrid.h"
#include "platform/core/failure.h"

#include <algorithm>

namespace sheet::pivot {

CubePivotTable::CubePivotTable(std::weak_ptr<HostWorksheet> sheet, std::string name, CellRef topLeft, OpenCube cube)
    : mSheet(std::move(sheet)),
      mName(std::move(name)),
      mTopLeft(topLeft),
      mCube(std::move(cube)),
      mDesign(mCube.info()),
      mArea{topLeft, topLeft}
{
}

void CubePivotTable::RowGrand(bool on)
{
    mDesign.rowGrand = on;
    changed();
}

void CubePivotTable::ColumnGrand(bool on)
{
    mDesign.columnGrand = on;
    changed();
}

void CubePivotTable::ManualUpdate(bool on)
{
    mManualUpdate = on;
    if (!on)
        update();
}

void CubePivotTable::Format(int32_t format)
{
    if (format != kTableFormat13 && format != kTableFormatShaded)
        failApplication("Pivot table '" + mName + "': the host has no table autoformat " + std::to_string(format));
    mDesign.autoformat = format;
    changed();
}

std::shared_ptr<sheet::CubeFields> CubePivotTable::CubeFields()
{
    if (!mCubeFields)
        mCubeFields = makeCubeFields(weak_from_this());
    return mCubeFields;
}

std::shared_ptr<sheet::PivotFields> CubePivotTable::PivotFields()
{
    if (!mPivotFields)
        mPivotFields = makePivotFields(weak_from_this(), false);
    return mPivotFields;
}

std::shared_ptr<sheet::PivotFields> CubePivotTable::DataFields()
{
    if (!mDataFields)
        mDataFields = makePivotFields(weak_from_this(), true);
    return mDataFields;
}

std::shared_ptr<Worksheet> CubePivotTable::Parent()
{
    auto sheet = mSheet.lock();
    if (!sheet)
        failObjectNotSet("the sheet of pivot table '" + mName + "' was closed");
    return sheet;
}

void CubePivotTable::update()
{
    if (mStale && !mManualUpdate)
        draw();
}

std::optional<ChartData> CubePivotTable::chartData()
{
    update();
    return mChart;
}

PivotGrid CubePivotTable::grid(const GridLimits& limits)
{
    if (mDesign.empty())
        return {};
    olap::QueryResult result;
    try {
        result = mCube.query(buildQuery(mDesign));
    } catch (const platform::Failure& failure) {
        failApplication("Pivot table '" + mName + "' cannot be computed: " + failure.description());
    }
    return layoutGrid(mDesign, result, limits);
}

std::optional<DrawnRows> CubePivotTable::firstRows(int32_t rows)
{
    PivotGrid laidOut = grid({rows, false});
    DrawnRows drawn{std::max(laidOut.rows, 1), std::max(laidOut.columns, 1), {}};
    drawn.cells.reserve(laidOut.cells.size());
    for (GridCell& cell : laidOut.cells) {
        if (cell.row < rows)
            drawn.cells.push_back({cell.row, cell.column, std::move(cell.value), std::move(cell.format)});
    }
    return drawn;
}

void CubePivotTable::draw()
{
    auto sheet = mSheet.lock();
    if (!sheet)
        failObjectNotSet("the sheet of pivot table '" + mName + "' was closed");
    PivotGrid grid = this->grid();
    const Area area{mTopLeft, {mTopLeft.row + std::max(grid.rows, 1) - 1, mTopLeft.column + std::max(grid.columns, 1) - 1}};
    if (area.last.row > kMaxRow || area.last.column > kMaxColumn)
        failApplication("Pivot table '" + mName + "' does not fit on the sheet below and right of "
                        + cellName(mTopLeft));
    for (const auto& other : sheet->pivotTables()) {
        if (other.get() != this && other->area().intersects(area))
            failPivotTableOverlap(mName, other->Name());
    }
    clearDrawnCells(*sheet);
    CellStore& cells = sheet->cells();
    mDrawnCells.reserve(grid.cells.size());
    for (auto& cell : grid.cells) {
        const CellRef ref{mTopLeft.row + cell.row, mTopLeft.column + cell.column};
        cells.set(ref, std::move(cell.value), std::move(cell.format));
        mDrawnCells.push_back(ref);
    }
    mArea = area;
    mChart = std::move(grid.chart);
    const auto onSheet = [this](CellRef& cell) { cell = {mTopLeft.row + cell.row, mTopLeft.column + cell.column}; };
    std::for_each(mChart.categoryCells.begin(), mChart.categoryCells.end(), onSheet);
    for (auto& series : mChart.series)
        std::for_each(series.cells.begin(), series.cells.end(), onSheet);
    mStale = false;
}

// A table drawn again may be smaller, or have blanks where it had values.
void CubePivotTable::clearDrawnCells(HostWorksheet& sheet)
{
    CellStore& cells = sheet.cells();
    for (const CellRef& ref : mDrawnCells) {
        cells.set(ref, CellValue{}, CellFormat{});
    }
    mDrawnCells.clear();
}

}  // namespace sheet::pivot
