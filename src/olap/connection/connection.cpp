#include "olap/connection/connection.h"

#include "olap/connection/providerregistry.h"

namespace olap {

OlapConnection::OlapConnection() : mProviders(registeredProviders()) {}

OlapConnection::OlapConnection(std::vector<std::shared_ptr<const Provider>> providers)
    : mProviders(std::move(providers))
{
}

OlapConnection::~OlapConnection() = default;

Collection<const Provider> OlapConnection::providers() const
{
    return Collection<const Provider>(mProviders, 0, "providers");
}

template <class Open>
void OlapConnection::open(const std::string& connectionName, Open&& open)
{
    mDatabases.clear();
    mFailure.reset();
    try {
        std::shared_ptr<const Provider> provider;
        for (const std::shared_ptr<const Provider>& candidate : mProviders) {
            if (candidate->connectionName() == connectionName) {
                provider = candidate;
                break;
            }
        }
        if (!provider) {
            throw platform::Failure(platform::err::kInvalidCall,
                                    "There is no provider with the connection name \"" + connectionName + "\"", "olap");
        }
        for (const std::shared_ptr<const CatalogInfo>& catalog : open(*provider)) {
            platform::requireObject(catalog.get(), "catalog of the provider");
            mDatabases.push_back(std::make_shared<KDatabase>(catalog));
        }
    } catch (const platform::Failure& failure) {
        mDatabases.clear();
        mFailure = failure;
    }
}

void OlapConnection::openLocalCube(const std::string& connectionName, const std::filesystem::path& filePath)
{
    open(connectionName, [&](const Provider& provider) { return provider.openLocalCube(filePath); });
}

void OlapConnection::connect(const std::string& connectionName, const std::string& dataSource,
                             const std::string& user, const std::string& password)
{
    open(connectionName, [&](const Provider& provider) { return provider.connect(dataSource, user, password); });
}

Collection<KDatabase> OlapConnection::databases() const
{
    if (mFailure)
        throw *mFailure;
    return Collection<KDatabase>(mDatabases, 0, "databases");
}

}  // namespace olap
