#include "sheet/chart/chartengine.h"

#include "sheet/chart/chartwriter.h"
#include "sheet/chart/hostchart.h"

#include "sheet/host/hostworkbook.h"
#include "sheet/host/hostworksheet.h"
#include "sheet/xlsx/sheetnames.h"
#include "sheet/xlsx/workbookdocument.h"

#include <algorithm>

namespace sheet {

namespace {

// "Chart<n>" with the first n from 1 that no sheet's name uses.
std::string freeChartSheetName(const WorkbookDocument& document)
{
    for (int n = 1;; ++n) {
        std::string name = "Chart" + std::to_string(n);
        const auto& sheets = document.sheets();
        if (std::none_of(sheets.begin(), sheets.end(),
                         [&](const auto& sheet) { return sameSheetName(document.name(*sheet), name); }))
            return name;
    }
}

class HostChartEngine final : public ChartEngine {
public:
    std::shared_ptr<Chart> addChart(HostWorkbook& workbook) override
    {
        auto& document = workbook.document();
        const size_t active = document.activeSheet();
        std::weak_ptr<HostWorksheet> sourceSheet;
        std::weak_ptr<PlacedPivotTable> source;
        if (!document.sheets().empty() && document.sheets()[active]->kind == SheetKind::Worksheet) {
            const auto sheet = workbook.worksheet(document.sheets()[active]);
            sheet->updatePivotTables();  // their places as drawn now
            const CellRef cell = sheet->selection().first;
            for (const auto& table : sheet->pivotTables()) {
                if (table->area().contains(cell)) {
                    source = table;
                    sourceSheet = sheet;
                    break;
                }
            }
        }
        auto chart = std::make_shared<HostChart>(workbook.weak_from_this(), source, sourceSheet);
        chart->showOnNewSheet(active, freeChartSheetName(document));
        mWriter.track(chart);
        return chart;
    }

    void prepareSave(HostWorkbook& workbook) override { mWriter.write(workbook); }

private:
    ChartWriter mWriter;
};

}  // namespace

std::shared_ptr<ChartEngine> makeChartEngine()
{
    return std::make_shared<HostChartEngine>();
}

}  // namespace sheet
