// What the server tests share: a small cube of items, published to test
// servers and found again through the server provider, and the comparison
// of a server's pivot with the local engine's.
#pragma once

#include "olap/connection/providerserver.h"
#include "olap/server/serverpublish.h"
#include "olaptestsupport.h"

#include <cmath>
#include <span>

namespace servertest {

// Cube `cube` of catalog `catalog`, written to `file`: dimension Item
// ("all" level, level Item) with members "item 0" .. "item count-1", each
// with one fact of Amount (a sum) equal to its number.
inline std::filesystem::path writeItems(const std::filesystem::path& file, const std::string& catalog,
                                        const std::string& cube, int count)
{
    olap::CubeBuilder builder({cube, {{"Item", olap::DimensionType::Other, {{{}, true, {}, {{"Item"}}}}}},
                               {{"Amount", olap::Aggregation::Sum, {}}}});
    for (int i = 0; i < count; ++i) {
        const uint32_t key = builder.dimensionKey(0, olaptest::pathOf({"item " + std::to_string(i)}));
        const double value = i;
        builder.addFact(std::span(&key, 1), std::span(&value, 1));
    }
    olap::CubeBuilder* cubes[] = {&builder};
    olap::writeCubeFile(file, catalog, cubes);
    return file;
}

// Publishes `file` to `urls` (comma-separated; several need `cluster`).
inline void publish(const std::filesystem::path& file, const std::string& urls, const std::string& cluster = {})
{
    olap::server::PublishOptions options;
    for (size_t at = 0, comma; at <= urls.size(); at = comma + 1) {
        comma = std::min(urls.find(',', at), urls.size());
        options.servers.push_back(olap::server::parseDataSource(urls.substr(at, comma - at)));
    }
    options.cluster = cluster;
    olap::server::publishCubeFile(file, options);
}

// Catalog `name` as the server provider lists it at `dataSource`; a test
// failure and null when it is not listed.
inline std::shared_ptr<const olap::CatalogInfo> catalogNamed(const std::string& dataSource, const std::string& name)
{
    for (const auto& catalog : olap::ServerProvider().connect(dataSource, "", "")) {
        if (catalog->name == name)
            return catalog;
    }
    ADD_FAILURE() << "catalog " << name << " is not listed";
    return nullptr;
}

inline void expectSameTuples(const std::vector<olap::AxisTuple>& local, const std::vector<olap::AxisTuple>& server,
                             const char* axis)
{
    ASSERT_EQ(local.size(), server.size()) << axis;
    for (size_t t = 0; t < local.size(); ++t) {
        ASSERT_EQ(local[t].kind, server[t].kind) << axis << " " << t;
        ASSERT_EQ(local[t].members.size(), server[t].members.size());
        for (size_t f = 0; f < local[t].members.size(); ++f) {
            EXPECT_EQ(local[t].members[f].member, server[t].members[f].member) << axis << " " << t;
            EXPECT_EQ(local[t].members[f].depth, server[t].members[f].depth) << axis << " " << t;
        }
    }
}

// The same tuples, and cells equal to within `tolerance` relative to the
// local cell (at least 1); the first five differences are reported.
inline void expectSameResult(const olap::QueryResult& local, const olap::QueryResult& server, double tolerance = 0)
{
    expectSameTuples(local.rows, server.rows, "row");
    expectSameTuples(local.columns, server.columns, "column");
    ASSERT_EQ(local.cells.size(), server.cells.size());
    size_t differences = 0;
    for (size_t i = 0; i < local.cells.size() && differences < 5; ++i) {
        const auto mine = local.cells[i], theirs = server.cells[i];
        if (mine.has_value() != theirs.has_value()
            || (mine && std::fabs(*mine - *theirs) > tolerance * std::max(1.0, std::fabs(*mine)))) {
            ++differences;
            ADD_FAILURE() << "cell " << i / local.measures.size() << " measure " << local.measures[i % local.measures.size()]
                          << ": local " << mine.value_or(-0.5) << (mine ? "" : " (empty)") << ", server "
                          << theirs.value_or(-0.5) << (theirs ? "" : " (empty)");
        }
    }
}

}  // namespace servertest
