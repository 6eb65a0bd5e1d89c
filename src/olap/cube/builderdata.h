// What a CubeBuilder holds while a cube is being made. Private to the
// builder and the writer.
#pragma once

#include "olap/cube/cubebuilder.h"

#include <string>
#include <unordered_map>
#include <vector>

namespace olap {

// A member as it was first seen: parent is an index into the level above, in
// the order members were first seen there.
struct MemberBuild {
    int32_t parent = -1;
    std::string name;
    std::string caption;
    double ordinal = 0;
};

struct HierarchyBuild {
    HierarchyBuild(const DimensionSpec& dimension, const HierarchySpec& spec);
    // Adds the members of `path` (below the "all" member) that are new and
    // returns the index of its deepest member in the deepest level.
    uint32_t addPath(const std::vector<PathPart>& path);

    bool hasAll = false;
    std::vector<std::vector<MemberBuild>> levels;
    // Per level: "parent index \x1f name" -> index in that level.
    std::vector<std::unordered_map<std::string, uint32_t>> lookup;
    std::vector<uint32_t> memberOfKey;  // key -> index in the deepest level
};

struct DimensionBuild {
    std::vector<HierarchyBuild> hierarchies;
    // The first hierarchy's path of a key ("name \x1f name \x1f ...") -> key.
    std::unordered_map<std::string, uint32_t> keyOfPath;
};

class CubeBuilder::Data {
public:
    CubeSpec spec;
    std::vector<DimensionBuild> dimensions;
    std::vector<std::vector<uint32_t>> keys;   // [dimension][fact]
    std::vector<std::vector<double>> values;   // [measure][fact]; a distinct count's ids as numbers
    // Per measure: a distinct count's value -> id (from 1); empty for other measures.
    std::vector<std::unordered_map<std::string, uint32_t>> distinctIds;
    uint64_t factCount = 0;
};

}  // namespace olap
