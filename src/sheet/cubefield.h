// A cube field of a pivot table (a dimension or a measure of the cube) and its
// tree-view state: which members are drilled open and which hidden.
#pragma once

#include "sheet/collection.h"
#include "sheet/variant.h"

#include <cstdint>
#include <memory>
#include <string>

namespace sheet {

// The member tree of a dimension field. Both tables are two-dimensional
// arrays of member unique names (with or without "&" key markers and the
// "all" member's part), one row per level by convention; the rows only group
// the names, and empty slots are ignored. Assigning a table replaces the
// previous state. Throws 13 for a table that is not two-dimensional, and 1004
// naming the member when a slot names no member of the dimension; the state
// is then left as it was.
class TreeviewControl {
public:
    virtual ~TreeviewControl() = default;

    virtual VariantArray Drilled() = 0;
    virtual void Drilled(const VariantArray& table) = 0;

    virtual VariantArray Hidden() = 0;
    virtual void Hidden(const VariantArray& table) = 0;
};

class CubeField {
public:
    virtual ~CubeField() = default;

    // "[Dimension]" or "[Measures].[Name]".
    virtual std::string Name() = 0;

    // kHidden (0), kRowField (1), kColumnField (2), kPageField (3) or
    // kDataField (4). A dimension cannot become a data field and a measure
    // only a data field (or hidden): both throw 1004, as does any other value.
    virtual int32_t Orientation() = 0;
    virtual void Orientation(int32_t orientation) = 0;

    // 1-based place among the fields of the same orientation. Throws 1004
    // outside 1 .. that count, or for a field with orientation kHidden.
    virtual int32_t Position() = 0;
    virtual void Position(int32_t position) = 0;

    // The field's member tree. Throws 1004 for a measure.
    virtual std::shared_ptr<sheet::TreeviewControl> TreeviewControl() = 0;
};

class CubeFields : public Collection<CubeField> {
public:
    using Collection<CubeField>::Item;
    // The field named `name` (exact comparison). Throws 1004 when none is.
    virtual std::shared_ptr<CubeField> Item(const std::string& name) = 0;
};

}  // namespace sheet
