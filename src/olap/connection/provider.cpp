#include "olap/connection/provider.h"

#include "platform/core/failure.h"

namespace olap {

namespace {

[[noreturn]] void notSupported(const Provider& provider, const std::string& what)
{
    using platform::err::kNotSupported;
    throw platform::Failure(kNotSupported,
                            std::string(platform::runtimeDescription(kNotSupported)) + ": the provider \""
                                + provider.connectionName() + "\" " + what,
                            "olap");
}

}  // namespace

Catalogs Provider::openLocalCube(const std::filesystem::path& file) const
{
    notSupported(*this, "does not open cube files (" + file.string() + ")");
}

Catalogs Provider::connect(const std::string& dataSource, const std::string&, const std::string&) const
{
    notSupported(*this, "does not connect to servers (" + dataSource + ")");
}

QueryResult Provider::query(const std::shared_ptr<const CatalogInfo>& catalog, size_t, const PivotQuery&) const
{
    notSupported(*this, "does not compute pivot tables (catalog \"" + (catalog ? catalog->name : std::string()) + "\")");
}

}  // namespace olap
