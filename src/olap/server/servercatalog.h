// The catalogs of a server: the databases that hold published cubes, read
// from their pw_cubes tables (docs/server-cubes.md). Reading them reads
// metadata only: members are read on demand (servermembers.h), facts only by
// pivots (serverquery.h).
#pragma once

#include "olap/cube/schema.h"
#include "olap/server/serversession.h"

#include <memory>
#include <string>
#include <vector>

namespace olap::server {

// Where a published cube's data lives on the server.
struct ServerCubeTables {
    std::string factsTable;
    std::string membersTable;
    // levelColumns[dimension][hierarchy][level]: the fact column of the
    // level; empty for an "all" level.
    std::vector<std::vector<std::vector<std::string>>> levelColumns;
    std::vector<std::string> measureColumns;
    std::vector<bool> measureHasEmpty;
};

// One database with published cubes. The catalog's hierarchies read their
// members through this catalog's session.
struct ServerCatalog {
    ServerSession session;  // its default database is the catalog
    CatalogInfo info;
    std::vector<ServerCubeTables> tables;  // per cube of info
};

// The databases of the server that hold published cubes, in name order, each
// with its cubes in name order. Throws the session's failures, and
// kServerMalformed for metadata that is not what a publisher writes.
std::vector<std::shared_ptr<const ServerCatalog>> readCatalogs(const ServerAddress& address, const ServerLogin& login);

// The cube described by `json` (a pw_cubes row's metadata), with the tables
// it names. Hierarchies get no member source. Throws MalformedAnswer
// (serveranswer.h) for anything that does not fit.
std::pair<CubeInfo, ServerCubeTables> parseCubeMetadata(const std::string& json);

}  // namespace olap::server
