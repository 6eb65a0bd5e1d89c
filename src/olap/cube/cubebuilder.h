// Making cube files: describe the cube, name the members of each fact, add
// the facts, write the file. Used by the command-line cube builder, the
// sample generator and tests that need a small real cube.
//
//     olap::CubeSpec spec{"Sales", {{"Time", DimensionType::Time, {{"Time", false, {}, {{"Year"}, {"Quarter"}}}}}},
//                         {{"Units", Aggregation::Sum, "#,##0"}}};
//     olap::CubeBuilder cube(spec);
//     uint32_t q1 = cube.dimensionKey(0, {{{"1997"}, {"Q1"}}});
//     cube.addFact({q1}, {12.0});
//     olap::writeCubeFile("sales.cub", "Sales", {&cube});
#pragma once

#include "olap/cube/schema.h"

#include <filesystem>
#include <limits>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace olap {

// The order of a level's members among the children of one parent. Names
// and keys compare as numbers when both are numbers, else as text (bytes).
enum class MemberOrder : uint8_t {
    FirstSeen,  // as the members were first seen (the source table's order)
    Name,       // by caption, what users see
    Key,        // by name, the level column's value
    Ordinal,    // by each member's PathPart::ordinal
};

struct LevelSpec {
    std::string name;
    bool namedByKey = false;  // unique names of this level's members use the "&" key marker
    MemberOrder order = MemberOrder::FirstSeen;
    bool descending = false;
};

struct HierarchySpec {
    std::string name;                 // empty: the dimension's name
    bool hasAllLevel = false;         // adds a top "all" level holding one member
    std::string allMemberName;        // empty: "All " + dimension name
    std::vector<LevelSpec> levels;    // top first, without the "all" level
};

struct DimensionSpec {
    std::string name;
    DimensionType type = DimensionType::Other;
    std::vector<HierarchySpec> hierarchies;  // at least one
};

struct MeasureSpec {
    std::string name;
    Aggregation aggregation = Aggregation::Sum;
    std::string formatString = {};
};

// A measure computed from other measures' aggregated cells
// (measureformula.h); it follows every stored measure in the cube.
struct CalculatedMeasureSpec {
    std::string name;
    std::string formula;
    std::string formatString = {};
};

struct CubeSpec {
    std::string name;
    std::vector<DimensionSpec> dimensions;
    std::vector<MeasureSpec> measures;  // stored: one value per fact
    std::vector<CalculatedMeasureSpec> calculatedMeasures = {};
};

// One member on a path from the top level down: its name and caption.
struct PathPart {
    std::string name;
    std::string caption = {};  // empty: the name
    double ordinal = 0;        // the member's place for MemberOrder::Ordinal; the first seen counts
};

// A value no fact has: the cell of this measure is empty for that fact.
inline constexpr double kEmpty = std::numeric_limits<double>::quiet_NaN();

class CubeBuilder {
public:
    // Throws Failure for a spec that cannot make a cube: no name, a dimension
    // without levels, duplicate dimension, level or measure names, a
    // dimension named like the measures dimension, or a calculated measure
    // whose formula does not parse, names an unknown measure or refers to
    // itself.
    explicit CubeBuilder(CubeSpec spec);
    ~CubeBuilder();
    CubeBuilder(CubeBuilder&&) noexcept;
    CubeBuilder& operator=(CubeBuilder&&) noexcept;

    const CubeSpec& spec() const;

    // The key of the dimension member that `paths` name: one path per
    // hierarchy of the dimension, in spec order, each with one part per level
    // (the "all" level excluded). The first hierarchy's path identifies the
    // key; the same path again returns the same key. Members appear in their
    // level's order; with MemberOrder::FirstSeen in the order their paths are
    // first seen.
    // Throws Failure when a path has the wrong number of parts, or when a key
    // already known is given a different path in another hierarchy
    // ("duplicate member key").
    uint32_t dimensionKey(size_t dimension, std::span<const std::vector<PathPart>> paths);
    // The same for a dimension with a single hierarchy.
    uint32_t dimensionKey(size_t dimension, const std::vector<PathPart>& path);

    // The id of `value` in the column of distinct count measure `measure`:
    // the same value gives the same id, ids count from 1 in order of first
    // sight. Any text is a value (keys, names, numbers as written). Throws
    // Failure for a measure that is not a distinct count.
    uint32_t distinctId(size_t measure, std::string_view value);

    // Adds one fact: a key per dimension (from dimensionKey) and a value per
    // measure (kEmpty for none; for a distinct count, an id from distinctId).
    // Throws Failure for a wrong count, an unknown key or an unknown id.
    void addFact(std::span<const uint32_t> keys, std::span<const double> values);

    uint64_t factCount() const;

    class Data;
    // For the writer: what has been collected.
    const Data& data() const { return *d; }

private:
    uint32_t checkSameKey(size_t dimension, uint32_t key, std::span<const std::vector<PathPart>> paths);
    std::unique_ptr<Data> d;
};

// The measures of a cube made from `spec`, as readers will see them: the
// stored ones, then the calculated ones.
std::vector<MeasureInfo> measureInfos(const CubeSpec& spec);

// Writes a catalog holding the given cubes to `file`: into a temporary file
// beside it, renamed over `file` only when complete. Throws Failure naming
// the file when it cannot be written; an existing file is then untouched.
void writeCubeFile(const std::filesystem::path& file, const std::string& catalogName,
                   std::span<CubeBuilder* const> cubes);

}  // namespace olap
