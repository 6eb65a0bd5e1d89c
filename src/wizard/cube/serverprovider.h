// The server provider as the host program installs it: registered ahead of
// the local-file provider, with logins and time limits read from the
// settings store, per server:
//   HKEY_CURRENT_USER\Software\Brennlow\Servers\HOST:PORT  User, Password, QueryTimeout (seconds)
//   HKEY_CURRENT_USER\Software\Brennlow\Servers            QueryTimeout (every server)
// What the store does not say comes from the environment (olap/server/servercredentials.h).
#pragma once

#include <string>

// The settings key of the server `display` ("host:port").
std::string serverSettingsKey(const std::string& display);

// Registers the server provider (once; later calls do nothing) and makes the
// settings store the first place its logins come from.
void installServerProvider();
