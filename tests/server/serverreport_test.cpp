// Reports of a cube on a server, by the command-line report builder: built,
// then refreshed after the cube was published again with more facts.
#include "olap/connection/providerregistry.h"
#include "olap/server/serversession.h"
#include "servertest.h"
#include "sheet/report/reportcommand.h"
#include "support/clickhouseserver.h"
#include "support/requiredprograms.h"

#include <fstream>
#include <sstream>

namespace {

using testsupport::TestServer;

// Items 0 .. count-1 with amounts 0 .. count-1, published as catalog "pr shop".
void publishItems(const TestServer& server, const ScratchFolder& folder, int count)
{
    servertest::publish(servertest::writeItems(folder / "shop.cub", "pr shop", "Shop", count), server.url());
}

std::string run(const std::vector<std::string>& arguments)
{
    std::ostringstream out, err;
    EXPECT_EQ(sheet::report::runPivotReportCommand(arguments, out, err), 0) << err.str();
    return out.str();
}

TEST(ServerReports, AreBuiltAndRefreshedAfterTheCubeIsPublishedAgain)
{
    REQUIRE_CLICKHOUSE();
    const ScratchFolder folder;
    TestServer& server = TestServer::shared();
    server.query("DROP DATABASE IF EXISTS `pr shop`");
    publishItems(server, folder, 3);
    olap::unregisterProvider(olap::kServerConnectionName);
    olap::registerProvider(std::make_shared<olap::ServerProvider>());
    const auto definition = folder / "shop.json";
    std::ofstream(definition) << R"({"version": 1, "name": "Table Shop", "source": {"kind": "server",
        "provider": "PWCH.1", "dataSource": ")" << server.dataSource() << R"(", "catalog": "pr shop", "cube": "Shop"},
        "rows": [{"dimension": "Item"}], "data": [{"measure": "Amount"}]})";
    const auto book = folder / "shop.xlsx";
    EXPECT_EQ(run({"build", definition.string(), "--format", "csv"}),
              "Amount,\nItem,Total\nitem 0,0\nitem 1,1\nitem 2,2\nGrand Total,3\n");
    run({"build", definition.string(), "--output", book.string()});

    publishItems(server, folder, 5);
    run({"refresh", book.string()});
    const std::string cells = run({"refresh", book.string(), "--format", "csv"});
    EXPECT_NE(cells.find("item 4,4\nGrand Total,10\n"), std::string::npos) << cells;
    olap::unregisterProvider(olap::kServerConnectionName);
}

}  // namespace
