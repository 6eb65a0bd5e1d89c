#include "olap/server/servercredentials.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <mutex>

namespace olap::server {

namespace {

struct Lookup {
    std::mutex lock;
    ServerSettingsLookup lookup;
};

Lookup& lookupSlot()
{
    static Lookup slot;
    return slot;
}

std::optional<std::string> environment(const char* name)
{
    const char* value = std::getenv(name);
    if (!value)
        return std::nullopt;
    return std::string(value);
}

}  // namespace

std::optional<std::chrono::milliseconds> parseTimeout(std::string_view seconds)
{
    double value = 0;
    const auto [end, error] = std::from_chars(seconds.data(), seconds.data() + seconds.size(), value);
    if (seconds.empty() || error != std::errc() || end != seconds.data() + seconds.size() || !(value > 0)
        || value > 1e7)
        return std::nullopt;
    return std::chrono::milliseconds(std::max<int64_t>(1, int64_t(value * 1000)));
}

void setServerSettingsLookup(ServerSettingsLookup lookup)
{
    Lookup& slot = lookupSlot();
    const std::lock_guard guard(slot.lock);
    slot.lookup = std::move(lookup);
}

ServerLogin loginFor(const ServerAddress& address)
{
    ServerSettings settings;
    {
        Lookup& slot = lookupSlot();
        const std::lock_guard guard(slot.lock);
        if (slot.lookup)
            settings = slot.lookup(address);
    }
    ServerLogin login;
    if (auto user = settings.user ? settings.user : environment("PIVOTWIZARD_SERVER_USER"); user && !user->empty())
        login.user = *user;
    if (auto password = settings.password ? settings.password : environment("PIVOTWIZARD_SERVER_PASSWORD"))
        login.password = *password;
    if (settings.timeout && settings.timeout->count() > 0)
        login.timeout = *settings.timeout;
    else if (auto text = environment("PIVOTWIZARD_SERVER_TIMEOUT"))
        login.timeout = parseTimeout(*text).value_or(kDefaultTimeout);
    return login;
}

}  // namespace olap::server
