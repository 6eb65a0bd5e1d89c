// A pivot cache: the connection to a cube from which pivot tables are made.
#pragma once

#include "sheet/collection.h"
#include "sheet/variant.h"

#include <cstdint>
#include <memory>
#include <string>

namespace sheet {

class PivotTable;
class Range;

class PivotCache {
public:
    virtual ~PivotCache() = default;

    // The connection string, given as a one-dimensional array of texts that
    // are joined in order ("OLEDB;Provider=...;Data Source=...;Initial
    // Catalog=..."). Reading gives the joined text. Throws 13 for a
    // two-dimensional array.
    virtual std::string Connection() = 0;
    virtual void Connection(const VariantArray& parts) = 0;

    // kCommandCube (1): the command text names a cube.
    virtual int32_t CommandType() = 0;
    virtual void CommandType(int32_t type) = 0;

    // The command, given as a one-dimensional array of texts joined in order
    // (the cube name). Throws 13 for a two-dimensional array.
    virtual std::string CommandText() = 0;
    virtual void CommandText(const VariantArray& parts) = 0;

    // Makes a pivot table named `tableName` with its top-left cell at the top
    // left of `destination`, on the destination's worksheet. Throws 1004 when
    // the sheet already has a pivot table of that name, when the destination
    // lies inside another pivot table, or when the cube cannot be reached.
    virtual std::shared_ptr<PivotTable> CreatePivotTable(const std::shared_ptr<Range>& destination,
                                                         const std::string& tableName) = 0;
};

class PivotCaches : public Collection<PivotCache> {
public:
    // A new cache for `sourceType`; only kExternalSource (2) is served, any
    // other value throws 1004.
    virtual std::shared_ptr<PivotCache> Add(int32_t sourceType) = 0;
};

}  // namespace sheet
