// Small cubes made in memory for query tests: the metadata and facts that
// opening a cube file would give, without the file. Members are ordered and
// named the way cube files name them (level by level, grouped by parent,
// unique names "[Dimension].[All Dimension].[1997].&[Q1]").
#pragma once

#include "olap/cube/cubebuilder.h"
#include "olap/cube/facttable.h"
#include "olap/cube/schema.h"

#include <map>
#include <string>
#include <vector>

namespace olap::testing {

struct TestCube {
    CubeInfo info;
    FactTable facts;
};

class TestCubeMaker {
public:
    // Uses the CubeSpec's names, types, levels and measures as the cube builder
    // does; captions are the names.
    explicit TestCubeMaker(CubeSpec spec);

    const CubeSpec& spec() const { return mSpec; }

    // The key of the member named by one path per hierarchy (names from the
    // top level down, the "all" level left out). The first hierarchy's path
    // identifies the key.
    uint32_t keyOfPaths(size_t dimension, const std::vector<std::vector<std::string>>& paths);
    // The same for a dimension with one hierarchy.
    uint32_t key(size_t dimension, const std::vector<std::string>& path) { return keyOfPaths(dimension, {path}); }

    void addFact(const std::vector<uint32_t>& keys, const std::vector<double>& values);

    TestCube make() const;

private:
    struct Member {
        int32_t parent = -1;  // index in the level above, in order of first sight
        std::string name;
    };
    struct Hierarchy {
        std::vector<std::vector<Member>> levels;
        std::vector<std::map<std::pair<int32_t, std::string>, uint32_t>> lookup;
        std::vector<uint32_t> memberOfKey;  // index in the deepest level
    };
    uint32_t addPath(size_t dimension, size_t hierarchy, const std::vector<std::string>& path);
    HierarchyInfo makeHierarchy(size_t dimension, size_t hierarchy) const;

    CubeSpec mSpec;
    std::vector<std::vector<Hierarchy>> mHierarchies;            // [dimension][hierarchy]
    std::vector<std::map<std::vector<std::string>, uint32_t>> mKeys;  // first path -> key
    FactTable mFacts;
};

}  // namespace olap::testing
