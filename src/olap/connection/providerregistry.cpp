#include "olap/connection/providerregistry.h"

#include "platform/core/failure.h"
#include "olap/connection/providerlocalfile.h"

#include <algorithm>
#include <mutex>

namespace olap {

namespace {

struct Registry {
    std::mutex lock;
    std::vector<std::shared_ptr<const Provider>> servers;
    const std::shared_ptr<const Provider> localFile = std::make_shared<LocalFileProvider>();
};

Registry& registry()
{
    static Registry instance;
    return instance;
}

}  // namespace

std::vector<std::shared_ptr<const Provider>> registeredProviders()
{
    Registry& r = registry();
    const std::lock_guard<std::mutex> guard(r.lock);
    std::vector<std::shared_ptr<const Provider>> providers = r.servers;
    providers.push_back(r.localFile);
    return providers;
}

void registerProvider(std::shared_ptr<const Provider> provider)
{
    platform::requireObject(provider.get(), "provider");
    const std::string name = provider->connectionName();
    Registry& r = registry();
    const std::lock_guard<std::mutex> guard(r.lock);
    const bool taken = name == r.localFile->connectionName()
                       || std::any_of(r.servers.begin(), r.servers.end(),
                                      [&](const auto& known) { return known->connectionName() == name; });
    if (taken) {
        throw platform::Failure(platform::err::kInvalidCall,
                                "A provider with the connection name \"" + name + "\" is registered already", "olap");
    }
    r.servers.push_back(std::move(provider));
}

bool unregisterProvider(std::string_view connectionName)
{
    Registry& r = registry();
    const std::lock_guard<std::mutex> guard(r.lock);
    const auto found = std::find_if(r.servers.begin(), r.servers.end(),
                                    [&](const auto& known) { return known->connectionName() == connectionName; });
    if (found == r.servers.end())
        return false;
    r.servers.erase(found);
    return true;
}

}  // namespace olap
