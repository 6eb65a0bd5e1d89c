// Publishing cubes to a ClickHouse server or cluster, in the tables that
// docs/server-cubes.md describes:
//   pw_cubes          one row per published generation of a cube (metadata JSON)
//   pw_members_G      every member of every hierarchy of generation G
//   pw_facts_G        per fact its member on every level that is not "all",
//                     and its values (NaN: no value); on a cluster a
//                     Distributed table over pw_facts_G_shard on every server
// A cube is switched to its new generation by one INSERT of one row into
// pw_cubes after everything else is loaded, so readers see the old cube or
// the new one, never a half-loaded one.
#pragma once

#include "olap/server/serveraddress.h"
#include "olap/server/servercredentials.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace olap {
struct CubeInfo;
}

namespace olap::server {

struct PublishOptions {
    // One server; or, with `cluster`, every server of the cluster (one per shard).
    std::vector<ServerAddress> servers;
    std::string database;  // empty: the cube file's catalog name
    std::string cluster;   // empty: a single server
    ServerLogin login;
    // How long the tables of a replaced generation stay for readers that
    // still hold it; older generations are dropped by the next publication.
    std::chrono::seconds keepReplaced{600};
    // Called after each block of facts with the facts sent so far and the total.
    std::function<void(uint64_t done, uint64_t total)> progress;
};

struct PublishSummary {
    std::string database;
    size_t cubes = 0;
    uint64_t facts = 0;
};

// Publishes every cube of `cubeFile` (replacing cubes of the same names).
// Throws Failure: the cube file's own failures, server failures
// (serversession.h), 5 for options that do not fit (no server, several
// servers without a cluster, a cluster the first server does not know or
// with another number of shards). A failure part-way leaves the cubes as
// they were and drops what it created, as far as the servers let it.
PublishSummary publishCubeFile(const std::filesystem::path& cubeFile, const PublishOptions& options);

// The metadata JSON of `cube` published as `generation` (its table names,
// levels' member ranges and fact columns, measures with hasEmpty).
std::string cubeMetadataJson(const CubeInfo& cube, uint64_t generation, const std::vector<bool>& measureHasEmpty);

// Table names of a generation.
std::string factsTableName(uint64_t generation);
std::string membersTableName(uint64_t generation);
// The fact column of level `level` of hierarchy `hierarchy` of dimension `dimension`.
std::string levelColumnName(size_t dimension, size_t hierarchy, size_t level);
std::string measureColumnName(size_t measure);

}  // namespace olap::server
