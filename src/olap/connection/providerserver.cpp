#include "olap/connection/providerserver.h"

#include "olap/server/servercatalog.h"
#include "olap/server/serverquery.h"
#include "platform/core/failure.h"

#include <map>
#include <mutex>

namespace olap {

namespace {

// The catalogs handed out, by the catalog pointer callers hold, so that a
// query finds its session again. Weak: the holders keep them alive.
struct OpenCatalogs {
    std::mutex mutex;
    std::map<const CatalogInfo*, std::weak_ptr<const server::ServerCatalog>> catalogs;

    void add(const std::shared_ptr<const server::ServerCatalog>& catalog)
    {
        const std::lock_guard lock(mutex);
        std::erase_if(catalogs, [](const auto& entry) { return entry.second.expired(); });
        catalogs[&catalog->info] = catalog;
    }

    std::shared_ptr<const server::ServerCatalog> find(const CatalogInfo* catalog)
    {
        const std::lock_guard lock(mutex);
        const auto found = catalogs.find(catalog);
        return found == catalogs.end() ? nullptr : found->second.lock();
    }
};

OpenCatalogs& openCatalogs()
{
    static OpenCatalogs catalogs;
    return catalogs;
}

}  // namespace

Catalogs ServerProvider::connect(const std::string& dataSource, const std::string& user,
                                 const std::string& password) const
{
    const server::ServerAddress address = server::parseDataSource(dataSource);
    server::ServerLogin login = server::loginFor(address);
    if (!user.empty()) {
        login.user = user;
        login.password = password;
    }
    Catalogs catalogs;
    for (const auto& catalog : server::readCatalogs(address, login)) {
        openCatalogs().add(catalog);
        catalogs.push_back(std::shared_ptr<const CatalogInfo>(catalog, &catalog->info));
    }
    return catalogs;
}

QueryResult ServerProvider::query(const std::shared_ptr<const CatalogInfo>& catalog, size_t cube,
                                  const PivotQuery& query) const
{
    const auto server = catalog ? openCatalogs().find(catalog.get()) : nullptr;
    if (!server)
        throw platform::Failure(platform::err::kInvalidCall, "The server provider did not open this catalog", "olap");
    if (cube >= catalog->cubes.size())
        throw platform::Failure(platform::err::kSubscript,
                                "Cube " + std::to_string(cube) + " of catalog \"" + catalog->name + "\" does not exist",
                                "olap");
    return server::runServerQuery(*server, cube, query);
}

}  // namespace olap
