// Real ClickHouse servers for tests, on loopback ports, with configurations
// written into a temporary folder: one server (TestServer), or a two-shard
// cluster of two server processes (TestCluster). The server process dies with
// the test program, even when it crashes (the child asks the kernel for
// SIGKILL when its parent goes). Starting one server takes about 3 s here,
// the cluster about 6 s: share them (shared()) and keep tests lean.
//
// Users: "default" without a password, and "analyst" with the password
// kAnalystPassword, for tests of wrong credentials.
#pragma once

#include "support/scratchfolder.h"

#include <sys/types.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace testsupport {

inline constexpr const char* kAnalystPassword = "s3cret";

struct ClusterMember {
    std::string cluster;                // the cluster's name in remote_servers
    std::vector<uint16_t> shardTcpPorts;  // one server per shard, on 127.0.0.1
};

class TestServer {
public:
    // Chooses free ports and writes the configuration; starts nothing yet.
    TestServer();
    ~TestServer();
    TestServer(const TestServer&) = delete;
    TestServer& operator=(const TestServer&) = delete;

    // The server every test of this program shares, started on first use and
    // stopped when the program ends.
    static TestServer& shared();

    // Makes this server a member of a cluster; before start().
    void joinCluster(const ClusterMember& cluster);

    // Starts the server and waits until it answers (throws std::runtime_error
    // with the end of its error log when it does not within 60 s).
    void start();
    // SIGKILL at once: a server dying in the middle of a query, or the end.
    void kill();
    bool running() const { return mPid > 0; }

    uint16_t tcpPort() const { return mTcpPort; }
    // "127.0.0.1:PORT", as users type it.
    std::string dataSource() const;
    std::string url() const;

    // Runs `sql` as user default; the answer's body. Throws std::runtime_error
    // with the server's message when it refuses.
    std::string query(const std::string& sql) const;

private:
    void writeConfiguration() const;

    ScratchFolder mFolder;
    uint16_t mHttpPort = 0;
    uint16_t mTcpPort = 0;
    uint16_t mInterserverPort = 0;
    ClusterMember mCluster;
    pid_t mPid = -1;
};

// Two servers forming the two-shard cluster name().
class TestCluster {
public:
    TestCluster();
    static TestCluster& shared();

    const std::string& name() const { return mName; }
    TestServer& server(size_t index) { return *mServers.at(index); }
    // Every server's URL, comma-separated, as cubebuilder --publish takes them.
    std::string urls() const;

private:
    std::string mName = "pw_test_cluster";
    std::vector<std::unique_ptr<TestServer>> mServers;
};

}  // namespace testsupport

// Skips the test (fails it under CI=true) unless the ClickHouse server is installed.
#define REQUIRE_CLICKHOUSE() REQUIRE_PROGRAMS("clickhouse-server")
