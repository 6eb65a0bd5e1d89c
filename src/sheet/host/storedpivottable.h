// A pivot table that the opened file holds (made by another program, or by
// the host in an earlier session). The host reports its name, place and
// grand totals and refuses to change it: its definition and cache are the
// other program's, and the host rewrites neither.
#pragma once

#include "sheet/host/extensions.h"
#include "sheet/xlsx/sheetmodel.h"

#include <memory>

namespace sheet {

class HostWorksheet;

class StoredPivotTable final : public PlacedPivotTable {
public:
    StoredPivotTable(std::weak_ptr<HostWorksheet> worksheet, StoredPivotTableInfo info);

    std::string Name() override { return mInfo.name; }
    bool RowGrand() override { return mInfo.rowGrand; }
    void RowGrand(bool) override { refuse("RowGrand"); }
    bool ColumnGrand() override { return mInfo.columnGrand; }
    void ColumnGrand(bool) override { refuse("ColumnGrand"); }
    bool ManualUpdate() override { return false; }
    void ManualUpdate(bool) override { refuse("ManualUpdate"); }
    void Format(int32_t) override { refuse("Format"); }
    std::shared_ptr<sheet::CubeFields> CubeFields() override { refuse("CubeFields"); }
    std::shared_ptr<sheet::PivotFields> PivotFields() override { refuse("PivotFields"); }
    std::shared_ptr<sheet::PivotFields> DataFields() override { refuse("DataFields"); }
    std::shared_ptr<Worksheet> Parent() override;
    Area area() override { return mInfo.area; }

private:
    [[noreturn]] void refuse(const char* member);

    std::weak_ptr<HostWorksheet> mWorksheet;
    StoredPivotTableInfo mInfo;
};

}  // namespace sheet
