// The provider of cubes on a ClickHouse server (docs/server-cubes.md): lists
// the server's databases that hold published cubes as catalogs, reads
// members on demand, and computes pivots on the server. Programs register it
// at start (providerregistry.h), ahead of the local-file provider.
#pragma once

#include "olap/connection/provider.h"

namespace olap {

// Its names: programs connect with the connection name, connection strings
// name the provider string, users pick the provider name.
inline constexpr const char* kServerConnectionName = "ClickHouse Server";
inline constexpr const char* kServerProviderString = "PWCH.1";
inline constexpr const char* kServerProviderName = "ClickHouse";

class ServerProvider : public Provider {
public:
    std::string connectionName() const override { return kServerConnectionName; }
    std::string providerString() const override { return kServerProviderString; }
    std::string providerName() const override { return kServerProviderName; }

    // The catalogs of the server `dataSource` (server/serveraddress.h forms).
    // An empty `user` takes user, password and time limit from the settings
    // lookup or the environment (server/servercredentials.h). Reads metadata
    // only. Throws the server failures of server/serversession.h and 5 for a
    // data source that is not one.
    Catalogs connect(const std::string& dataSource, const std::string& user,
                     const std::string& password) const override;
    // Computes the pivot on the server.
    QueryResult query(const std::shared_ptr<const CatalogInfo>& catalog, size_t cube,
                      const PivotQuery& query) const override;
};

}  // namespace olap
