// The host's chart: a chart the chart engine made, shown on a chart sheet of
// its own or embedded in a worksheet through a chart object. It stays the
// same object wherever it moves (Location, Cut and Paste), so the
// application's active chart compares equal to the Chart() of the object
// that holds it now.
#pragma once

#include "sheet/application.h"
#include "sheet/host/extensions.h"

#include <memory>
#include <optional>
#include <string>

namespace sheet {

class HostChartObject;
class HostWorkbook;
class HostWorksheet;
struct SheetModel;

// The parts a save wrote for a chart, so that later saves rewrite only what
// changed and drop what is no longer shown. Shared with the chart writer,
// which outlives a chart that is thrown away.
struct ChartParts {
    std::string chart;         // "xl/charts/chart1.xml"; empty until first written
    std::string chartBytes;    // what was put for it last
    std::string sheetDrawing;  // the drawing of its chart sheet, while it has one
};

class HostChart final : public Chart, public std::enable_shared_from_this<HostChart> {
public:
    // A chart of the pivot table `source` on `sourceSheet` (both may be
    // null: an empty chart) in `workbook`. Place it with showOnNewSheet.
    HostChart(std::weak_ptr<HostWorkbook> workbook, std::weak_ptr<PlacedPivotTable> source,
              std::weak_ptr<HostWorksheet> sourceSheet);

    // A chart sheet's name, or "<sheet> <object>" for an embedded chart.
    std::string Name() override;
    std::shared_ptr<Chart> Location(int32_t where, const std::string& name) override;
    std::shared_ptr<ChartObject> Parent() override;

    // Shows the chart on a new chart sheet named `name` at tab `position`,
    // which becomes the active sheet. Throws 1004 for an invalid or taken
    // name, leaving everything as it was.
    void showOnNewSheet(size_t position, const std::string& name);
    // The chart object holding the chart from now on (its chart objects call this).
    void setObject(const std::shared_ptr<HostChartObject>& object) { mObject = object; }

    // Throws 91 once the workbook is closed.
    std::shared_ptr<HostWorkbook> workbook();
    // The chart sheet showing the chart; null when it is embedded.
    std::shared_ptr<SheetModel> chartSheet() const { return mChartSheet.lock(); }
    // The chart object holding it; null on a chart sheet. A cut object has no sheet.
    std::shared_ptr<HostChartObject> object() const { return mObject.lock(); }
    // Whether a sheet shows the chart (not cut to the clipboard).
    bool placed() const;

    // The values to show now: its table's, drawn up to date; empty without a
    // table, or for a table whose values the host does not compute.
    ChartData data();
    // Whether it shows `table`.
    bool shows(const PlacedPivotTable& table) const { return mSource.lock().get() == &table; }
    // Whether its table lies on `sheet`.
    bool tableIsOn(const HostWorksheet& sheet) const;
    // Where an embedded chart on `sheet` goes when nothing put it elsewhere:
    // two columns right of its table, on the table's top row, as the table is
    // drawn now; nullopt when the table is not on `sheet`.
    std::optional<CellRef> besideTable(const HostWorksheet& sheet);

    const std::shared_ptr<ChartParts>& parts() const { return mParts; }

private:
    void moveToWorksheet(HostWorkbook& book, const std::string& name);
    void moveToChartSheet(HostWorkbook& book, const std::string& name);
    // Takes the chart off the sheet or object showing it.
    void leave(HostWorkbook& book);

    std::weak_ptr<HostWorkbook> mWorkbook;
    std::weak_ptr<PlacedPivotTable> mSource;
    std::weak_ptr<HostWorksheet> mSourceSheet;
    std::weak_ptr<SheetModel> mChartSheet;  // the sheet's model holds the chart
    std::weak_ptr<HostChartObject> mObject; // the object holds the chart
    std::shared_ptr<ChartParts> mParts = std::make_shared<ChartParts>();
};

}  // namespace sheet
