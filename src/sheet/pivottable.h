// A pivot table on a worksheet, and a sheet's collection of them.
#pragma once

#include "sheet/collection.h"

#include <cstdint>
#include <memory>
#include <string>

namespace sheet {

class CubeFields;
class PivotFields;
class Worksheet;

class PivotTable {
public:
    virtual ~PivotTable() = default;

    virtual std::string Name() = 0;

    // Whether the table shows grand totals for rows, for columns.
    virtual bool RowGrand() = 0;
    virtual void RowGrand(bool on) = 0;
    virtual bool ColumnGrand() = 0;
    virtual void ColumnGrand(bool on) = 0;

    // While true, changes to fields are collected and the table is not
    // recomputed; setting it back to false recomputes once.
    virtual bool ManualUpdate() = 0;
    virtual void ManualUpdate(bool on) = 0;

    // Applies the host's table autoformat `format` (kTableFormat13). Throws
    // 1004 for a format the host does not have.
    virtual void Format(int32_t format) = 0;

    // Fields by cube name: "[Dimension]" for a dimension, "[Measures].[Name]"
    // for a measure. Item by an unknown name throws 1004.
    virtual std::shared_ptr<sheet::CubeFields> CubeFields() = 0;
    // The fields the table shows: one per level of each placed dimension
    // ("[Dimension].[Level]") and one per data field. Item by an unknown name
    // throws 1004.
    virtual std::shared_ptr<sheet::PivotFields> PivotFields() = 0;
    // The data fields (measures with orientation kDataField) in position order.
    virtual std::shared_ptr<sheet::PivotFields> DataFields() = 0;

    virtual std::shared_ptr<Worksheet> Parent() = 0;
};

class PivotTables : public Collection<PivotTable> {
public:
    using Collection<PivotTable>::Item;
    // The table named `name` (exact comparison). Throws 1004 when none is.
    virtual std::shared_ptr<PivotTable> Item(const std::string& name) = 0;
};

}  // namespace sheet
