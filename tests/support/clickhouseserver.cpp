#include "support/clickhouseserver.h"

#include "support/requiredprograms.h"

#include <curl/curl.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <thread>

namespace testsupport {

namespace {

// A port the kernel calls free now. Another program could take it before the
// server binds it; on a test machine that is rare enough.
uint16_t freePort()
{
    const int handle = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (handle < 0)
        throw std::runtime_error("no free loopback port");
    const bool found = ::bind(handle, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0
                       && ::getsockname(handle, reinterpret_cast<sockaddr*>(&address), &size) == 0;
    ::close(handle);
    if (!found)
        throw std::runtime_error("no free loopback port");
    return ntohs(address.sin_port);
}

size_t appendBody(char* data, size_t size, size_t count, void* body)
{
    static_cast<std::string*>(body)->append(data, size * count);
    return size * count;
}

// POSTs `sql` to `url`; the HTTP status and body, status 0 when nothing answered.
std::pair<long, std::string> post(const std::string& url, const std::string& sql, long timeoutMs)
{
    std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> easy(curl_easy_init(), &curl_easy_cleanup);
    std::string body;
    curl_easy_setopt(easy.get(), CURLOPT_URL, url.c_str());
    curl_easy_setopt(easy.get(), CURLOPT_POSTFIELDS, sql.c_str());
    curl_easy_setopt(easy.get(), CURLOPT_WRITEFUNCTION, &appendBody);
    curl_easy_setopt(easy.get(), CURLOPT_WRITEDATA, &body);
    curl_easy_setopt(easy.get(), CURLOPT_TIMEOUT_MS, timeoutMs);
    curl_easy_setopt(easy.get(), CURLOPT_NOSIGNAL, 1L);
    long status = 0;
    if (curl_easy_perform(easy.get()) == CURLE_OK)
        curl_easy_getinfo(easy.get(), CURLINFO_RESPONSE_CODE, &status);
    return {status, body};
}

std::string tail(const std::filesystem::path& file)
{
    std::ifstream in(file);
    const std::string all{std::istreambuf_iterator<char>(in), {}};
    return all.size() > 2000 ? all.substr(all.size() - 2000) : all;
}

constexpr const char* kUsers = R"(<yandex>
  <profiles><default></default></profiles>
  <users>
    <default><password></password><networks><ip>127.0.0.1</ip><ip>::1</ip></networks><profile>default</profile><quota>default</quota></default>
    <analyst><password>s3cret</password><networks><ip>127.0.0.1</ip><ip>::1</ip></networks><profile>default</profile><quota>default</quota></analyst>
  </users>
  <quotas><default></default></quotas>
</yandex>
)";

}  // namespace

TestServer::TestServer() : mHttpPort(freePort()), mTcpPort(freePort()), mInterserverPort(freePort())
{
    std::filesystem::create_directories(mFolder / "data");
    std::filesystem::create_directories(mFolder / "tmp");
    std::filesystem::create_directories(mFolder / "log");
}

TestServer::~TestServer() { kill(); }

TestServer& TestServer::shared()
{
    static TestServer server;
    if (!server.running())
        server.start();
    return server;
}

void TestServer::joinCluster(const ClusterMember& cluster) { mCluster = cluster; }

std::string TestServer::dataSource() const { return "127.0.0.1:" + std::to_string(mHttpPort); }
std::string TestServer::url() const { return "http://" + dataSource(); }

void TestServer::writeConfiguration() const
{
    const std::string folder = mFolder.path().string();
    std::ofstream config(mFolder / "config.xml");
    config << "<yandex>\n"
           << "  <logger><level>warning</level><log>" << folder << "/log/server.log</log><errorlog>" << folder
           << "/log/error.log</errorlog></logger>\n"
           << "  <http_port>" << mHttpPort << "</http_port><tcp_port>" << mTcpPort << "</tcp_port>\n"
           << "  <interserver_http_port>" << mInterserverPort << "</interserver_http_port>\n"
           << "  <listen_host>127.0.0.1</listen_host>\n"
           << "  <path>" << folder << "/data/</path><tmp_path>" << folder << "/tmp/</tmp_path>\n"
           << "  <user_files_path>" << folder << "/data/user_files/</user_files_path>\n"
           << "  <users_config>" << folder << "/users.xml</users_config>\n"
           << "  <default_profile>default</default_profile><default_database>default</default_database>\n"
           << "  <mark_cache_size>268435456</mark_cache_size>\n";
    if (!mCluster.cluster.empty()) {
        config << "  <remote_servers><" << mCluster.cluster << ">\n";
        for (uint16_t port : mCluster.shardTcpPorts)
            config << "    <shard><replica><host>127.0.0.1</host><port>" << port << "</port></replica></shard>\n";
        config << "  </" << mCluster.cluster << "></remote_servers>\n";
    }
    config << "</yandex>\n";
    std::ofstream(mFolder / "users.xml") << kUsers;
}

void TestServer::start()
{
    if (running())
        return;
    writeConfiguration();
    const std::string program = programPath("clickhouse-server");
    const std::string configArgument = "--config-file=" + (mFolder / "config.xml").string();
    const std::string output = (mFolder / "log" / "stdout.log").string();
    const pid_t pid = ::fork();
    if (pid < 0)
        throw std::runtime_error("cannot start clickhouse-server");
    if (pid == 0) {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (std::FILE* out = std::freopen(output.c_str(), "w", stdout))
            ::dup2(::fileno(out), STDERR_FILENO);
        ::execl(program.c_str(), program.c_str(), configArgument.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    mPid = pid;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (post(url(), "SELECT 1", 1000).first != 200) {
        int status = 0;
        if (::waitpid(mPid, &status, WNOHANG) == mPid) {
            mPid = -1;
            throw std::runtime_error("clickhouse-server stopped at start: " + tail(mFolder / "log" / "error.log")
                                     + tail(output));
        }
        if (std::chrono::steady_clock::now() > deadline) {
            kill();
            throw std::runtime_error("clickhouse-server did not answer within 60 s: " + tail(mFolder / "log" / "error.log"));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

void TestServer::kill()
{
    if (!running())
        return;
    ::kill(mPid, SIGKILL);
    ::waitpid(mPid, nullptr, 0);
    mPid = -1;
}

std::string TestServer::query(const std::string& sql) const
{
    const auto [status, body] = post(url(), sql, 120000);
    if (status != 200)
        throw std::runtime_error("the test server refused \"" + sql + "\": " + body);
    return body;
}

TestCluster::TestCluster()
{
    for (int i = 0; i < 2; ++i)
        mServers.push_back(std::make_unique<TestServer>());
    const ClusterMember member{mName, {mServers[0]->tcpPort(), mServers[1]->tcpPort()}};
    for (auto& server : mServers)
        server->joinCluster(member);
}

TestCluster& TestCluster::shared()
{
    static TestCluster cluster;
    for (auto& server : cluster.mServers)
        server->start();
    return cluster;
}

std::string TestCluster::urls() const { return mServers[0]->url() + "," + mServers[1]->url(); }

}  // namespace testsupport
