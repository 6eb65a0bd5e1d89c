// The provider of local cube files: our cube files (cubefile.h), opened
// read-only. Always the last entry of a connection's provider list.
#pragma once

#include "olap/connection/provider.h"

namespace olap {

// Its provider string and provider name: connection strings of PivotTables
// on local and store cubes name it.
inline constexpr const char* kLocalProviderString = "MSOLAP.2";
inline constexpr const char* kLocalConnectionName = "Local Cube File";

class LocalFileProvider : public Provider {
public:
    std::string connectionName() const override { return kLocalConnectionName; }
    std::string providerString() const override { return kLocalProviderString; }
    std::string providerName() const override { return kLocalProviderString; }

    // The file's one catalog. Throws Failure naming the file when it is
    // missing, not a cube file, damaged or of a newer version.
    Catalogs openLocalCube(const std::filesystem::path& file) const override;
    // The same as openLocalCube(dataSource): the "server" of a local cube is
    // its file. User and password are not used.
    Catalogs connect(const std::string& dataSource, const std::string& user,
                     const std::string& password) const override;
    // Reads the cube's facts from its file on first use (then shares them).
    QueryResult query(const std::shared_ptr<const CatalogInfo>& catalog, size_t cube,
                      const PivotQuery& query) const override;
};

}  // namespace olap
