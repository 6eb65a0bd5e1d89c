// Pivots computed on a server against the local engine on the same cube:
// random cubes and random pivots (hidden members, page selections, every
// aggregation, subtotals and empty rules at random) published to one server
// and to a two-shard cluster, a pivot of more than 100,000 cells, and the
// calculated, filtered and distinct measures of the modelling cube of
// tests/olap/data built from its CSV files; every tuple and every cell must
// be the same. The local engine is itself checked against SQLite
// (tests/olap/query_sqlite_test.cpp, tests/olap/cubemodelling_test.cpp).
#include "olap/connection/providerserver.h"
#include "olap/cube/cubefile.h"
#include "olap/query/query.h"
#include "randompivots.h"
#include "servertest.h"
#include "support/clickhouseserver.h"
#include "support/requiredprograms.h"

#include <numeric>

namespace olap {
namespace {

using namespace randompivots;
using testsupport::TestCluster;
using testsupport::TestServer;

// A cube with more than 100,000 leaf cells when both dimensions are opened:
// 500 leaves each way, 300,000 facts, and a third dimension for pages; with
// two calculated measures beside the stored ones (one reads the distinct count,
// of 20,000 values: ids grouped in several buckets, on both threads).
CubeBuilder bigCube()
{
    CubeSpec spec{"Big 'cube'", {}, {}};
    spec.dimensions.push_back({"Rows", DimensionType::Other, {{{}, true, {}, {{"Group"}, {"Item"}}}}});
    spec.dimensions.push_back({"Columns", DimensionType::Time, {{{}, false, {}, {{"Year"}, {"Day", true}}}}});
    spec.dimensions.push_back({"Page", DimensionType::Other, {{{}, false, {}, {{"Kind"}}}}});
    for (size_t m = 0; m < std::size(kMeasures); ++m)
        spec.measures.push_back({numbered("M", m), kMeasures[m].first, {}});
    // Calculated measures are computed from the aggregated cells on both sides.
    spec.calculatedMeasures = {{"Ratio", "[M0] / [M1]", "0.0%"},
                               {"Mixed", "IIF([M2] > [M3], -[M0], [M4] * 2) - [Ratio]"},
                               {"Per Customer", "[M0] / [M6]"}};
    CubeBuilder cube(spec);
    std::mt19937_64 random(7);
    std::vector<uint32_t> rows, columns, pages;
    for (int i = 0; i < 500; ++i) {
        rows.push_back(cube.dimensionKey(0, olaptest::pathOf({numbered("g", i / 20), numbered("i", i)})));
        columns.push_back(cube.dimensionKey(1, olaptest::pathOf({std::to_string(2000 + i / 25), std::to_string(i)})));
    }
    for (int i = 0; i < 3; ++i)
        pages.push_back(cube.dimensionKey(2, olaptest::pathOf({numbered("k", i)})));
    for (int i = 0; i < 300000; ++i) {
        const uint32_t keys[] = {rows[random() % 500], columns[random() % 500], pages[random() % 3]};
        std::vector<double> values;
        for (uint32_t m = 0; m < kFactsMeasure; ++m)
            values.push_back(random() % 7 == 0 ? kEmpty : double(int64_t(random() % 4000) - 2000) / 4);
        values.push_back(1);
        values.push_back(randomDistinctId(random, cube, 20000));
        cube.addFact(keys, values);
    }
    return cube;
}

PivotQuery bigQuery(const CubeInfo& cube)
{
    const HierarchyInfo& rows = cube.dimensions[0].hierarchies[0];
    const HierarchyInfo& columns = cube.dimensions[1].hierarchies[0];
    PivotQuery query;
    AxisField rowField{0, 0, {}, {}}, columnField{1, 0, {}, {}};
    for (uint32_t m = 0; m < rows.members.size(); ++m)
        rowField.drilled.push_back(m);
    rowField.hidden = {rows.levels[2].firstMember + 3, rows.levels[1].firstMember + 4};
    for (uint32_t m = 0; m < columns.members.size(); ++m)
        columnField.drilled.push_back(m);
    query.rows.fields.push_back(rowField);
    query.columns.fields.push_back(columnField);
    query.columns.keepEmpty = true;
    query.pages.push_back({2, 0, {0, 2}});
    for (uint32_t m = 0; m < cube.measures.size(); ++m)
        query.measures.push_back(m);
    return query;
}

// The random cubes and the big one in one cube file, published once per target.
class ServerPivots : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        sFolder = std::make_unique<ScratchFolder>();
        std::mt19937_64 random(20240611);
        std::vector<CubeBuilder> cubes;
        for (int c = 0; c < kRandomCubes; ++c)
            cubes.push_back(randomCubeBuilder(random, "Random " + std::to_string(c) + (c % 5 == 0 ? " `it's`" : "")));
        cubes.push_back(bigCube());
        std::vector<CubeBuilder*> pointers;
        for (CubeBuilder& cube : cubes)
            pointers.push_back(&cube);
        writeCubeFile(*sFolder / "battery.cub", "Battery", pointers);
        sFile = CubeFile::open(*sFolder / "battery.cub");
    }
    static void TearDownTestSuite()
    {
        sFile.reset();
        sFolder.reset();
    }

