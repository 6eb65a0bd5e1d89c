// Who the provider is on a server, and how long it waits for it. The host
// program plugs in a lookup that reads its settings store; without one, or
// when it knows nothing of a server, the environment decides:
// PIVOTWIZARD_SERVER_USER, PIVOTWIZARD_SERVER_PASSWORD, PIVOTWIZARD_SERVER_TIMEOUT
// (seconds). The cube engine itself never reads the settings store.
#pragma once

#include "olap/server/serveraddress.h"

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace olap::server {

inline constexpr std::chrono::milliseconds kDefaultTimeout{60000};

struct ServerLogin {
    std::string user = "default";
    std::string password;
    std::chrono::milliseconds timeout = kDefaultTimeout;
};

// What a lookup knows of one server; unset parts are taken from the
// environment, then the defaults.
struct ServerSettings {
    std::optional<std::string> user;
    std::optional<std::string> password;
    std::optional<std::chrono::milliseconds> timeout;
};

using ServerSettingsLookup = std::function<ServerSettings(const ServerAddress&)>;

// A number of seconds ("30", "0.5") as a time limit; nothing for text that
// is not a positive number.
std::optional<std::chrono::milliseconds> parseTimeout(std::string_view seconds);

// Replaces the lookup (an empty function removes it). Thread-safe.
void setServerSettingsLookup(ServerSettingsLookup lookup);

// The login for `address`: the lookup's values, else the environment's, else
// user "default", no password, kDefaultTimeout. A timeout text that is not a
// positive number of seconds is ignored. Thread-safe.
ServerLogin loginFor(const ServerAddress& address);

}  // namespace olap::server
