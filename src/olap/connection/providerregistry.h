// The providers a new OlapConnection lists. Programs register their server
// providers at start; the local-file provider is always there and always
// last, so a search by provider name from the first entry finds a server
// provider before the local one when both carry the same name.
#pragma once

#include "olap/connection/provider.h"

#include <memory>
#include <string_view>
#include <vector>

namespace olap {

// The registered providers in the order they were registered, then the
// local-file provider. Thread-safe.
std::vector<std::shared_ptr<const Provider>> registeredProviders();

// Adds `provider` before the local-file provider, for connections made from
// now on. Throws Failure 91 for nothing, and 5 when a listed provider already
// has its connection name. Thread-safe.
void registerProvider(std::shared_ptr<const Provider> provider);

// Removes the registered provider with connection name `connectionName`;
// true when there was one. The local-file provider cannot be removed.
// Thread-safe.
bool unregisterProvider(std::string_view connectionName);

}  // namespace olap
