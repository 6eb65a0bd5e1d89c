// Publishing: the command line, a cube replaced while readers read it, and
// a report of a server cube, built by the command-line report builder and
// refreshed after the cube was published again with more facts.
#include "olap/build/cubesourcecommand.h"
#include "olap/connection/providerregistry.h"
#include "olap/connection/providerserver.h"
#include "olap/server/serverpublish.h"
#include "servertest.h"
#include "sheet/report/reportcommand.h"
#include "support/clickhouseserver.h"
#include "support/requiredprograms.h"

#include <atomic>
#include <fstream>
#include <sstream>
#include <thread>

namespace olap {
namespace {

using testsupport::TestServer;
using ::testing::HasSubstr;

// A cube of `facts` facts of value 1 on one member.
std::filesystem::path countingCube(const ScratchFolder& folder, int facts)
{
    CubeBuilder cube({"Counting", {{"One", DimensionType::Other, {{{}, false, {}, {{"One"}}}}}}, {{"Facts"}}});
    const uint32_t key = cube.dimensionKey(0, olaptest::pathOf({"one"}));
    for (int i = 0; i < facts; ++i) {
        const double value = 1;
        cube.addFact(std::span(&key, 1), std::span(&value, 1));
    }
    CubeBuilder* cubes[] = {&cube};
    const auto file = folder / ("counting" + std::to_string(facts) + ".cub");
    writeCubeFile(file, "pw counting", cubes);
    return file;
}

int runCommand(const std::vector<std::string>& arguments, std::string& out, std::string& err)
{
    std::ostringstream outText, errText;
    const int status = runCubeBuilderCommand(arguments, outText, errText);
    out = outText.str();
    err = errText.str();
    return status;
}

TEST(PublishCommand, PublishesAndSaysHowFastOrWhatWentWrong)
{
    REQUIRE_CLICKHOUSE();
    const ScratchFolder folder;
    const std::string cube = countingCube(folder, 3).string();
    const std::string url = TestServer::shared().url();
    const struct { std::vector<std::string> arguments; int status; const char* says; } cases[] = {
        {{"--publish", url, cube}, kCommandDone, "published 1 cube(s), 3 facts, to database \"pw counting\""},
        {{"--publish", url, "--database", "pw other", "--quiet", cube}, kCommandDone, ""},
        {{"--publish", url}, kCommandUsage, "expected the cube file or definition to publish"},
        {{"--publish", url + "," + url, cube}, kCommandBadInput, "several servers are given without the cluster"},
        {{"--publish", url, "--cluster", "nowhere", cube}, kCommandBadInput, "knows no cluster 'nowhere'"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.back());
        std::string out, err;
        EXPECT_EQ(runCommand(c.arguments, out, err), c.status) << err;
        EXPECT_THAT(out + err, HasSubstr(c.says));
    }
    EXPECT_EQ(TestServer::shared().query("SELECT count() FROM system.tables WHERE database = 'pw other'"
                                         " AND name LIKE 'pw_%'"), "3\n");
}

// Readers see the old cube or the new one, never a half-loaded one, while
// the cube is replaced again and again.
TEST(Publishing, ReplacingACubeIsAtomicForReaders)
{
    REQUIRE_CLICKHOUSE();
    const ScratchFolder folder;
    const std::filesystem::path small = countingCube(folder, 10), large = countingCube(folder, 100000);
    TestServer& server = TestServer::shared();
    server::PublishOptions options;
    options.servers.push_back(server::parseDataSource(server.dataSource()));
    server.query("DROP DATABASE IF EXISTS `pw counting`");
    server::publishCubeFile(small, options);
    std::atomic<bool> done = false;
    std::vector<std::string> seen;
    std::thread reader([&] {
        PivotQuery total;
        total.measures = {0};
        while (!done) {
            try {
                for (const auto& catalog : ServerProvider().connect(server.dataSource(), "", "")) {
                    if (catalog->name == "pw counting")
                        seen.push_back(std::to_string(*ServerProvider().query(catalog, 0, total).cell(0, 0, 0)));
                }
            } catch (const platform::Failure& failure) {
                seen.push_back(failure.description());
            }
        }
    });
    for (int i = 0; i < 6; ++i)
        server::publishCubeFile(i % 2 ? small : large, options);
    done = true;
    reader.join();
    ASSERT_FALSE(seen.empty());
    for (const std::string& total : seen)
        EXPECT_TRUE(total == "10.000000" || total == "100000.000000") << total;
    // Replaced generations stay for readers that hold them, then go.
    const std::string factTables =
        "SELECT count() FROM system.tables WHERE database = 'pw counting' AND name LIKE 'pw_facts_%'";
    EXPECT_EQ(server.query(factTables), "7\n");
    options.keepReplaced = std::chrono::seconds(0);
    server::publishCubeFile(small, options);
    EXPECT_EQ(server.query(factTables), "2\n") << "the cube and the one it replaced";
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
    // Items 0 .. count-1 with amounts 0 .. count-1.
    const auto publishItems = [&](int count) {
        servertest::publish(servertest::writeItems(folder / "shop.cub", "pr shop", "Shop", count), server.url());
    };
    server.query("DROP DATABASE IF EXISTS `pr shop`");
    publishItems(3);
    unregisterProvider(kServerConnectionName);
    registerProvider(std::make_shared<ServerProvider>());
    const auto definition = folder / "shop.json";
    std::ofstream(definition) << R"({"version": 1, "name": "Table Shop", "source": {"kind": "server",
        "provider": "PWCH.1", "dataSource": ")" << server.dataSource() << R"(", "catalog": "pr shop", "cube": "Shop"},
        "rows": [{"dimension": "Item"}], "data": [{"measure": "Amount"}]})";
    const auto book = folder / "shop.xlsx";
    EXPECT_EQ(run({"build", definition.string(), "--format", "csv"}),
              "Amount,\nItem,Total\nitem 0,0\nitem 1,1\nitem 2,2\nGrand Total,3\n");
    run({"build", definition.string(), "--output", book.string()});

    publishItems(5);
    run({"refresh", book.string()});
    const std::string cells = run({"refresh", book.string(), "--format", "csv"});
    EXPECT_NE(cells.find("item 4,4\nGrand Total,10\n"), std::string::npos) << cells;
    unregisterProvider(kServerConnectionName);
}

}  // namespace
}  // namespace olap
