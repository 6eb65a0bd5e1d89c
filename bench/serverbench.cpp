// serverbench SERVER FOLDER: the server provider's figures, against a
// ClickHouse server at SERVER (host:port) and the cubes of FOLDER made by
// makebenchcube (bench.cub) and makewidecube (wide.cub):
//   - publishing bench.cub (10,000,000 facts): facts per second;
//   - the benchmark pivot (benchcube.h) through the provider, on the local
//     engine, and as the best hand-written SQL on the same server (one GROUP
//     BY of the deepest shown levels, no subtotals): best of 5, and ratios;
//   - publishing wide.cub, then a 1,000,000-member dimension in the member
//     editor as the wizard opens it: connect, open the cube, show the top
//     level with its default selection (one request for the metadata, one per
//     block of members shown); then expand a member with 1,000 children.
//
//     build/bench/makebenchcube /tmp/pivot-bench && build/bench/makewidecube /tmp/pivot-bench
//     QT_QPA_PLATFORM=offscreen build/bench/serverbench 127.0.0.1:8123 /tmp/pivot-bench
#include "benchcube.h"

#include "olap/connection/connectionmodel.h"
#include "olap/connection/providerserver.h"
#include "olap/cube/cubefile.h"
#include "olap/server/serverpublish.h"
#include "olap/server/serversession.h"
#include "olap/server/serversql.h"
#include "widgets/nxdimeditctrl.h"

#include <QApplication>
#include <QTreeView>

#include <chrono>
#include <cstdio>
#include <functional>

namespace {

using Clock = std::chrono::steady_clock;

double msOf(const std::function<void()>& run)
{
    const auto start = Clock::now();
    run();
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double bestOf(int runs, const std::function<void()>& run)
{
    double best = 1e300;
    for (int i = 0; i < runs; ++i)
        best = std::min(best, msOf(run));
    return best;
}

double publish(const std::string& server, const std::filesystem::path& file, uint64_t facts)
{
    olap::server::PublishOptions options;
    options.servers.push_back(olap::server::parseDataSource(server));
    options.login = olap::server::loginFor(options.servers[0]);
    const double ms = msOf([&] { olap::server::publishCubeFile(file, options); });
    std::printf("publish %-10s %10llu facts in %8.0f ms: %10.0f facts/s\n", file.filename().c_str(),
                static_cast<unsigned long long>(facts), ms, double(facts) / ms * 1000);
    return ms;
}

std::shared_ptr<const olap::CatalogInfo> serverCatalog(const std::string& server, const std::string& name)
{
    for (const auto& catalog : olap::ServerProvider().connect(server, "", ""))
        if (catalog->name == name)
            return catalog;
    throw std::runtime_error("no catalog " + name);
}

// The benchmark pivot's leaves as hand-written GROUP BYs of items, shops and
// years: as three key columns, and as one number packing the three (which
// the server groups several times faster).
std::string handWrittenSql(const std::string& factsTable, bool packed)
{
    const std::string keys = packed ? "(toUInt64(k1_0_3) * 1000 + k2_0_3) * 100 + k0_0_1" : "k1_0_3, k2_0_3, k0_0_1";
    return "SELECT " + keys + ", sum(m0), avgIf(m2, NOT isNaN(m2)) FROM " + olap::server::quoteName(factsTable)
           + " GROUP BY " + keys + " FORMAT TabSeparated";
}

void benchPivot(const std::string& server, const std::filesystem::path& folder)
{
    const auto file = olap::CubeFile::open(folder / "bench.cub");
    const olap::CubeInfo& local = file->catalog().cubes.at(0);
    publish(server, folder / "bench.cub", local.factCount);
    const auto catalog = serverCatalog(server, file->catalog().name);
    const olap::PivotQuery query = bench::benchPivot(local, false);
    const olap::ServerProvider provider;
    const double viaProvider = bestOf(5, [&] { provider.query(catalog, 0, query); });
    const auto facts = file->facts(0);
    const double localEngine = bestOf(5, [&] { olap::runQuery(local, *facts, query); });
    const olap::server::ServerSession session(olap::server::parseDataSource(server),
                                              olap::server::loginFor(olap::server::parseDataSource(server)),
                                              file->catalog().name);
    const std::string table = session.query("SELECT name FROM system.tables WHERE database = currentDatabase()"
                                            " AND name LIKE 'pw_facts_%' ORDER BY name DESC LIMIT 1 FORMAT TabSeparated");
    const std::string factsTable = table.substr(0, table.size() - 1);
    const double columns = bestOf(5, [&] { session.query(handWrittenSql(factsTable, false)); });
    const double packed = bestOf(5, [&] { session.query(handWrittenSql(factsTable, true)); });
    const double handWritten = std::min(columns, packed);
    std::printf("benchmark pivot: provider %7.1f ms, local engine %7.1f ms, hand-written SQL %7.1f ms"
                " (three key columns %.1f ms, one packed key %.1f ms)\n",
                viaProvider, localEngine, handWritten, columns, packed);
    std::printf("ratios: provider / best hand-written SQL %.2f, provider / local engine %.2f\n",
                viaProvider / handWritten, viaProvider / localEngine);
}

void benchWideDimension(const std::string& server, const std::filesystem::path& folder)
{
    publish(server, folder / "wide.cub", 2'000'000);
    NxDimEditCtrl editor;
    editor.resize(400, 600);
    editor.show();
    QCoreApplication::processEvents();
    std::shared_ptr<olap::KDimension> customers;
    const double open = msOf([&] {
        olap::OlapConnection connection;
        connection.connect(olap::kServerConnectionName, server, "", "");
        for (const auto& database : connection.databases())
            if (database->name() == "Wide")
                customers = database->cubes().item(0)->definition()->dimensions().item(1);
        editor.setKDimension(customers);
        // The wizard's default selection: the single "all" member's children.
        const MemberList top = MemberList::topMembers(*customers);
        const MemberList groups = top.at(0).children();
        DimMembers members;
        for (int i = 0; i < groups.count(); ++i)
            members.push_back(groups.at(i));
        editor.checkMembers(members, false, true);
        editor.treeView()->doItemsLayout();
        editor.repaint();
    });
    const DimMember group = MemberList::topMembers(*customers).at(0).children().at(10);
    const double expand = msOf([&] {
        editor.setMemberDrilled(group, true);
        editor.treeView()->doItemsLayout();
        editor.repaint();
    });
    std::printf("1,000,000-member dimension: connect, open and show the top level %.1f ms (aim 1000 ms); expand a"
                " member with %d children %.1f ms (aim 200 ms)\n",
                open, group.childCount(), expand);
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: serverbench SERVER FOLDER\n");
        return 2;
    }
    olap::registerProvider(std::make_shared<olap::ServerProvider>());
    try {
        benchPivot(argv[1], argv[2]);
        benchWideDimension(argv[1], argv[2]);
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "serverbench: %s\n", failure.what());
        return 1;
    }
    return 0;
}
