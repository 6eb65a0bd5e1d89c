// Cube modelling on a server: the modelling cube of tests/olap/data built
// from its CSV files, published, and read back through the server provider:
// pivots of calculated and filtered measures with the same tuples and cells
// as the local engine. (The local engine is
// checked against sqlite3 in tests/olap/cubemodelling_test.cpp.)
#include "olap/build/cubedefinition.h"
#include "olap/build/cubesource.h"
#include "olap/cube/cubefile.h"
#include "olap/query/query.h"
#include "servertest.h"
#include "support/clickhouseserver.h"
#include "support/requiredprograms.h"

#include <numeric>

namespace olap {
namespace {

using testsupport::TestServer;

class ServerModelling : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::copy(OLAP_TEST_DATA "/modelling", mFolder.path());
        buildCubeFile(readCubeDefinition(mFolder / "sales.json"), mFolder / "modelling.cub");
        mFile = CubeFile::open(mFolder / "modelling.cub");
    }

    std::shared_ptr<const CatalogInfo> publish(const TestServer& server) const
    {
        servertest::publish(mFolder / "modelling.cub", server.url());
        return servertest::catalogNamed(server.dataSource(), "Modelling");
    }

    const CubeInfo& local() const { return mFile->catalog().cubes.at(0); }

    ScratchFolder mFolder;
    std::shared_ptr<const CubeFile> mFile;
};

// The measures come back with their formulas and formats. Pivots over
// pairs of placed dimensions, with a member hidden and a page selection,
// showing calculated measures alone, with their inputs, filtered measures
// and distinct counts: equal tuples (so members in the same order) and equal cells.
TEST_F(ServerModelling, PivotsOfCalculatedFilteredAndDistinctMeasuresEqualTheLocalEngine)
{
    REQUIRE_CLICKHOUSE();
    const auto catalog = publish(TestServer::shared());
    ASSERT_TRUE(catalog);
    const CubeInfo& remote = catalog->cubes.at(0);
    ASSERT_EQ(remote.measures.size(), local().measures.size());
    for (size_t m = 0; m < remote.measures.size(); ++m) {
        EXPECT_EQ(remote.measures[m].formula, local().measures[m].formula) << m;
        EXPECT_EQ(remote.measures[m].formatString, local().measures[m].formatString) << m;
    }
    const std::vector<std::vector<std::string>> measureLists = {
        {"Margin", "Promotion Share", "Profit Flag", "Weighted"},
        {"Store Sales", "Profit", "Margin", "Average Price", "Store Cost"},
        {"Promotion Sales", "Offer Units", "Big Sales", "Store A Sales", "Store A Facts", "Margin"},
        {"Customers", "Named Customers", "Unit Sizes", "Promotion Customers", "Sales per Customer"}};
    const struct {
        uint32_t rows, columns, page;
    } layouts[] = {{0, 1, 2}, {1, 3, 0}, {2, 0, 3}};
    const ServerProvider provider;
    for (const auto& layout : layouts) {
        for (const auto& names : measureLists) {
            SCOPED_TRACE(std::to_string(layout.rows) + " by " + std::to_string(layout.columns) + ", " + names[0]);
            PivotQuery query;
            const HierarchyInfo& rows = local().dimensions[layout.rows].hierarchies[0];
            std::vector<uint32_t> drilled(rows.levels[0].memberCount);
            std::iota(drilled.begin(), drilled.end(), rows.levels[0].firstMember);
            query.rows.fields.push_back({layout.rows, 0, drilled, {rows.levels.back().firstMember + 1}});
            query.columns.fields.push_back({layout.columns, 0, {}, {}});
            query.pages.push_back({layout.page, 0, {0}});
            for (const std::string& name : names)
                query.measures.push_back(olaptest::indexNamed(local().measures, name));
            const QueryResult mine = runQuery(local(), *mFile->facts(0), query);
            EXPECT_GT(std::count_if(mine.cells.begin(), mine.cells.end(), [](auto c) { return c.has_value(); }), 4);
            servertest::expectSameResult(mine, provider.query(catalog, 0, query), 1e-9);
        }
    }
}

}  // namespace
}  // namespace olap
