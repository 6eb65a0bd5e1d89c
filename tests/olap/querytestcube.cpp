#include "querytestcube.h"

#include <algorithm>
#include <numeric>
#include <stdexcept>

namespace olap::testing {

namespace {

std::string bracketed(const std::string& name)
{
    std::string out = "[";
    for (char c : name)
        out.append(c == ']' ? 2 : 1, c);
    return out + "]";
}

}  // namespace

TestCubeMaker::TestCubeMaker(CubeSpec spec) : mSpec(std::move(spec))
{
    for (const DimensionSpec& dimension : mSpec.dimensions) {
        std::vector<Hierarchy> hierarchies;
        for (const HierarchySpec& hierarchy : dimension.hierarchies) {
            Hierarchy made;
            made.levels.resize(hierarchy.levels.size() + (hierarchy.hasAllLevel ? 1 : 0));
            made.lookup.resize(made.levels.size());
            if (hierarchy.hasAllLevel) {
                const bool named = !hierarchy.allMemberName.empty();
                made.levels[0].push_back({-1, named ? hierarchy.allMemberName : "All " + dimension.name});
            }
            hierarchies.push_back(std::move(made));
        }
        mHierarchies.push_back(std::move(hierarchies));
    }
    mKeys.resize(mSpec.dimensions.size());
    mFacts.keys.resize(mSpec.dimensions.size());
    mFacts.values.resize(mSpec.measures.size());
}

uint32_t TestCubeMaker::addPath(size_t dimension, size_t hierarchy, const std::vector<std::string>& path)
{
    Hierarchy& made = mHierarchies[dimension][hierarchy];
    const size_t top = made.levels.size() - path.size();
    if (top > 1 || (top == 1) != mSpec.dimensions[dimension].hierarchies[hierarchy].hasAllLevel)
        throw std::invalid_argument("a path needs one name per level");
    int32_t parent = top == 1 ? 0 : -1;
    for (size_t i = 0; i < path.size(); ++i) {
        auto& lookup = made.lookup[top + i];
        auto [at, added] = lookup.try_emplace({parent, path[i]}, uint32_t(made.levels[top + i].size()));
        if (added)
            made.levels[top + i].push_back({parent, path[i]});
        parent = int32_t(at->second);
    }
    return uint32_t(parent);
}

uint32_t TestCubeMaker::keyOfPaths(size_t dimension, const std::vector<std::vector<std::string>>& paths)
{
    auto& keys = mKeys.at(dimension);
    if (paths.size() != mHierarchies[dimension].size())
        throw std::invalid_argument("one path per hierarchy");
    if (const auto known = keys.find(paths[0]); known != keys.end())
        return known->second;
    const uint32_t key = uint32_t(keys.size());
    keys.emplace(paths[0], key);
    for (size_t h = 0; h < paths.size(); ++h)
        mHierarchies[dimension][h].memberOfKey.push_back(addPath(dimension, h, paths[h]));
    return key;
}

void TestCubeMaker::addFact(const std::vector<uint32_t>& keys, const std::vector<double>& values)
{
    if (keys.size() != mFacts.keys.size() || values.size() != mFacts.values.size())
        throw std::invalid_argument("one key per dimension and one value per measure");
    for (size_t d = 0; d < keys.size(); ++d)
        mFacts.keys[d].push_back(keys[d]);
    for (size_t m = 0; m < values.size(); ++m)
        mFacts.values[m].push_back(values[m]);
    ++mFacts.rowCount;
}

// Level by level; within a level grouped by parent in the parent's order,
// then in order of first sight, as cube files store them.
HierarchyInfo TestCubeMaker::makeHierarchy(size_t dimension, size_t hierarchy) const
{
    const DimensionSpec& dimensionSpec = mSpec.dimensions[dimension];
    const HierarchySpec& spec = dimensionSpec.hierarchies[hierarchy];
    const Hierarchy& made = mHierarchies[dimension][hierarchy];
    HierarchyInfo info;
    info.name = spec.name.empty() ? dimensionSpec.name : spec.name;
    const std::string prefix = bracketed(hierarchy == 0 ? dimensionSpec.name : dimensionSpec.name + "." + info.name);
    std::vector<uint32_t> above;  // global index of each member of the level above, by sight order
    for (size_t level = 0; level < made.levels.size(); ++level) {
        const bool all = spec.hasAllLevel && level == 0;
        const LevelSpec levelSpec = all ? LevelSpec{"(All)", false} : spec.levels[level - (spec.hasAllLevel ? 1 : 0)];
        const auto& members = made.levels[level];
        std::vector<uint32_t> order(members.size());
        std::iota(order.begin(), order.end(), 0u);
        std::stable_sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) {
            return members[a].parent >= 0 && above[members[a].parent] < above[members[b].parent];
        });
        info.levels.push_back({levelSpec.name, all ? LevelType::All : LevelType::Regular, levelSpec.namedByKey,
                               uint32_t(info.members.size()), uint32_t(members.size())});
        std::vector<uint32_t> global(members.size());
        for (uint32_t sight : order) {
            global[sight] = uint32_t(info.members.size());
            MemberInfo member;
            member.name = member.caption = members[sight].name;
            member.level = uint16_t(level);
            member.parent = members[sight].parent < 0 ? -1 : int32_t(above[members[sight].parent]);
            member.uniqueName = member.parent < 0 ? prefix : info.members[member.parent].uniqueName;
            member.uniqueName += levelSpec.namedByKey ? ".&" : ".";
            member.uniqueName += bracketed(member.name);
            if (member.parent >= 0) {
                MemberInfo& parent = info.members[member.parent];
                if (parent.childCount++ == 0)
                    parent.firstChild = uint32_t(info.members.size());
            }
            info.members.push_back(std::move(member));
        }
        above = std::move(global);
    }
    for (uint32_t sight : made.memberOfKey)
        info.memberOfKey.push_back(above[sight]);
    return info;
}

TestCube TestCubeMaker::make() const
{
    TestCube cube;
    cube.info.name = mSpec.name;
    for (size_t d = 0; d < mSpec.dimensions.size(); ++d) {
        const DimensionSpec& spec = mSpec.dimensions[d];
        DimensionInfo dimension{spec.name, bracketed(spec.name), spec.type, uint32_t(mKeys[d].size()), {}};
        for (size_t h = 0; h < spec.hierarchies.size(); ++h)
            dimension.hierarchies.push_back(makeHierarchy(d, h));
        cube.info.dimensions.push_back(std::move(dimension));
    }
    for (const MeasureSpec& measure : mSpec.measures)
        cube.info.measures.push_back({measure.name, measure.aggregation, measure.formatString});
    cube.info.factCount = mFacts.rowCount;
    cube.facts = mFacts;
    return cube;
}

}  // namespace olap::testing
