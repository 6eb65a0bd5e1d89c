#include "sheet/host/hostworksheet.h"

#include "sheet/xlsx/autofit.h"
#include "sheet/host/hostapplication.h"
#include "sheet/host/hostrange.h"
#include "sheet/host/hostworkbook.h"
#include "sheet/host/storedpivottable.h"
#include "sheet/xlsx/workbookdocument.h"

namespace sheet {

namespace {

int32_t visibleValue(SheetState state)
{
    switch (state) {
    case SheetState::Hidden: return kSheetHidden;
    case SheetState::VeryHidden: return kSheetVeryHidden;
    case SheetState::Visible: break;
    }
    return kSheetVisible;
}

// Collections of a worksheet hold it weakly: the worksheet keeps them.
std::shared_ptr<HostWorksheet> lockSheet(const std::weak_ptr<HostWorksheet>& sheet)
{
    auto locked = sheet.lock();
    if (!locked)
        failObjectNotSet("the worksheet is gone");
    return locked;
}

class HostPivotTables final : public PivotTables {
public:
    explicit HostPivotTables(std::weak_ptr<HostWorksheet> worksheet) : mWorksheet(std::move(worksheet)) {}

    // Counting needs no pivot table part: opening counted them.
    int32_t Count() override { return lockSheet(mWorksheet)->pivotTableCount(); }

    std::shared_ptr<PivotTable> Item(int32_t index) override
    {
        const auto tables = lockSheet(mWorksheet)->pivotTables();
        if (index < 1 || index > static_cast<int32_t>(tables.size()))
            failSubscript("pivot table " + std::to_string(index) + " of " + std::to_string(tables.size()));
        return tables[static_cast<size_t>(index - 1)];
    }

    std::shared_ptr<PivotTable> Item(const std::string& name) override
    {
        const auto sheet = lockSheet(mWorksheet);
        for (const auto& table : sheet->pivotTables()) {
            if (table->Name() == name)
                return table;
        }
        failApplication("Sheet '" + sheet->Name() + "' has no pivot table named '" + name + "'");
    }

private:
    std::weak_ptr<HostWorksheet> mWorksheet;
};

class HostChartObjects final : public ChartObjects {
public:
    explicit HostChartObjects(std::weak_ptr<HostWorksheet> worksheet) : mWorksheet(std::move(worksheet)) {}

    int32_t Count() override
    {
        const auto sheet = lockSheet(mWorksheet);
        sheet->workbook();
        return static_cast<int32_t>(sheet->chartObjects().size());
    }

