// The query engine on a real cube file: the same facts built with the cube
// builder, written, opened and read back give the same pivots as the cube
// made in memory for the other query tests. This also keeps the test cubes
// honest: their members must be ordered and named as cube files name them.
#include "olap/cube/cubebuilder.h"
#include "olap/cube/cubefile.h"
#include "olap/cube/facttable.h"
#include "olap/query/query.h"
#include "olap/query/querymembers.h"
#include "olaptestsupport.h"
#include "querytestcube.h"
#include "querytestscript.h"

#include <random>

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
class QueryOnCubeFile : public ::testing::Test {
protected:
    QueryOnCubeFile()
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
        mMemory = maker.make();
        CubeBuilder* cubes[] = {&builder};
        writeCubeFile(mFolder / "sales.cub", "Catalog", cubes);
        mFile = CubeFile::open(mFolder / "sales.cub");
    }

    const CubeInfo& fileCube() const { return mFile->catalog().cubes.at(0); }

    // The memory cube's query with every member renamed to the file cube's
    // member of the same unique name.
    PivotQuery forFile(PivotQuery query) const
    {
        auto rename = [&](uint32_t dimension, std::vector<uint32_t>& members) {
            const auto& from = mMemory.info.dimensions[dimension].hierarchies[0];
            const auto& to = fileCube().dimensions[dimension].hierarchies[0];
            for (uint32_t& member : members)
                member = findMember(to, from.members[member].uniqueName).value_or(UINT32_MAX);
        };
        for (QueryAxis* axis : {&query.rows, &query.columns}) {
            for (AxisField& field : axis->fields) {
                rename(field.dimension, field.drilled);
                rename(field.dimension, field.hidden);
            }
        }
        for (PageField& page : query.pages)
            rename(page.dimension, page.selected);
        return query;
    }

    ScratchFolder mFolder;
    testing::TestCube mMemory;
    std::shared_ptr<const CubeFile> mFile;
};

TEST_F(QueryOnCubeFile, MembersAreOrderedAndNamedAsInMemory)
{
    for (size_t d = 0; d < mMemory.info.dimensions.size(); ++d) {
        const auto& memory = mMemory.info.dimensions[d].hierarchies[0];
        const auto& file = fileCube().dimensions[d].hierarchies[0];
        ASSERT_EQ(memory.members.size(), file.members.size());
        for (size_t m = 0; m < memory.members.size(); ++m)
            EXPECT_EQ(memory.members[m].uniqueName, file.members[m].uniqueName);
        EXPECT_EQ(memory.memberOfKey, file.memberOfKey);
    }
}

TEST_F(QueryOnCubeFile, PivotsMatchThePivotsOfTheCubeInMemory)
{
    const auto facts = mFile->facts(0);
    std::mt19937_64 random(11);
    for (int q = 0; q < 40; ++q) {
        const auto& info = mMemory.info;
        PivotQuery query;
        std::vector<uint32_t> dimensions{0, 1, 2};
        std::shuffle(dimensions.begin(), dimensions.end(), random);
        for (uint32_t d : dimensions) {
            const auto& members = info.dimensions[d].hierarchies[0].members;
            AxisField field{d, 0, {}, {}};
            for (uint32_t m = 0; m < members.size(); ++m) {
                if (random() % 2)
                    field.drilled.push_back(m);
                if (random() % 12 == 0)
                    field.hidden.push_back(m);
            }
            if (random() % 3 == 0)
                query.pages.push_back({d, 0, {uint32_t(random() % members.size())}});
            else
                (random() % 2 ? query.rows : query.columns).fields.push_back(field);
        }
        query.measures = {0, 1, 2, 3, 4};
        const QueryResult expected = runQuery(info, mMemory.facts, query);
        const PivotQuery fileQuery = forFile(query);
        const QueryResult actual = runQuery(fileCube(), *facts, fileQuery);
        EXPECT_EQ(testing::renderResult(fileCube(), fileQuery, actual), testing::renderResult(info, query, expected))
            << "query " << q;
    }
}

}  // namespace
}  // namespace olap
