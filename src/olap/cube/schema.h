// The metadata of a catalog of cubes, as the cube engine holds it in memory:
// dimensions with their hierarchies, levels and members, and measures.
// Plain data, cheap to read: opening a cube file fills these and nothing else.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace olap {

class MemberSource;  // members read on demand (model/membersource.h)

// OLAP dimension type codes, the numbers callers compare with.
enum class DimensionType : int32_t { Unknown = 0, Time = 1, Measure = 2, Other = 3 };

// OLAP level type codes; 1 marks an "all" level (one member above everything).
enum class LevelType : int32_t { Regular = 0, All = 1 };

// How a measure combines the facts of a cell. Empty facts (no value) are left
// out of every aggregation; Count counts the facts that have a value.
// DistinctCount counts the different values of its column among a cell's
// facts: it cannot be added up from the cells below, so every cell, subtotal
// and total is counted from its own facts (the facts hold each value as a
// dense id, cubeformat.h).
enum class Aggregation : uint8_t { Sum = 0, Count = 1, Min = 2, Max = 3, Average = 4, DistinctCount = 5 };

// The name of the dimension that holds the measures, as unique names spell it.
inline constexpr const char* kMeasuresDimensionName = "Measures";

struct MemberInfo {
    std::string name;        // the member's own name ("Q1"); its key text when named by key
    std::string caption;     // what users see
    std::string uniqueName;  // "[Time].[1997].[Q1]"; a part named by key carries "&": "[Time].&[1997]"
    int32_t parent = -1;     // index into HierarchyInfo::members; -1 on the top level
    uint16_t level = 0;      // 0 = the hierarchy's top level
    uint32_t firstChild = 0; // children are members [firstChild, firstChild + childCount)
    uint32_t childCount = 0;
};

struct LevelInfo {
    std::string name;
    LevelType type = LevelType::Regular;
    bool namedByKey = false;   // members of this level are named by key (unique names use "&")
    uint32_t firstMember = 0;  // the level's members are [firstMember, firstMember + memberCount)
    uint32_t memberCount = 0;
};

struct HierarchyInfo {
    std::string name;
    std::vector<LevelInfo> levels;    // top first; an "all" level, when present, is levels[0]
    // Level by level, top first; within a level in display order, the
    // children of one parent next to each other in their order.
    std::vector<MemberInfo> members;
    // For each dimension key (what facts refer to), its member on the deepest level.
    std::vector<uint32_t> memberOfKey;
    // Set when the members are read on demand (a cube on a server): `members`
    // and `memberOfKey` are then empty, the levels' ranges still count every
    // member, and memberOf() (model/membersource.h) reads them from here.
    std::shared_ptr<const MemberSource> memberSource;
};

struct DimensionInfo {
    std::string name;        // the caption used everywhere to find the dimension again
    std::string fieldName;   // the cube field name: "[" + name + "]"
    DimensionType type = DimensionType::Other;
    uint32_t keyCount = 0;   // distinct keys the facts refer to
    std::vector<HierarchyInfo> hierarchies;  // at least one
};

struct MeasureInfo {
    std::string name;          // "Sales Amount"; unique name "[Measures].[Sales Amount]"
    Aggregation aggregation = Aggregation::Sum;
    std::string formatString;  // default number format, e.g. "#,##0.00"; may be empty
    // Not empty: a calculated measure, computed from other measures' aggregated
    // cells by this formula (cube/measureformula.h); it has no fact column and
    // its aggregation means nothing. Calculated measures follow every stored one.
    std::string formula = {};
    // DistinctCount: how many different values the column holds. The facts
    // hold ids 1..distinctValues; 0 is a fact without a value.
    uint32_t distinctValues = 0;
    bool calculated() const { return !formula.empty(); }
};

struct CubeInfo {
    std::string name;
    std::vector<DimensionInfo> dimensions;  // in cube order; the measures are not among them
    std::vector<MeasureInfo> measures;  // the stored measures (fact columns), then the calculated ones
    uint64_t factCount = 0;
};

// The number of stored measures: the fact columns of the measures.
inline size_t storedMeasureCount(const CubeInfo& cube)
{
    size_t count = 0;
    while (count < cube.measures.size() && !cube.measures[count].calculated())
        ++count;
    return count;
}

struct CatalogInfo {
    std::string name;
    std::vector<CubeInfo> cubes;
};

}  // namespace olap
