// Providers open cubes for the connection model (OlapConnection): the
// local-file provider opens cube files (providerlocalfile.h); a server
// provider talks to an OLAP server. Each is listed under its own connection
// name, provider string and provider name (providerregistry.h).
#pragma once

#include "olap/query/query.h"
#include "olap/cube/schema.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace olap {

// The catalogs (databases) a provider opened. Each pointer keeps alive what
// the metadata comes from (an open cube file, a server session), and the
// connection model's objects hold these pointers, so a cube stays readable
// for as long as any of its objects is held.
using Catalogs = std::vector<std::shared_ptr<const CatalogInfo>>;

class Provider {
public:
    virtual ~Provider() = default;

    // The name callers pass to OlapConnection::openLocalCube and connect to
    // choose this provider; unique among the listed providers.
    virtual std::string connectionName() const = 0;
    // The provider as connection strings name it: "Provider=" + providerString.
    virtual std::string providerString() const = 0;
    // The name users choose a provider by (the cube selector reports it).
    virtual std::string providerName() const = 0;

    // The catalogs of the local cube file `file`. Throws Failure naming the
    // file and the problem; the default throws 445: this provider opens no
    // files.
    virtual Catalogs openLocalCube(const std::filesystem::path& file) const;
    // The catalogs the server `dataSource` offers to `user`. Throws Failure;
    // the default throws 445: this provider connects to no server.
    virtual Catalogs connect(const std::string& dataSource, const std::string& user,
                             const std::string& password) const;

    // Computes `query` on cube `cube` (index into catalog->cubes) of
    // `catalog`, a catalog this provider returned and that is still held.
    // Throws Failure: the query's own failures (query.h), 5 for a catalog
    // this provider did not open; the default throws 445: this provider
    // computes no pivot tables.
    virtual QueryResult query(const std::shared_ptr<const CatalogInfo>& catalog, size_t cube,
                              const PivotQuery& query) const;
};

}  // namespace olap
