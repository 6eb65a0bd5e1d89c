// Building a report from a definition into a workbook, through the host's
// own object model in the order the wizard's build uses, so that the same
// choices give the same cells.
#pragma once

#include "sheet/report/reportdefinition.h"

#include <memory>

namespace sheet {

class HostWorkbook;

namespace pivot {
class CubePivotTable;
}

namespace report {

// Draws `report` on its sheet of `book` (made when missing: a new
// workbook's only empty sheet is renamed, else one is added at the end) at
// its cell, with its chart, the columns fitted and the workbook marked as
// holding reports, as the wizard leaves it. Nothing is saved. Throws 1004
// naming the report and the cube, file, dimension, level, measure or
// members that cannot be found, for a sheet already holding a pivot table of
// that name, and for a report that would cover cells of the file holding
// other content.
std::shared_ptr<pivot::CubePivotTable> buildReport(HostWorkbook& book, const ReportDefinition& report);

}  // namespace report
}  // namespace sheet
