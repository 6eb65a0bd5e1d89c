// The server provider as a user meets it: catalogs and cubes from published
// metadata without reading members or facts, members read on demand, and
// the failures that are the provider's own: a database gone, a query the
// server rejects, metadata that cannot be read. (The failures of requests
// themselves, a stopped server, a wrong password, a time-out, a server
// killed during a query, are the session's: serversession_test.cpp.)
#include "olap/connection/connectionmodel.h"
#include "olap/model/membersource.h"
#include "olap/server/serversession.h"
#include "servertest.h"
#include "support/clickhouseserver.h"
#include "support/requiredprograms.h"

namespace olap {
namespace {

using olaptest::failureOf;
using testsupport::TestServer;
using ::testing::HasSubstr;

std::filesystem::path tenFactCube(const ScratchFolder& folder)
{
    return servertest::writeItems(folder / "ten.cub", "pw ten", "Ten", 10);
}

std::shared_ptr<const CatalogInfo> tenCatalog(const TestServer& server)
{
    return servertest::catalogNamed(server.dataSource(), "pw ten");
}

PivotQuery itemsByAmount()
{
    PivotQuery query;
    query.rows.fields.push_back({0, 0, {}, {}});
    query.measures = {0};
    return query;
}

std::string tableLike(const TestServer& server, const std::string& pattern)
{
    const std::string name = server.query("SELECT name FROM system.tables WHERE database = 'pw ten' AND name LIKE '"
                                          + pattern + "' FORMAT TabSeparated");
    return "`pw ten`.`" + name.substr(0, name.size() - 1) + "`";
}

// Connecting reads metadata only: with the members and facts tables gone,
// the cube still opens; its members are read when asked for (here: they
// cannot be). (Pivots are compared with the local engine in serverquery_test.cpp.)
TEST(ServerProvider, ConnectingReadsMetadataOnlyAndMembersComeOnDemand)
{
    REQUIRE_CLICKHOUSE();
    const ScratchFolder folder;
    TestServer& server = TestServer::shared();
    server.query("DROP DATABASE IF EXISTS `pw ten`");
    servertest::publish(tenFactCube(folder), server.url());
    {
        OlapConnection connection({std::make_shared<ServerProvider>()});
        connection.connect(kServerConnectionName, server.dataSource(), "", "");
        std::shared_ptr<KCube> cube;
        for (const auto& database : connection.databases())
            if (database->name() == "pw ten")
                cube = database->cubes().item(0)->definition();
        ASSERT_TRUE(cube);
        const auto level = cube->dimensions().item(1)->hierarchies().item(0)->levels().item(1);
        EXPECT_EQ(level->levelMemberTotal(), 10);
        EXPECT_EQ(level->members().item(3)->uniqueName(), "[Item].[All Item].[item 3]");
        EXPECT_EQ(level->members().item(3)->parent()->caption(), "All Item");
    }
    server.query("DROP TABLE " + tableLike(server, "pw_members_%"));
    server.query("DROP TABLE " + tableLike(server, "pw_facts_%"));
    const auto catalog = tenCatalog(server);
    const HierarchyInfo& items = catalog->cubes.at(0).dimensions.at(0).hierarchies.at(0);
    EXPECT_EQ(memberTotal(items), 11u);
    const platform::Failure failure = failureOf([&] { memberOf(items, 3); });
    EXPECT_EQ(failure.number(), server::kServerRejected) << failure.description();
}

// Each failure of a pivot or a connection says which server and what happened.
TEST(ServerProvider, FailuresOfPivotsAndConnectionsSayWhatHappened)
{
    REQUIRE_CLICKHOUSE();
    const ScratchFolder folder;
    const std::filesystem::path cube = tenFactCube(folder);
    TestServer& server = TestServer::shared();
    struct Case {
        const char* what;
        std::function<void()> spoil;  // after connecting
        int32_t number;
        std::string says;
        std::function<void()> act = {};  // instead of the pivot
    };
    const Case cases[] = {
        {"database gone", [&] { server.query("DROP DATABASE `pw ten`"); }, server::kServerNoDatabase,
         "has no database 'pw ten'"},
        {"metadata spoilt",
         [&] { server.query("INSERT INTO `pw ten`.pw_cubes VALUES ('Ten', 18446744073709551615, now(), '{\"name\": 7}')"); },
         server::kServerMalformed, "sent an answer that cannot be read (cube metadata: \"name\" is not a text)",
         [&] { tenCatalog(server); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        server.query("DROP DATABASE IF EXISTS `pw ten`");
        servertest::publish(cube, server.url());
        const auto catalog = tenCatalog(server);
        if (c.spoil)
            c.spoil();
        const platform::Failure failure =
            failureOf(c.act ? c.act : [&] { ServerProvider().query(catalog, 0, itemsByAmount()); });
        EXPECT_EQ(failure.number(), c.number) << failure.description();
        EXPECT_THAT(failure.description(), HasSubstr("Server " + server.dataSource() + ": " + c.says));
    }
    // Spoilt metadata would spoil every later connection to the shared server.
    server.query("DROP DATABASE IF EXISTS `pw ten`");
}

}  // namespace
}  // namespace olap
