// A report's chart in a saved workbook. The workbook keeps no link from a
// report to its chart, but the chart's series refer to the report's cells:
// the chart parts of the sheet's drawing whose every reference lies in the
// report's area are the report's. A refresh draws them again from the
// report's new cells, as a build draws them, so that a reader that shows the
// cached values shows what the cells hold.
#pragma once

#include "sheet/host/chartdata.h"

#include <string>
#include <vector>

namespace sheet {

class WorkbookDocument;
struct SheetModel;

namespace report {

// A chart of a report: its part, the drawing placing it and the drawing's
// relationship to it.
struct ReportChart {
    std::string part;
    std::string drawing;
    std::string relationshipId;
};

// The charts of `sheet`'s drawing whose series all refer to cells of `area`
// on the sheet named `sheetName`. Throws 1004 naming the part when a
// drawing's relationships or a chart part is malformed.
std::vector<ReportChart> chartsOfArea(WorkbookDocument& document, SheetModel& sheet, const std::string& sheetName,
                                      const Area& area);

// Puts `charts` for the next save as charts of `data` (cells on the sheet)
// for a report that moved from `before` to `after`: each part as a build
// writes it, each frame sized for the new data, and a frame that sat where
// a build puts it (two columns right of the report, on its top row) moved
// to that place beside the new area. Throws 1004 for a malformed drawing.
void redrawCharts(WorkbookDocument& document, const std::vector<ReportChart>& charts, const ChartData& data,
                  const Area& before, const Area& after);

}  // namespace report
}  // namespace sheet
