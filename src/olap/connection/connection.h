// OlapConnection: the connection model's entry point. It lists the
// providers, opens a local cube file or connects to a server through one of
// them, and offers what was opened as databases, cube entries and cubes:
//
//     olap::OlapConnection connection;
//     auto providers = connection.providers();
//     connection.openLocalCube(providers.item(providers.count() - 1)->connectionName(), "/data/Sales.cub");
//     std::shared_ptr<olap::KCube> cube = connection.databases().item(0)->cubes().item(0)->definition();
#pragma once

#include "olap/connection/connectioncube.h"
#include "platform/core/failure.h"
#include "olap/connection/provider.h"
#include "olap/model/collection.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace olap {

// Objects taken from a connection (databases, cubes, dimensions) stay valid
// after the connection is gone or has opened something else. Not
// thread-safe: use a connection from one thread.
class OlapConnection {
public:
    // Lists the registered providers, then the local-file provider
    // (providerregistry.h).
    OlapConnection();
    // Lists `providers` as given: for programs and tests that choose their own.
    explicit OlapConnection(std::vector<std::shared_ptr<const Provider>> providers);
    ~OlapConnection();

    // The provider entries, items 0 .. count() - 1.
    Collection<const Provider> providers() const;

    // Opens the local cube file `filePath` with the provider whose connection
    // name is `connectionName`, in place of what was open. Never throws a
    // Failure: a failure (no such provider, a missing, damaged or newer file)
    // is kept, and databases() then throws it.
    void openLocalCube(const std::string& connectionName, const std::filesystem::path& filePath);
    // Connects to the server `dataSource` through the provider whose
    // connection name is `connectionName`, in place of what was open. Like
    // openLocalCube, never throws a Failure: databases() throws it.
    void connect(const std::string& connectionName, const std::string& dataSource, const std::string& user,
                 const std::string& password);

    // The databases of what is open, items 0 .. count() - 1; empty before
    // anything was opened. Throws the failure of the last openLocalCube or
    // connect when that failed.
    Collection<KDatabase> databases() const;
    // The failure of the last openLocalCube or connect; nothing after a success.
    const std::optional<platform::Failure>& lastFailure() const { return mFailure; }

private:
    template <class Open>
    void open(const std::string& connectionName, Open&& open);

    std::vector<std::shared_ptr<const Provider>> mProviders;
    std::vector<std::shared_ptr<KDatabase>> mDatabases;
    std::optional<platform::Failure> mFailure;
};

}  // namespace olap
