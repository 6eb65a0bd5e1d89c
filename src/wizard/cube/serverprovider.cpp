#include "wizard/cube/serverprovider.h"

#include "olap/connection/providerregistry.h"
#include "olap/connection/providerserver.h"
#include "olap/server/servercredentials.h"
#include "platform/core/diagnostics.h"
#include "platform/core/failure.h"
#include "platform/services/settingsstore.h"

#include <mutex>
#include <optional>

namespace {

using platform::RootKey;
using platform::SettingsStore;

std::optional<std::string> textValue(const SettingsStore& store, const std::string& key, const char* name)
{
    platform::Value value;
    if (store.queryValue(RootKey::CurrentUser, key, name, value) != platform::status::kSuccess
        || value.type != platform::valuetype::kString)
        return std::nullopt;
    std::string text(value.data.begin(), value.data.end());
    while (!text.empty() && text.back() == '\0')
        text.pop_back();
    return text;
}

olap::server::ServerSettings readServerSettings(const olap::server::ServerAddress& address)
{
    olap::server::ServerSettings settings;
    try {
        const SettingsStore store(SettingsStore::defaultFile());
        const std::string key = serverSettingsKey(address.display());
        settings.user = textValue(store, key, "User");
        settings.password = textValue(store, key, "Password");
        auto timeout = textValue(store, key, "QueryTimeout");
        if (!timeout)
            timeout = textValue(store, "Software\\Brennlow\\Servers", "QueryTimeout");
        if (timeout)
            settings.timeout = olap::server::parseTimeout(*timeout);
    } catch (const platform::Failure& failure) {
        // A settings store that cannot be read leaves the environment to decide.
        platform::noteIgnoredFailure("readServerSettings", failure);
    }
    return settings;
}

}  // namespace

std::string serverSettingsKey(const std::string& display) { return "Software\\Brennlow\\Servers\\" + display; }

void installServerProvider()
{
    static std::once_flag once;
    std::call_once(once, [] {
        olap::server::setServerSettingsLookup(&readServerSettings);
        olap::registerProvider(std::make_shared<olap::ServerProvider>());
    });
}
