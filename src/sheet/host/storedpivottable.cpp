#include "sheet/host/storedpivottable.h"

#include "sheet/host/hostworksheet.h"

namespace sheet {

StoredPivotTable::StoredPivotTable(std::weak_ptr<HostWorksheet> worksheet, StoredPivotTableInfo info)
    : mWorksheet(std::move(worksheet)), mInfo(std::move(info))
{
}

std::shared_ptr<Worksheet> StoredPivotTable::Parent()
{
    auto worksheet = mWorksheet.lock();
    if (!worksheet)
        failObjectNotSet("the pivot table's worksheet was closed");
    return worksheet;
}

void StoredPivotTable::refuse(const char* member)
{
    failNotSupported(std::string(member) + " of pivot table '" + mInfo.name
                     + "', which the workbook already held: the host does not change pivot tables it did not make");
}

}  // namespace sheet
