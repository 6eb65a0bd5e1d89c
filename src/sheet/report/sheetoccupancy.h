// Which cells of a worksheet are there, within a rectangle: those its part
// holds and those the host wrote since opening. A report checks them before
// it grows, and clears the ones it covered and covers no longer.
#pragma once

#include "sheet/xlsx/a1address.h"

#include <functional>
#include <utility>
#include <vector>

namespace sheet {

class WorkbookDocument;
struct SheetModel;

namespace report {

struct SheetOccupancy {
    // Each cell of the rectangle that is there (and not ignored), in row then
    // column order, with whether it holds content (a value or a formula)
    // rather than only a format.
    std::vector<std::pair<CellRef, bool>> cells;
};

// The cells of `sheet` within `box`, leaving out those `ignored` says to
// (cells the caller will write over anyway; none when it is empty). Throws
// 1004 naming the workbook and part for a sheet part that is missing.
SheetOccupancy occupiedCells(WorkbookDocument& document, SheetModel& sheet, const Area& box,
                             const std::function<bool(CellRef)>& ignored = {});

}  // namespace report
}  // namespace sheet
