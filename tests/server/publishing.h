// What the server tests share: a small cube of items, published to test
// servers and found again through the server provider.
#pragma once

#include "olap/connection/providerserver.h"
#include "olap/server/serverpublish.h"
#include "olaptestsupport.h"

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

}  // namespace servertest
