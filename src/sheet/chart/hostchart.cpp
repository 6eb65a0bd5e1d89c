#include "sheet/chart/hostchart.h"

#include "sheet/chart/hostchartobject.h"

#include "sheet/host/hostapplication.h"
#include "sheet/host/hostworkbook.h"
#include "sheet/host/hostworksheet.h"
#include "sheet/xlsx/partnames.h"
#include "sheet/xlsx/sheetnames.h"
#include "sheet/xlsx/workbookdocument.h"

#include <algorithm>

namespace sheet {

namespace {

std::shared_ptr<HostWorksheet> worksheetNamed(HostWorkbook& book, const std::string& name)
{
    for (const auto& model : book.worksheetModels()) {
        if (sameSheetName(book.document().name(*model), name))
            return book.worksheet(model);
    }
    failApplication("Location: the workbook has no worksheet named '" + name + "'");
}

}  // namespace

HostChart::HostChart(std::weak_ptr<HostWorkbook> workbook, std::weak_ptr<PlacedPivotTable> source,
                     std::weak_ptr<HostWorksheet> sourceSheet)
    : mWorkbook(std::move(workbook)), mSource(std::move(source)), mSourceSheet(std::move(sourceSheet))
{
}

std::shared_ptr<HostWorkbook> HostChart::workbook()
{
    auto book = mWorkbook.lock();
    if (!book)
        failObjectNotSet("the chart's workbook was closed");
    book->document();  // throws 91 once closed
    return book;
}

std::string HostChart::Name()
{
    auto book = workbook();
    if (const auto sheet = chartSheet())
        return book->document().name(*sheet);
    const auto holder = object();
    if (!holder)
        return {};
    const auto sheet = holder->worksheet();
    return sheet ? sheet->Name() + " " + holder->Name() : holder->Name();
}

std::shared_ptr<ChartObject> HostChart::Parent()
{
    workbook();
    return object();
}

bool HostChart::placed() const
{
    const auto holder = object();
    return chartSheet() || (holder && holder->worksheet());
}

std::shared_ptr<Chart> HostChart::Location(int32_t where, const std::string& name)
{
    auto self = shared_from_this();  // leaving a chart sheet lets go of the sheet's hold
    auto book = workbook();
    if (where == kLocationAsObject) {
        moveToWorksheet(*book, name);
    } else if (where == kLocationAsNewSheet) {
        moveToChartSheet(*book, name);
    } else {
        failApplication("Location cannot place a chart at " + std::to_string(where)
                        + "; it takes 1 (a chart sheet) or 2 (an object on a worksheet)");
    }
    book->application()->setActiveChart(self);
    return self;
}

void HostChart::moveToWorksheet(HostWorkbook& book, const std::string& name)
{
    const auto target = worksheetNamed(book, name);
    const auto holder = object();
    if (!(holder && holder->worksheet() == target)) {
        leave(book);
        // Beside its table when the table is on this sheet (placed when saved,
        // as the table is drawn later); else at the sheet's selection.
        const auto topLeft = tableIsOn(*target) ? std::nullopt : std::optional(target->selection().first);
        HostChartObject::embed(shared_from_this(), *target, topLeft);
    }
    if (book.document().state(target->model()) == SheetState::Visible)
        target->Activate();
}

void HostChart::moveToChartSheet(HostWorkbook& book, const std::string& name)
{
    auto& document = book.document();
    if (const auto sheet = chartSheet()) {
        document.rename(*sheet, name);
        return;
    }
    const auto holder = object();
    const auto from = holder ? holder->worksheet() : nullptr;
    showOnNewSheet(from ? document.indexOf(from->model()) : document.activeSheet(), name);
    if (holder)
        holder->release();
}

void HostChart::showOnNewSheet(size_t position, const std::string& name)
{
    auto& document = workbook()->document();
    auto sheet = document.addChartsheet(position, name);
    sheet->chart = shared_from_this();
    mChartSheet = sheet;
    document.activate(*sheet);
}

void HostChart::leave(HostWorkbook& book)
{
    auto& document = book.document();
    if (const auto sheet = chartSheet()) {
        document.removeSheet(*sheet);
        sheet->chart.reset();
        mChartSheet.reset();
        if (!mParts->sheetDrawing.empty()) {
            document.dropPart(mParts->sheetDrawing);
            document.dropPart(relationshipsPartOf(mParts->sheetDrawing));
            mParts->sheetDrawing.clear();
        }
    }
    if (const auto holder = object())
        holder->release();
}

ChartData HostChart::data()
{
    const auto source = mSource.lock();
    if (!source)
        return {};
    auto values = source->chartData();
    if (!values)
        return {};
    if (const auto sheet = mSourceSheet.lock())
        values->sheet = sheet->Name();  // as it is named now: the chart refers to its cells
    return std::move(*values);
}

bool HostChart::tableIsOn(const HostWorksheet& sheet) const
{
    const auto source = mSource.lock();
    const auto sourceSheet = mSourceSheet.lock();
    return source && sourceSheet.get() == &sheet;
}

std::optional<CellRef> HostChart::besideTable(const HostWorksheet& sheet)
{
    if (!tableIsOn(sheet))
        return std::nullopt;
    const Area area = mSource.lock()->area();
    return CellRef{area.first.row, std::min(area.last.column + 2, kMaxColumn)};
}

}  // namespace sheet