    // Values are quarters, so sums in any order are exact: cells must be equal, not close.
    void runBattery(const std::shared_ptr<const CatalogInfo>& catalog)
    {
        ASSERT_TRUE(catalog);
        ASSERT_EQ(catalog->cubes.size(), sFile->catalog().cubes.size());
        const ServerProvider provider;
        // The server lists its cubes by name; the cube file in the order they were written.
        const auto onServer = [&](size_t local) {
            const auto& cubes = catalog->cubes;
            const auto found = std::find_if(cubes.begin(), cubes.end(),
                                            [&](const CubeInfo& cube) { return cube.name == sFile->catalog().cubes[local].name; });
            return size_t(found - cubes.begin());
        };
        std::mt19937_64 random(99);
        for (size_t c = 0; c < size_t(kRandomCubes); ++c) {
            const CubeInfo& local = sFile->catalog().cubes[c];
            for (int q = 0; q < kQueriesPerCube; ++q) {
                SCOPED_TRACE("cube " + std::to_string(c) + " query " + std::to_string(q));
                const PivotQuery query = randomQuery(random, local);
                servertest::expectSameResult(runQuery(local, *sFile->facts(c), query),
                                             provider.query(catalog, onServer(c), query));
            }
        }
        SCOPED_TRACE("the big pivot");
        const size_t big = size_t(kRandomCubes);
        const PivotQuery query = bigQuery(sFile->catalog().cubes[big]);
        const QueryResult local = runQuery(sFile->catalog().cubes[big], *sFile->facts(big), query);
        EXPECT_GT(local.rows.size() * local.columns.size(), 100000u);
        servertest::expectSameResult(local, provider.query(catalog, onServer(big), query));
    }

    static constexpr int kRandomCubes = 40;
    static constexpr int kQueriesPerCube = 8;
    static inline std::unique_ptr<ScratchFolder> sFolder;
    static inline std::shared_ptr<const CubeFile> sFile;
};

TEST_F(ServerPivots, RandomPivotsOnOneServerEqualTheLocalEngine)
{
    REQUIRE_CLICKHOUSE();
    TestServer& server = TestServer::shared();
    servertest::publish(sFile->path(), server.url());
    runBattery(servertest::catalogNamed(server.dataSource(), "Battery"));
}

TEST_F(ServerPivots, RandomPivotsOnATwoShardClusterEqualTheLocalEngine)
{
    REQUIRE_CLICKHOUSE();
    TestCluster& cluster = TestCluster::shared();
    servertest::publish(sFile->path(), cluster.urls(), cluster.name());
    const auto catalog = servertest::catalogNamed(cluster.server(1).dataSource(), "Battery");
    // The facts are split across both servers.
    for (size_t s = 0; s < 2; ++s) {
        const std::string count = cluster.server(s).query(
            "SELECT sum(total) FROM (SELECT count() AS total FROM merge('Battery', '^pw_facts_.*_shard$'))");
        EXPECT_GT(std::stoull(count), 0u) << "server " << s;
    }
    runBattery(catalog);
}

using ServerModelling = olaptest::ModellingCube;

// The measures come back with their formulas and formats. Pivots over
// pairs of placed dimensions, with a member hidden and a page selection,
// showing calculated measures alone, with their inputs, filtered measures
// and distinct counts: equal tuples (so members in the same order) and equal cells.
TEST_F(ServerModelling, PivotsOfCalculatedFilteredAndDistinctMeasuresEqualTheLocalEngine)
{
    REQUIRE_CLICKHOUSE();
    servertest::publish(mFolder / "sales.cub", TestServer::shared().url());
    const auto catalog = servertest::catalogNamed(TestServer::shared().dataSource(), "Modelling");
    ASSERT_TRUE(catalog);
    const CubeInfo& remote = catalog->cubes.at(0);
    ASSERT_EQ(remote.measures.size(), cube().measures.size());
    for (size_t m = 0; m < remote.measures.size(); ++m) {
        EXPECT_EQ(remote.measures[m].formula, cube().measures[m].formula) << m;
        EXPECT_EQ(remote.measures[m].formatString, cube().measures[m].formatString) << m;
    }
    const std::vector<std::vector<std::string>> measureLists = {
        {"Margin", "Promotion Share", "Profit Flag", "Weighted"},
        {"Store Sales", "Profit", "Margin", "Average Price", "Store Cost"},
        {"Promotion Sales", "Offer Units", "Big Sales", "Store A Sales", "Store A Facts", "Margin"},
        {"Customers", "Named Customers", "Unit Sizes", "Promotion Customers", "Sales per Customer"}};
    const struct { uint32_t rows, columns, page; } layouts[] = {{0, 1, 2}, {1, 3, 0}, {2, 0, 3}};
    const ServerProvider provider;
    for (const auto& layout : layouts) {
        for (const auto& names : measureLists) {
            SCOPED_TRACE(std::to_string(layout.rows) + " by " + std::to_string(layout.columns) + ", " + names[0]);
            PivotQuery query;
            const HierarchyInfo& rows = cube().dimensions[layout.rows].hierarchies[0];
            std::vector<uint32_t> drilled(rows.levels[0].memberCount);
            std::iota(drilled.begin(), drilled.end(), rows.levels[0].firstMember);
            query.rows.fields.push_back({layout.rows, 0, drilled, {rows.levels.back().firstMember + 1}});
            query.columns.fields.push_back({layout.columns, 0, {}, {}});
            query.pages.push_back({layout.page, 0, {0}});
            for (const std::string& name : names)
                query.measures.push_back(olaptest::indexNamed(cube().measures, name));
            const QueryResult mine = runQuery(cube(), *mFile->facts(0), query);
            EXPECT_GT(std::count_if(mine.cells.begin(), mine.cells.end(), [](auto c) { return c.has_value(); }), 4);
            servertest::expectSameResult(mine, provider.query(catalog, 0, query), 1e-9);
        }
    }
}

}  // namespace
}  // namespace olap
