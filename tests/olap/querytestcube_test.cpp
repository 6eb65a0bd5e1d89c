// The cube made in memory for the query tests against a real cube file of
// the same facts: the file must hold the same levels, members (in the same
// order, with the same unique names) and facts, so that the query tests on
// memory cubes hold for cube files, and the test cubes stay honest.
#include "olap/cube/cubebuilder.h"
#include "olap/cube/cubefile.h"
#include "olap/cube/facttable.h"
#include "olaptestsupport.h"
#include "querytestcube.h"

#include <cmath>
#include <random>
#include <tuple>

namespace olap {
namespace {

CubeSpec salesSpec()
{
    HierarchySpec time{{}, true, {}, {{"Year", false}, {"Quarter", true}, {"Month", true}}};
    HierarchySpec product{{}, false, {}, {{"Category", false}, {"Item", false}}};
    HierarchySpec store{{}, true, "Everywhere", {{"City", false}}};
    return {"Sales",
            {{"Time", DimensionType::Time, {time}}, {"Product", DimensionType::Other, {product}},
             {"Store", DimensionType::Other, {store}}},
            {{"Units", Aggregation::Sum, {}}, {"Orders", Aggregation::Count, {}}, {"Low", Aggregation::Min, {}},
             {"High", Aggregation::Max, {}}, {"Price", Aggregation::Average, {}}}};
}

// The same random facts in a cube file and in memory. Members appear in an
// order that differs from their display order, so that both sides must sort
// them the same way; a city's name holds a closing bracket.
TEST(MemoryCubeAgainstCubeFile, TheFileHoldsTheLevelsMembersAndFactsOfTheCubeInMemory)
{
    testing::TestCubeMaker maker(salesSpec());
    CubeBuilder builder(salesSpec());
    std::mt19937_64 random(7);
    const char* items[][3] = {{"Fruit", "Pear", "Apple"}, {"Veg", "Leek", "Kale"}, {"Nuts", "Pecan", "Almond"}};
    for (int i = 0; i < 400; ++i) {
        const int year = 1999 - int(random() % 3), quarter = 4 - int(random() % 4);
        const auto& item = items[random() % 3];
        const std::vector<std::vector<std::string>> paths{
            {std::to_string(year), "Q" + std::to_string(quarter), "M" + std::to_string(quarter * 3 - int(random() % 3))},
            {item[0], item[1 + random() % 2]},
            {random() % 2 ? "Lyon" : "Oslo]"}};
        std::vector<double> values;
        for (int m = 0; m < 5; ++m)
            values.push_back(random() % 6 == 0 ? kEmpty : double(int(random() % 200) - 50) / 4);
        std::vector<uint32_t> keys, builtKeys;
        for (size_t d = 0; d < paths.size(); ++d) {
            keys.push_back(maker.key(d, paths[d]));
            std::vector<PathPart> path;
            for (const std::string& name : paths[d])
                path.push_back({name, {}});
            builtKeys.push_back(builder.dimensionKey(d, path));
        }
        maker.addFact(keys, values);
        builder.addFact(builtKeys, values);
    }
    const testing::TestCube memory = maker.make();
    ScratchFolder folder;
    CubeBuilder* cubes[] = {&builder};
    writeCubeFile(folder / "sales.cub", "Catalog", cubes);
    const auto file = CubeFile::open(folder / "sales.cub");
    const CubeInfo& fileCube = file->catalog().cubes.at(0);
    for (size_t d = 0; d < memory.info.dimensions.size(); ++d) {
        SCOPED_TRACE(memory.info.dimensions[d].name);
        EXPECT_EQ(fileCube.dimensions[d].keyCount, memory.info.dimensions[d].keyCount);
        const auto& memoryHierarchy = memory.info.dimensions[d].hierarchies[0];
        const auto& fileHierarchy = fileCube.dimensions[d].hierarchies[0];
        ASSERT_EQ(memoryHierarchy.levels.size(), fileHierarchy.levels.size());
        for (size_t l = 0; l < memoryHierarchy.levels.size(); ++l) {
            const LevelInfo &a = memoryHierarchy.levels[l], &b = fileHierarchy.levels[l];
            EXPECT_EQ(std::tie(a.name, a.type, a.namedByKey, a.firstMember, a.memberCount),
                      std::tie(b.name, b.type, b.namedByKey, b.firstMember, b.memberCount));
        }
        ASSERT_EQ(memoryHierarchy.members.size(), fileHierarchy.members.size());
        for (size_t m = 0; m < memoryHierarchy.members.size(); ++m) {
            const MemberInfo &a = memoryHierarchy.members[m], &b = fileHierarchy.members[m];
            EXPECT_EQ(std::tie(a.uniqueName, a.name, a.caption, a.level, a.parent, a.firstChild, a.childCount),
                      std::tie(b.uniqueName, b.name, b.caption, b.level, b.parent, b.firstChild, b.childCount));
        }
        EXPECT_EQ(memoryHierarchy.memberOfKey, fileHierarchy.memberOfKey);
    }
    const auto facts = file->facts(0);
    ASSERT_EQ(facts->rowCount, memory.facts.rowCount);
    EXPECT_EQ(facts->keys, memory.facts.keys);
    for (size_t m = 0; m < facts->values.size(); ++m) {
        for (uint64_t row = 0; row < facts->rowCount; ++row) {
            const double a = facts->values[m][row], b = memory.facts.values[m][row];
            EXPECT_TRUE(a == b || (std::isnan(a) && std::isnan(b))) << "measure " << m << " row " << row;
        }
    }
}

}  // namespace
}  // namespace olap