    std::shared_ptr<ChartObject> Item(int32_t index) override
    {
        const auto sheet = lockSheet(mWorksheet);
        sheet->workbook();
        const auto& objects = sheet->chartObjects();
        if (index < 1 || index > static_cast<int32_t>(objects.size()))
            failSubscript("chart object " + std::to_string(index) + " of " + std::to_string(objects.size()));
        return objects[static_cast<size_t>(index - 1)];
    }

private:
    std::weak_ptr<HostWorksheet> mWorksheet;
};

}  // namespace

HostWorksheet::HostWorksheet(std::weak_ptr<HostWorkbook> workbook, std::shared_ptr<SheetModel> model)
    : mWorkbook(std::move(workbook)), mModel(std::move(model)), mSelection{{1, 1}, {1, 1}, Area::Kind::Cells}
{
}

std::shared_ptr<HostWorkbook> HostWorksheet::workbook()
{
    auto workbook = mWorkbook.lock();
    if (!workbook)
        failObjectNotSet("the worksheet's workbook was closed");
    workbook->document();  // throws 91 once closed
    return workbook;
}

WorkbookDocument& HostWorksheet::document()
{
    return workbook()->document();
}

std::string HostWorksheet::Name()
{
    return document().name(*mModel);
}

void HostWorksheet::Name(const std::string& name)
{
    document().rename(*mModel, name);
}

int32_t HostWorksheet::Visible()
{
    return visibleValue(document().state(*mModel));
}

void HostWorksheet::Visible(int32_t state)
{
    auto& doc = document();
    switch (state) {
    case kSheetVisible: doc.setState(*mModel, SheetState::Visible); return;
    case kSheetHidden: doc.setState(*mModel, SheetState::Hidden); return;
    case kSheetVeryHidden: doc.setState(*mModel, SheetState::VeryHidden); return;
    default:
        failApplication("Visible of sheet '" + Name() + "' cannot be " + std::to_string(state)
                        + "; it takes -1 (visible), 0 (hidden) or 2 (very hidden)");
    }
}

bool HostWorksheet::ProtectContents()
{
    return document().protectContents(*mModel);
}

std::shared_ptr<sheet::Range> HostWorksheet::Range(const std::string& address)
{
    workbook();
    const auto area = parseAddress(address);
    if (!area)
        failBadAddress(address);
    return std::make_shared<HostRange>(shared_from_this(), *area);
}

std::shared_ptr<sheet::PivotTables> HostWorksheet::PivotTables()
{
    workbook();
    if (!mPivotTablesCollection)
        mPivotTablesCollection = std::make_shared<HostPivotTables>(weak_from_this());
    return mPivotTablesCollection;
}

std::shared_ptr<PivotTable> HostWorksheet::PivotTables(const std::string& name)
{
    return PivotTables()->Item(name);
}

void HostWorksheet::Select()
{
    Activate();
}

void HostWorksheet::Activate()
{
    auto book = workbook();
    book->document().activate(*mModel);
    book->application()->activate(book);
}

void HostWorksheet::Paste(const std::shared_ptr<sheet::Range>& destination)
{
    workbook();
    const auto range = std::dynamic_pointer_cast<HostRange>(destination);
    if (!range || range->worksheet().get() != this)
        failApplication("Paste on sheet '" + Name() + "' needs a destination on that sheet");
    const auto application = workbook()->application();
    auto content = application->takeClipboard();
    if (!content)
        failApplication("Paste on sheet '" + Name() + "': the clipboard is empty");
    try {
        content->pasteOnto(*this, range->area().first);
    } catch (...) {
        // A refused paste changes nothing: what was cut can still be pasted elsewhere.
        application->setClipboard(std::move(content));
        throw;
    }
}

std::shared_ptr<sheet::Range> HostWorksheet::Columns()
{
    workbook();
    return std::make_shared<HostRange>(shared_from_this(),
                                       Area{{1, 1}, {kMaxRow, kMaxColumn}, Area::Kind::Columns});
}

std::shared_ptr<sheet::ChartObjects> HostWorksheet::ChartObjects()
{
    workbook();
    if (!mChartObjectsCollection)
        mChartObjectsCollection = std::make_shared<HostChartObjects>(weak_from_this());
    return mChartObjectsCollection;
}

std::shared_ptr<Workbook> HostWorksheet::Parent()
{
    return workbook();
}

CellStore& HostWorksheet::cells()
{
    workbook();
    return mModel->cells;
}

void HostWorksheet::autoFit(int32_t first, int32_t last)
{
    updatePivotTables();
    for (const auto& [column, width] : fittedWidths(cells(), first, last))
        mModel->cells.setColumnWidth(column, width);
}

void HostWorksheet::select(const Area& area)
{
    mSelection = area;
}

std::vector<std::shared_ptr<PlacedPivotTable>> HostWorksheet::pivotTables()
{
    auto& doc = document();
    if (!mStoredTables) {
        mStoredTables.emplace();
        for (const auto& info : doc.storedPivotTables(*mModel))
            mStoredTables->push_back(std::make_shared<StoredPivotTable>(weak_from_this(), info));
    }
    auto tables = *mStoredTables;
    tables.insert(tables.end(), mMadeTables.begin(), mMadeTables.end());
    return tables;
}

int32_t HostWorksheet::pivotTableCount()
{
    workbook();
    const size_t stored =
        mStoredTables ? mStoredTables->size() : mModel->pivotTableParts.size() + mModel->drawnReports.size();
    return static_cast<int32_t>(stored + mMadeTables.size());
}

void HostWorksheet::addPivotTable(std::shared_ptr<PlacedPivotTable> table)
{
    mMadeTables.push_back(std::move(table));
}

void HostWorksheet::updatePivotTables()
{
    // A copy: drawing a table never adds one, but stay safe if it did.
    const auto tables = mMadeTables;
    for (const auto& table : tables)
        table->update();
}

void HostWorksheet::markPivotReports()
{
    for (const auto& table : mMadeTables)
        document().markPivotReport(*mModel, table->Name(), table->area());
}

}  // namespace sheet
