// The cube behind a pivot cache: its connection string taken apart, and the
// cube opened through the cube engine's provider that the string names.
#pragma once

#include "olap/connection/provider.h"

#include <memory>
#include <string>

namespace sheet {

struct PivotSource;

namespace pivot {

// The parts of an OLE DB style connection string the host uses:
// "OLEDB;Provider=P;Location=L;Data Source=D;Initial Catalog=C;..." Keys are
// matched without regard to case or surrounding blanks; a value may be
// quoted with double quotes (a doubled quote inside stands for one). Other
// keys (the client cache size, the synch period) are accepted and ignored.
struct ConnectionParts {
    std::string provider;
    std::string dataSource;
    std::string initialCatalog;
    std::string location;
};

// Throws 1004 naming the problem for a text without a provider or data
// source, or with a part that is not "key=value".
ConnectionParts parseConnection(const std::string& text);

// One cube of an open catalog. Holding it keeps the catalog (and its file or
// session) open.
struct OpenCube {
    std::shared_ptr<const olap::Provider> provider;
    std::shared_ptr<const olap::CatalogInfo> catalog;
    size_t index = 0;  // into catalog->cubes

    const olap::CubeInfo& info() const { return catalog->cubes[index]; }
    olap::QueryResult query(const olap::PivotQuery& query) const { return provider->query(catalog, index, query); }
};

// Opens the cube that `source` names. The provider is the registered one
// whose provider string, connection name or provider name equals the
// connection's Provider (case-insensitive); the catalog the one named by
// Initial Catalog, or the only one; the cube the one named by the command
// text. Throws 1004 with a description naming the provider, file or cube
// for an unknown provider, a command type other than a cube, a cube that
// cannot be opened or is not there.
OpenCube openCube(const PivotSource& source);

}  // namespace pivot
}  // namespace sheet
