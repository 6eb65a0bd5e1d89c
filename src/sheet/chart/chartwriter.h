// Writes a workbook's charts into its document before a save: each chart's
// part, the drawings that place the charts on their sheets, the
// relationships sheet -> drawing -> chart, and the sheets' drawing elements.
// A part is put only when its bytes differ from what was put before, so a
// save with nothing changed writes nothing new; a chart that no sheet shows
// any more (cut and never pasted, or thrown away) has its part dropped.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace sheet {

class HostChart;
class HostChartObject;
class HostWorkbook;
class HostWorksheet;
class WorkbookDocument;
struct ChartParts;
struct SheetModel;

class ChartWriter {
public:
    // Remembers `chart` for the saves of its workbook.
    void track(const std::shared_ptr<HostChart>& chart);
    // Puts `workbook`'s charts into its document for the next save. Throws
    // 1004 when a drawing part of the file is malformed.
    void write(HostWorkbook& workbook);

private:
    // A worksheet's drawing: the user's own (charts are added to it) or one
    // the host made. `base` is the part as it was before the host added
    // anything, so that every save lays the host's charts out afresh.
    struct SheetDrawing {
        std::string part;
        std::string base;
        std::string baseRelationships;  // empty: the drawing had none
        std::string bytes;              // as put last
        std::string relationshipBytes;
    };
    struct Tracked {
        std::weak_ptr<HostWorkbook> workbook;
        std::weak_ptr<HostChart> chart;
        std::shared_ptr<ChartParts> parts;
    };

    void writeCharts(HostWorkbook& workbook);
    void writeChartSheet(WorkbookDocument& document, HostChart& chart);
    SheetDrawing startDrawing(WorkbookDocument& document, SheetModel& sheet);
    void writeDrawing(WorkbookDocument& document, HostWorksheet& sheet,
                      const std::vector<std::shared_ptr<HostChartObject>>& objects, SheetDrawing& drawing);
    void restoreDrawing(WorkbookDocument& document, SheetDrawing& drawing);

    std::vector<Tracked> mCharts;
    std::map<std::weak_ptr<SheetModel>, SheetDrawing, std::owner_less<>> mDrawings;
};

}  // namespace sheet
