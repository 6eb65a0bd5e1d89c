#include "sheet/report/reportrefresh.h"

#include "sheet/failures.h"
#include "sheet/host/extensions.h"
#include "sheet/host/hostworkbook.h"
#include "sheet/host/hostworksheet.h"
#include "sheet/pivot/pivotconnection.h"
#include "sheet/report/reportbook.h"
#include "sheet/report/reportchart.h"
#include "sheet/report/reportdesign.h"
#include "sheet/report/sheetoccupancy.h"
#include "sheet/xlsx/autofit.h"
#include "sheet/xlsx/stylesheet.h"
#include "sheet/xlsx/workbookdocument.h"
#include "platform/core/failure.h"

#include <algorithm>
#include <limits>

namespace sheet::report {

namespace {

// Up to this many cells of a report's old place are cleared without looking
// whether the sheet has them.
constexpr int64_t kBlindClearLimit = 20000;

// What drawing one report will do, worked out before anything is drawn.
struct RefreshPlan {
    const ReportDefinition* report = nullptr;
    std::shared_ptr<SheetModel> sheet;
    CellRef topLeft;
    std::optional<Area> before;
    Area after;
    ComputedReport computed;
    std::vector<CellRef> cleared;  // cells of the old report the new one leaves empty
    std::vector<ReportChart> charts;  // the report's charts
};

std::shared_ptr<SheetModel> findSheet(HostWorkbook& book, const ReportDefinition& report)
{
    for (const auto& model : book.worksheetModels()) {
        if (book.document().name(*model) == report.sheet)
            return model;
    }
    failApplication("Report '" + report.name + "': the workbook has no sheet '" + report.sheet + "'");
}

}  // namespace

std::string listed(const std::vector<std::string>& names, size_t shown)
{
    std::string text;
    for (size_t i = 0; i < names.size() && i < shown; ++i)
        text += (i ? ", " : "") + names[i];
    if (names.size() > shown)
        text += " and " + std::to_string(names.size() - shown) + " more";
    return text;
}

namespace {

// Refuses a report that would cover another table or cells holding other content.
void checkRoom(HostWorkbook& book, RefreshPlan& plan, const SheetOccupancy& occupied)
{
    const auto& name = plan.report->name;
    for (const auto& table : book.worksheet(plan.sheet)->pivotTables()) {
        if (table->Name() != name && table->area().intersects(plan.after))
            failApplication("Report '" + name + "' on sheet '" + plan.report->sheet + "' would grow to "
                            + plainAddress(plan.after) + ", over the pivot table '" + table->Name()
                            + "'; nothing was changed");
    }
    std::vector<std::string> blocked;
    for (const auto& [cell, content] : occupied.cells) {
        if (content && plan.after.contains(cell) && !(plan.before && plan.before->contains(cell)))
            blocked.push_back(cellName(cell));
    }
    if (!blocked.empty())
        failApplication("Report '" + name + "' on sheet '" + plan.report->sheet + "' would grow to "
                        + plainAddress(plan.after) + " and overwrite " + listed(blocked)
                        + ", which hold other content; nothing was changed");
}

RefreshPlan planRefresh(HostWorkbook& book, const ReportDefinition& report)
{
    RefreshPlan plan;
    plan.report = &report;
    plan.sheet = findSheet(book, report);
    const auto cell = parseAddress(report.cell);
    if (!cell || cell->kind != Area::Kind::Cells)
        failApplication("Report '" + report.name + "': '" + report.cell + "' is not a cell");
    plan.topLeft = cell->first;
    if (!report.area.empty())
        plan.before = parseAddress(report.area);
    plan.computed = computeReport(report);
    // Found before anything is drawn: a malformed drawing refuses the refresh.
    if (report.chart && plan.before)
        plan.charts = chartsOfArea(book.document(), *plan.sheet, report.sheet, *plan.before);
    const auto& grid = plan.computed.grid;
    plan.after = Area{plan.topLeft, {plan.topLeft.row + std::max(grid.rows, 1) - 1,
                                     plan.topLeft.column + std::max(grid.columns, 1) - 1}};
    if (plan.after.last.row > kMaxRow || plan.after.last.column > kMaxColumn)
        failApplication("Report '" + report.name + "' does not fit on the sheet below and right of " + report.cell);
    Area box = plan.after;
    if (plan.before) {
        box.first = {std::min(box.first.row, plan.before->first.row), std::min(box.first.column, plan.before->first.column)};
        box.last = {std::max(box.last.row, plan.before->last.row), std::max(box.last.column, plan.before->last.column)};
    }
    // Cells the new report writes inside the old one need no look: neither
    // a refusal nor a clearing can concern them.
    std::vector<bool> written(size_t(std::max(grid.rows, 0)) * size_t(std::max(grid.columns, 0)));
    for (const auto& c : grid.cells)
        written[size_t(c.row) * size_t(grid.columns) + size_t(c.column)] = true;
    const auto writes = [&](CellRef cell) {
        const int32_t r = cell.row - plan.topLeft.row, c = cell.column - plan.topLeft.column;
        return r >= 0 && c >= 0 && r < grid.rows && c < grid.columns && written[size_t(r) * size_t(grid.columns) + size_t(c)];
    };
    const auto inside = [](const Area& inner, const Area& outer) {
        return outer.contains(inner.first) && outer.contains(inner.last);
    };
    // A report that stays within its cells needs no look at the sheet: the
    // few cells of its old place it no longer writes are cleared blindly.
    if (plan.before && inside(plan.after, *plan.before)) {
        const int64_t unwritten = int64_t(plan.before->last.row - plan.before->first.row + 1)
                                      * (plan.before->last.column - plan.before->first.column + 1)
                                  - int64_t(grid.cells.size());
        if (unwritten <= kBlindClearLimit) {
            for (int32_t r = plan.before->first.row; r <= plan.before->last.row; ++r) {
                for (int32_t c = plan.before->first.column; c <= plan.before->last.column; ++c) {
                    if (!writes({r, c}))
                        plan.cleared.push_back({r, c});
                }
            }
            return plan;
        }
    }
    const SheetOccupancy occupied = occupiedCells(book.document(), *plan.sheet, box, [&](CellRef cell) {
        return plan.before && plan.before->contains(cell) && writes(cell);
    });
    checkRoom(book, plan, occupied);
    if (plan.before) {
        for (const auto& [cell, content] : occupied.cells) {
            if (plan.before->contains(cell) && !writes(cell))
                plan.cleared.push_back(cell);
        }
    }
    return plan;
}

// The report's chart as a build draws it: referring to the report's new
// cells and showing their values.
void redrawChart(HostWorkbook& book, RefreshPlan& plan)
{
    ChartData chart = std::move(plan.computed.grid.chart);
    chart.sheet = plan.report->sheet;
    const auto onSheet = [&](CellRef& cell) {
        cell = {plan.topLeft.row + cell.row, plan.topLeft.column + cell.column};
    };
    std::for_each(chart.categoryCells.begin(), chart.categoryCells.end(), onSheet);
    for (auto& series : chart.series)
        std::for_each(series.cells.begin(), series.cells.end(), onSheet);
    redrawCharts(book.document(), plan.charts, chart, *plan.before, plan.after);
}

RefreshedReport draw(HostWorkbook& book, RefreshPlan& plan)
{
    auto sheet = book.worksheet(plan.sheet);
    CellStore& cells = sheet->cells();
    // Set in row order, cleared cells among the new ones: the store then
    // adds each at its end, and the save walks cells lying in that order.
    std::sort(plan.cleared.begin(), plan.cleared.end());
    auto cleared = plan.cleared.begin();
    for (auto& cell : plan.computed.grid.cells) {
        const CellRef at{plan.topLeft.row + cell.row, plan.topLeft.column + cell.column};
        for (; cleared != plan.cleared.end() && *cleared < at; ++cleared)
            cells.set(*cleared, CellValue{}, CellFormat{});
        cells.set(at, std::move(cell.value), std::move(cell.format));
    }
    for (; cleared != plan.cleared.end(); ++cleared)
        cells.set(*cleared, CellValue{}, CellFormat{});
    // As a build's AutoFit leaves them, over the report's columns only.
    for (const auto& [column, width] : fittedWidths(cells, plan.after.first.column, plan.after.last.column))
        cells.setColumnWidth(column, width);
    if (!plan.charts.empty())
        redrawChart(book, plan);
    const auto& report = *plan.report;
    book.document().markPivotReport(*plan.sheet, report.name, plan.after);
    if (plan.sheet->storedPivotTables) {
        for (auto& stored : *plan.sheet->storedPivotTables) {
            if (stored.name == report.name)
                stored.area = plan.after;
        }
    }
    RefreshedReport done{report.name, report.sheet, report.area, plainAddress(plan.after), plan.computed.skipped};
    ReportDefinition updated = report;
    updated.area = done.after;
    updated.refreshed = utcNow();
    book.reports().put(book.document(), std::move(updated));
    return done;
}

}  // namespace

ComputedReport computeReport(const ReportDefinition& report)
{
    ComputedReport computed;
    try {
        const PivotSource source{connectionOf(report.source), kCommandCube, report.source.cube};
        const pivot::OpenCube cube = pivot::openCube(source);
        pivot::PivotDesign design(cube.info());
        applyDefinition(report, design, computed.skipped);
        if (!design.empty())
            // Only a report with a chart needs the chart's data laid out.
            computed.grid = pivot::layoutGrid(design, cube.query(pivot::buildQuery(design)),
                                              {std::numeric_limits<int32_t>::max(), report.chart});
    } catch (const platform::Failure& failure) {
        if (failure.description().starts_with("Report '"))
            throw;
        failApplication("Report '" + report.name + "' (cube '" + report.source.cube + "' of "
                        + report.source.dataSource + "): " + failure.description());
    }
    return computed;
}

RefreshOutcome refreshReports(HostWorkbook& book, const std::string& name, const RefreshProgress& progress)
{
    const auto& definitions = book.reports().definitions(book.document());
    if (definitions.empty())
        failApplication("'" + book.document().displayName() + "' holds no report definitions to refresh");
    std::vector<ReportDefinition> chosen;
    for (const auto& report : definitions) {
        if (name.empty() || report.name == name)
            chosen.push_back(report);
    }
    if (chosen.empty())
        failApplication("'" + book.document().displayName() + "' has no report named '" + name + "'");
    std::vector<RefreshPlan> plans;
    for (const auto& report : chosen) {
        if (progress)
            progress(report);
        plans.push_back(planRefresh(book, report));
    }
    RefreshOutcome outcome;
    // The reports' formats are most likely in the styles part already.
    book.document().styles().setReuseEqual(true);
    for (auto& plan : plans)
        outcome.reports.push_back(draw(book, plan));
    return outcome;
}

std::vector<std::string> RefreshOutcome::warnings() const
{
    std::vector<std::string> lines;
    for (const auto& report : reports) {
        if (!report.skipped.empty())
            lines.push_back("Report '" + report.name + "': skipped members no longer in the cube: "
                            + listed(report.skipped, 50));
    }
    return lines;
}

std::string RefreshOutcome::summary() const
{
    std::string text = "Refreshed " + std::to_string(reports.size()) + (reports.size() == 1 ? " report" : " reports");
    for (const auto& report : reports) {
        text += "\n  '" + report.name + "' on '" + report.sheet + "': " + report.after;
        if (!report.before.empty() && report.before != report.after)
            text += " (was " + report.before + ")";
    }
    for (const auto& warning : warnings())
        text += "\n" + warning;
    return text;
}

}  // namespace sheet::report
