// Requests to one ClickHouse server over its HTTP interface (libcurl). Every
// request is a POST of SQL (and, for inserts, data) with the login in
// request headers (X-ClickHouse-User, X-ClickHouse-Key), never in the URL.
//
// Failures are platform::Failure (source "olap") whose description starts
// with "Server HOST:PORT: " and says what happened:
//   kServerRefused      "refused the connection"
//   kServerUnreachable  "cannot be reached" (name not found, no route, connect time-out)
//   kServerLogin        "did not accept the user name or password", or (never
//                       sent) "cannot be sent the user name or password: it
//                       holds a line break"
//   kServerNoDatabase   "has no database \"DB\""
//   kServerRejected     "rejected the query: " + the server's own message
//   kServerTimeout      "did not answer within N s; the query was cancelled"
//   kServerLost         "closed the connection during the query" (killed, restarted)
//   kServerMalformed    "sent an answer that cannot be read (" + what + ")"
// The password never appears in a description, and neither does the SQL
// (it may hold member names the user typed; the server's message may quote
// it, and is passed on as the server wrote it).
#pragma once

#include "olap/server/serveraddress.h"
#include "olap/server/servercredentials.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace olap::server {

// Failure numbers of server requests (runtime-style, above the runtime's own).
inline constexpr int32_t kServerRefused = 3001;
inline constexpr int32_t kServerUnreachable = 3002;
inline constexpr int32_t kServerLogin = 3003;
inline constexpr int32_t kServerNoDatabase = 3004;
inline constexpr int32_t kServerRejected = 3005;
inline constexpr int32_t kServerTimeout = 3006;
inline constexpr int32_t kServerLost = 3007;
inline constexpr int32_t kServerMalformed = 3008;

namespace detail {
struct HttpAnswer;  // what one request brought back (serversession.cpp)
}

class ServerSession {
public:
    // Makes no request yet. `database` is the default database of every
    // request (empty: the server's default).
    ServerSession(ServerAddress address, ServerLogin login, std::string database = {});

    const ServerAddress& address() const { return mAddress; }
    const std::string& database() const { return mDatabase; }

    // Runs `sql` and returns the whole answer body. The time limit is the
    // login's timeout; when it runs out the query is cancelled on the server
    // (KILL QUERY by the request's own query id) before the failure is
    // thrown. Answers larger than `maxBytes` are refused as malformed.
    std::string query(const std::string& sql, size_t maxBytes = size_t(1) << 30) const;

    // Runs `sql` (DDL, INSERT ... SELECT) and ignores the answer.
    void execute(const std::string& sql) const;

    // Sends "INSERT INTO table FORMAT RowBinary" (`insertSql`) with `data` as the body.
    void insert(const std::string& insertSql, std::string_view data) const;

    // A failure naming this server, for callers that find an answer malformed.
    [[noreturn]] void malformed(const std::string& what) const;

private:
    [[noreturn]] void fail(int32_t number, const std::string& what) const;
    void checkLogin() const;
    void check(const detail::HttpAnswer& answer, const std::string& queryId) const;
    [[noreturn]] void rejected(const detail::HttpAnswer& answer) const;
    bool reachable() const;
    void cancel(const std::string& queryId) const;
    static std::string seconds(std::chrono::milliseconds time);

    ServerAddress mAddress;
    ServerLogin mLogin;
    std::string mDatabase;
};

}  // namespace olap::server
