// What a pivot table over a cube is asked to show: which cube fields lie on
// which axis in which order, which members are drilled open or hidden, the
// totals and the number formats. Pure state with the host's rules for
// changing it; turning it into a query and cells is pivotgrid.h's work.
//
// The cube fields, in this order: one per dimension ("[Time]"), the values
// field "[Measures]" (where the data fields go: columns unless placed on the
// rows), one per measure ("[Measures].[Sales Amount]"), and, for every
// dimension of type measure (a list of measures kept as a dimension), one per
// member of its top level that names a measure ("[Measure List].[Units]"):
// the same data field as the measure under another name.
#pragma once

#include "sheet/constants.h"
#include "sheet/variant.h"
#include "olap/query/querymembers.h"
#include "olap/cube/schema.h"

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace sheet::pivot {

using Subtotals = std::array<bool, kSubtotalCount>;

struct LevelState {
    Subtotals subtotals{true};           // automatic subtotals on
    VariantArray hiddenList;             // as last assigned
    std::set<uint32_t> hidden;           // its members
};

struct DimensionState {
    int32_t orientation = kHidden;
    VariantArray drilledTable = VariantArray::twoDimensional(0, 0);
    VariantArray hiddenTable = VariantArray::twoDimensional(0, 0);
    std::set<uint32_t> drilled;
    std::set<uint32_t> treeHidden;
    std::map<uint16_t, LevelState> levels;  // by level index in the hierarchy
    std::set<uint32_t> pageSelected;        // as a page field: the members counted; empty: all
};

struct MeasureState {
    int32_t orientation = kHidden;
    std::optional<std::string> numberFormat;  // set by the caller; else the cube's format
};

// A cube field: what its name refers to.
struct CubeFieldEntry {
    enum class Kind { Dimension, Values, Measure };
    std::string name;
    Kind kind = Kind::Dimension;
    uint32_t index = 0;  // the dimension or measure
};

// A pivot field: one level of a placed dimension, or one data field.
struct PivotFieldEntry {
    std::string name;
    bool data = false;
    uint32_t index = 0;  // the dimension, or the measure of a data field
    uint16_t level = 0;  // level index in the dimension's hierarchy
};

class PivotDesign {
public:
    // Requires: `cube` outlives the design.
    explicit PivotDesign(const olap::CubeInfo& cube);

    const olap::CubeInfo& cube() const { return *mCube; }
    const std::vector<CubeFieldEntry>& cubeFields() const { return mCubeFields; }
    std::optional<size_t> findCubeField(std::string_view name) const;

    // Orientation and 1-based position of cube field `field` (an index into
    // cubeFields()). Setting follows the host's rules and throws 1004 for a
    // value the field cannot take (a dimension as data, a measure on an axis,
    // a position outside 1 .. the fields of that orientation).
    int32_t orientation(size_t field) const;
    void setOrientation(size_t field, int32_t orientation);
    int32_t position(size_t field) const;
    void setPosition(size_t field, int32_t position);

    // The dimensions on an axis (kRowField, kColumnField, kPageField) and the
    // measures shown (kDataField), in position order.
    const std::vector<uint32_t>& axis(int32_t orientation) const { return mAxes.at(orientation); }
    // True while no field is on the rows, the columns, the pages or the data:
    // such a table draws nothing.
    bool empty() const;
    // Where the data fields go: kColumnField unless "[Measures]" is on the rows.
    int32_t valuesAxis() const { return mValuesOrientation == kRowField ? kRowField : kColumnField; }

    DimensionState& dimension(uint32_t d) { return mDimensions.at(d); }
    const DimensionState& dimension(uint32_t d) const { return mDimensions.at(d); }
    MeasureState& measure(uint32_t m) { return mMeasures.at(m); }
    const MeasureState& measure(uint32_t m) const { return mMeasures.at(m); }

    // The pivot fields the table has now: the levels (below any "all" level)
    // of every placed dimension in cube order, then the data fields.
    std::vector<PivotFieldEntry> pivotFields() const;

    // The members a table of unique names names (empty slots ignored).
    // Throws 1004 naming `field` and the first name that is no member of the
    // dimension, or (with `level`) no member of that level.
    std::set<uint32_t> resolveMembers(uint32_t dimension, const VariantArray& names,
                                      std::optional<uint16_t> level = std::nullopt) const;

    bool rowGrand = true;
    bool columnGrand = true;
    int32_t autoformat = 0;  // the table autoformat applied last (kTableFormat13, ...); 0: none

private:
    int32_t& orientationRef(const CubeFieldEntry& entry);
    std::vector<uint32_t>* axisOf(const CubeFieldEntry& entry, int32_t orientation);

    const olap::CubeInfo* mCube;
    std::vector<CubeFieldEntry> mCubeFields;
    std::vector<DimensionState> mDimensions;
    std::vector<MeasureState> mMeasures;
    int32_t mValuesOrientation = kHidden;
    std::map<int32_t, std::vector<uint32_t>> mAxes;
    mutable std::map<uint32_t, olap::MemberNameIndex> mNameIndexes;
};

}  // namespace sheet::pivot
