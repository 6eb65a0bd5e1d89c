// Refreshing reports: each is computed again from its cube with the
// definition the workbook keeps (reportbook.h) and drawn in place. Only the
// cells of the report change: what it covered before and what it covers now.
// Cells around it, other sheets and every other part stay as they are.
#pragma once

#include "sheet/pivot/pivotgrid.h"
#include "sheet/report/reportdefinition.h"

#include <functional>
#include <string>
#include <vector>

namespace sheet {

class HostWorkbook;

namespace report {

// A report computed from its cube: its cells relative to its top-left cell,
// and its chart's data when the definition has a chart.
struct ComputedReport {
    pivot::PivotGrid grid;
    std::vector<std::string> skipped;  // members the definition names and the cube no longer has
};

// Opens the report's cube, lays the definition onto a new design and lays out
// its cells. Throws 1004 naming the report and the cube, file, dimension,
// level or measure that cannot be found.
ComputedReport computeReport(const ReportDefinition& report);

struct RefreshedReport {
    std::string name;
    std::string sheet;
    std::string before;  // the area covered before ("B2:H40"); empty when unknown
    std::string after;
    std::vector<std::string> skipped;
};

struct RefreshOutcome {
    std::vector<RefreshedReport> reports;
    // One line per report that skipped members, listing them.
    std::vector<std::string> warnings() const;
    // "Refreshed 2 reports: ..." for people.
    std::string summary() const;
};

// "A1, B2, C3 and 7 more": the first `shown` of `names`, for messages.
std::string listed(const std::vector<std::string>& names, size_t shown = 10);

// Called before each report is computed, for progress.
using RefreshProgress = std::function<void(const ReportDefinition& report)>;

// Refreshes report `name` of `book` (every report with a definition when
// empty) and records the new areas and times in the definitions; the caller
// saves. Every report is computed and checked before any cell is written, so
// a refusal leaves the workbook as it was. Throws 1004 for a name no
// definition has, a workbook without definitions, a sheet that is gone, a
// cube, dimension, level or measure that cannot be found, and a report that
// would grow over other content (naming the cells) or another pivot table.
RefreshOutcome refreshReports(HostWorkbook& book, const std::string& name = {},
                              const RefreshProgress& progress = {});

}  // namespace report
}  // namespace sheet
