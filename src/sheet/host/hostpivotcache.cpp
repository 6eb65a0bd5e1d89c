#include "sheet/host/hostpivotcache.h"

#include "sheet/host/extensions.h"
#include "sheet/host/hostapplication.h"
#include "sheet/host/hostrange.h"
#include "sheet/host/hostworkbook.h"
#include "sheet/host/hostworksheet.h"

namespace sheet {

std::string joinedTexts(const VariantArray& parts, const std::string& member)
{
    if (parts.dimensions() != 1)
        failTypeMismatch(member + " takes a one-dimensional array of texts");
    std::string text;
    for (const auto& part : parts.items())
        text += part.value_or("");
    return text;
}

HostPivotCache::HostPivotCache(std::weak_ptr<HostWorkbook> workbook) : mWorkbook(std::move(workbook)) {}

void HostPivotCache::Connection(const VariantArray& parts)
{
    mConnection = joinedTexts(parts, "Connection");
}

void HostPivotCache::CommandText(const VariantArray& parts)
{
    mCommandText = joinedTexts(parts, "CommandText");
}

std::shared_ptr<PivotTable> HostPivotCache::CreatePivotTable(const std::shared_ptr<Range>& destination,
                                                             const std::string& tableName)
{
    const auto book = mWorkbook.lock();
    if (!book)
        failObjectNotSet("the pivot cache's workbook was closed");
    const auto range = std::dynamic_pointer_cast<HostRange>(destination);
    if (!range || range->worksheet()->workbook() != book)
        failApplication("CreatePivotTable: the destination must be a range of the cache's workbook");
    if (tableName.empty())
        failApplication("CreatePivotTable: a pivot table needs a name");
    auto& sheet = *range->worksheet();
    const CellRef topLeft = range->area().first;
    for (const auto& table : sheet.pivotTables()) {
        if (table->Name() == tableName)
            failApplication("Sheet '" + sheet.Name() + "' already has a pivot table named '" + tableName + "'");
        if (table->area().contains(topLeft))
            failPivotTableOverlap(tableName, table->Name());
    }
    auto* engine = book->application()->pivotEngine();
    if (!engine)
        failApplication("CreatePivotTable: this host has no pivot table engine to compute tables from cubes");
    auto table = engine->create(PivotSource{mConnection, mCommandType, mCommandText}, sheet, topLeft, tableName);
    sheet.addPivotTable(table);
    return table;
}

}  // namespace sheet
