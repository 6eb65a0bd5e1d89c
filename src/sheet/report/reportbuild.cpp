#include "sheet/report/reportbuild.h"

#include "sheet/chart.h"
#include "sheet/failures.h"
#include "sheet/host/hostapplication.h"
#include "sheet/host/hostworkbook.h"
#include "sheet/host/hostworksheet.h"
#include "sheet/pivot/cubepivottable.h"
#include "sheet/range.h"
#include "sheet/report/reportbook.h"
#include "sheet/report/reportdesign.h"
#include "sheet/report/reportrefresh.h"
#include "sheet/report/sheetoccupancy.h"
#include "sheet/xlsx/workbookdocument.h"
#include "platform/core/failure.h"

namespace sheet::report {

namespace {

// The very hidden sheet the wizard adds to mark a workbook as holding its reports.
constexpr const char* kMarkerSheet = "Brenn Pivot";

std::shared_ptr<HostWorksheet> targetSheet(HostWorkbook& book, const std::string& name)
{
    auto models = book.worksheetModels();
    for (const auto& model : models) {
        if (book.document().name(*model) == name)
            return book.worksheet(model);
    }
    if (book.FullName().empty() && models.size() == 1 && book.worksheet(models[0])->pivotTableCount() == 0
        && models[0]->cells.empty()) {
        auto sheet = book.worksheet(models[0]);
        sheet->Name(name);
        return sheet;
    }
    auto sheet = std::dynamic_pointer_cast<HostWorksheet>(
        book.Worksheets()->Add(book.Worksheets()->Item(book.Worksheets()->Count())));
    sheet->Name(name);
    return sheet;
}

void checkCells(HostWorkbook& book, HostWorksheet& sheet, const ReportDefinition& report, const Area& area)
{
    if (sheet.model().created)
        return;
    // The host wrote only this report so far; the file's cells decide.
    SheetModel fileOnly;
    fileOnly.part = sheet.model().part;
    std::vector<std::string> blocked;
    for (const auto& [cell, content] : occupiedCells(book.document(), fileOnly, area).cells) {
        if (content)
            blocked.push_back(cellName(cell));
    }
    if (!blocked.empty())
        failApplication("Report '" + report.name + "' on sheet '" + report.sheet + "' would cover "
                        + plainAddress(area) + " and overwrite " + listed(blocked) + ", which hold other content");
}

void addChart(HostWorkbook& book, HostWorksheet& sheet, Range& cell)
{
    auto app = book.application();
    cell.Select();
    app->Charts()->Add();
    auto chart = app->ActiveChart();
    if (!chart)
        failApplication("The chart of the report could not be made");
    chart->Location(kLocationAsObject, sheet.Name());
}

void markWorkbook(HostWorkbook& book, HostWorksheet& sheet)
{
    auto sheets = book.Worksheets();
    for (const auto& each : *sheets) {
        if (each->Name() == kMarkerSheet) {
            sheet.Activate();
            return;
        }
    }
    auto marker = sheets->Add(sheet.shared_from_this());
    marker->Name(kMarkerSheet);
    marker->Visible(kSheetVeryHidden);
    sheet.Activate();
}

}  // namespace

std::shared_ptr<pivot::CubePivotTable> buildReport(HostWorkbook& book, const ReportDefinition& report)
{
    auto sheet = targetSheet(book, report.sheet);
    for (const auto& table : sheet->pivotTables()) {
        if (table->Name() == report.name)
            failApplication("Sheet '" + report.sheet + "' already holds a pivot table named '" + report.name + "'");
    }
    auto cell = sheet->Range(report.cell);
    auto cache = book.PivotCaches()->Add(kExternalSource);
    cache->Connection(VariantArray{connectionOf(report.source)});
    cache->CommandType(kCommandCube);
    cache->CommandText(VariantArray{report.source.cube});
    std::shared_ptr<pivot::CubePivotTable> table;
    try {
        table = std::dynamic_pointer_cast<pivot::CubePivotTable>(cache->CreatePivotTable(cell, report.name));
    } catch (const platform::Failure& failure) {
        failApplication("Report '" + report.name + "' (cube '" + report.source.cube + "' of "
                        + report.source.dataSource + "): " + failure.description());
    }
    table->ManualUpdate(true);
    std::vector<std::string> skipped;
    applyDefinition(report, table->design(), skipped);
    if (!skipped.empty())
        failApplication("Report '" + report.name + "': the cube '" + report.source.cube + "' has no member "
                        + listed(skipped, 50));
    table->changed();
    table->ManualUpdate(false);
    checkCells(book, *sheet, report, table->area());
    if (report.chart)
        addChart(book, *sheet, *cell);
    sheet->Columns()->AutoFit();
    markWorkbook(book, *sheet);
    return table;
}

}  // namespace sheet::report
