// Requests over libcurl. Each request uses its own easy handle: requests are
// few and large, and a handle per request keeps sessions usable from any
// thread.
#include "olap/server/serversession.h"

#include "olap/server/serversql.h"
#include "platform/core/failure.h"

#include <curl/curl.h>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <random>

namespace olap::server {

namespace {

struct CurlGlobal {
    CurlGlobal() { curl_global_init(CURL_GLOBAL_DEFAULT); }
};

using Easy = std::unique_ptr<CURL, decltype(&curl_easy_cleanup)>;
using Headers = std::unique_ptr<curl_slist, decltype(&curl_slist_free_all)>;

Easy newEasy()
{
    static CurlGlobal global;
    Easy easy(curl_easy_init(), &curl_easy_cleanup);
    if (!easy)
        throw std::bad_alloc();
    return easy;
}

std::string escaped(CURL* easy, const std::string& text)
{
    std::unique_ptr<char, decltype(&curl_free)> out(curl_easy_escape(easy, text.data(), int(text.size())), &curl_free);
    if (!out)
        throw std::bad_alloc();
    return out.get();
}

std::string newQueryId()
{
    static thread_local std::mt19937_64 random{std::random_device{}()};
    static constexpr char kHex[] = "0123456789abcdef";
    std::string id = "pw-";
    for (int i = 0; i < 24; ++i)
        id += kHex[random() % 16];
    return id;
}

}  // namespace

struct detail::HttpAnswer {
    CURLcode code = CURLE_OK;
    long status = 0;
    long osError = 0;
    bool tooLarge = false;
    std::string body;
};

namespace {

using Answer = detail::HttpAnswer;

struct Sink {
    std::string* body;
    size_t maxBytes;
    bool* tooLarge;
};

size_t writeBody(char* data, size_t size, size_t count, void* user)
{
    auto* sink = static_cast<Sink*>(user);
    const size_t bytes = size * count;
    if (sink->body->size() + bytes > sink->maxBytes) {
        *sink->tooLarge = true;
        return 0;  // stops the transfer
    }
    sink->body->append(data, bytes);
    return bytes;
}

// The server's message out of "Code: N, e.displayText() = DB::Exception: MESSAGE, e.what() = ...".
std::pair<int, std::string> serverError(const std::string& body)
{
    int code = 0;
    const auto codeAt = body.rfind("Code: ");
    std::string text = codeAt == std::string::npos ? body : body.substr(codeAt);
    if (codeAt != std::string::npos)
        code = std::atoi(text.c_str() + 6);
    if (const auto start = text.find("DB::Exception: "); start != std::string::npos)
        text = text.substr(start + 15);
    if (const auto end = text.rfind(", e.what() = "); end != std::string::npos)
        text = text.substr(0, end);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' '))
        text.pop_back();
    return {code, text};
}

// An answer that failed part-way ends with the server's exception text.
bool endsInException(const std::string& body)
{
    const auto line = body.rfind("\nCode: ", body.size() > 1 ? body.size() - 2 : 0);
    const size_t start = body.starts_with("Code: ") ? 0 : (line == std::string::npos ? std::string::npos : line + 1);
    return start != std::string::npos && body.find("DB::Exception", start) != std::string::npos
           && body.find('\n', start) >= body.size() - 1;
}

}  // namespace

ServerSession::ServerSession(ServerAddress address, ServerLogin login, std::string database)
    : mAddress(std::move(address)), mLogin(std::move(login)), mDatabase(std::move(database))
{
}

namespace {

class Request {
public:
    Request(const ServerAddress& address, const ServerLogin& login, const std::string& database,
            std::chrono::milliseconds timeout)
        : mEasy(newEasy()), mHeaders(nullptr, &curl_slist_free_all)
    {
        mUrl = address.url() + "?query_id=" + (mQueryId = newQueryId());
        if (!database.empty())
            mUrl += "&database=" + escaped(mEasy.get(), database);
        // A backstop on the server for when the client is gone.
        mUrl += "&max_execution_time=" + std::to_string(timeout.count() / 1000 + 5);
        curl_slist* list = nullptr;
        list = curl_slist_append(list, ("X-ClickHouse-User: " + login.user).c_str());
        list = curl_slist_append(list, ("X-ClickHouse-Key: " + login.password).c_str());
        list = curl_slist_append(list, "Expect:");
        mHeaders.reset(list);
        CURL* easy = mEasy.get();
        curl_easy_setopt(easy, CURLOPT_HTTPHEADER, list);
        curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(easy, CURLOPT_TIMEOUT_MS, long(timeout.count()));
        curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, long(std::min<int64_t>(timeout.count(), 10000)));
        curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &writeBody);
        curl_easy_setopt(easy, CURLOPT_ACCEPT_ENCODING, "");
    }

    const std::string& queryId() const { return mQueryId; }

    void addParameter(const std::string& name, const std::string& value)
    {
        mUrl += "&" + name + "=" + escaped(mEasy.get(), value);
    }

    Answer post(std::string_view body, size_t maxBytes)
    {
        Answer answer;
        Sink sink{&answer.body, maxBytes, &answer.tooLarge};
        CURL* easy = mEasy.get();
        curl_easy_setopt(easy, CURLOPT_URL, mUrl.c_str());
        curl_easy_setopt(easy, CURLOPT_POSTFIELDS, body.data());
        curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE, curl_off_t(body.size()));
        curl_easy_setopt(easy, CURLOPT_WRITEDATA, &sink);
        answer.code = curl_easy_perform(easy);
        curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &answer.status);
        curl_easy_getinfo(easy, CURLINFO_OS_ERRNO, &answer.osError);
        return answer;
    }

private:
    Easy mEasy;
    Headers mHeaders;
    std::string mUrl;
    std::string mQueryId;
};

// Whether the login can go into request headers: a line break there would
// end the header and start another of the text's choosing.
bool sendable(const ServerLogin& login)
{
    const auto plain = [](const std::string& text) {
        return std::none_of(text.begin(), text.end(), [](char c) { return c == '\r' || c == '\n' || c == '\0'; });
    };
    return plain(login.user) && plain(login.password);
}

}  // namespace

std::string ServerSession::query(const std::string& sql, size_t maxBytes) const
{
    checkLogin();
    Request request(mAddress, mLogin, mDatabase, mLogin.timeout);
    request.addParameter("max_query_size", std::to_string(std::max<size_t>(sql.size() + 1024, 262144)));
    Answer answer = request.post(sql, maxBytes);
    check(answer, request.queryId());
    return std::move(answer.body);
}

void ServerSession::execute(const std::string& sql) const { query(sql, size_t(1) << 20); }

void ServerSession::insert(const std::string& insertSql, std::string_view data) const
{
    checkLogin();
    Request request(mAddress, mLogin, mDatabase, mLogin.timeout);
    request.addParameter("query", insertSql);
    Answer answer = request.post(data, size_t(1) << 20);
    check(answer, request.queryId());
}

void ServerSession::fail(int32_t number, const std::string& what) const
{
    throw platform::Failure(number, "Server " + mAddress.display() + ": " + what, "olap");
}

void ServerSession::checkLogin() const
{
    if (!sendable(mLogin))
        fail(kServerLogin, "cannot be sent the user name or password: it holds a line break");
}

void ServerSession::malformed(const std::string& what) const
{
    fail(kServerMalformed, "sent an answer that cannot be read (" + what + ")");
}

void ServerSession::check(const Answer& answer, const std::string& queryId) const
{
    if (answer.tooLarge)
        malformed("it is larger than expected");
    switch (answer.code) {
    case CURLE_OK:
        break;
    case CURLE_COULDNT_RESOLVE_HOST:
        fail(kServerUnreachable, "cannot be reached (the name \"" + mAddress.host + "\" is not known)");
    case CURLE_COULDNT_CONNECT:
        if (answer.osError == ECONNREFUSED)
            fail(kServerRefused, "refused the connection (is the server running, on this port?)");
        fail(kServerUnreachable, "cannot be reached (" + std::string(curl_easy_strerror(answer.code)) + ")");
    case CURLE_OPERATION_TIMEDOUT:
        if (answer.status == 0 && answer.body.empty() && !reachable())
            fail(kServerUnreachable, "cannot be reached (no answer to the connection within the time limit)");
        cancel(queryId);
        fail(kServerTimeout, "did not answer within " + seconds(mLogin.timeout) + "; the query was cancelled");
    case CURLE_GOT_NOTHING:
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR:
    case CURLE_PARTIAL_FILE:
        fail(kServerLost, "closed the connection during the query (was the server stopped?)");
    default:
        fail(kServerUnreachable, "cannot be reached (" + std::string(curl_easy_strerror(answer.code)) + ")");
    }
    if (answer.status != 200 || endsInException(answer.body))
        rejected(answer);
}

void ServerSession::rejected(const Answer& answer) const
{
    const auto [code, message] = serverError(answer.body);
    if (code == 192 || code == 193 || code == 194 || code == 516 || answer.status == 401)
        fail(kServerLogin, "did not accept the user name or password (user \"" + mLogin.user + "\")");
    if (code == 81)
        fail(kServerNoDatabase, "has no database " + quoteText(mDatabase) + " (" + message + ")");
    if (code == 0 && answer.status != 200)
        malformed("HTTP status " + std::to_string(answer.status) + " without the server's message");
    fail(kServerRejected, "rejected the query: " + message);
}

// Whether anything answers at the address at all: tells a slow query from a
// server that never took the connection.
bool ServerSession::reachable() const
{
    Request probe(mAddress, mLogin, {}, std::chrono::milliseconds(2000));
    return probe.post("SELECT 1", 4096).code == CURLE_OK;
}

void ServerSession::cancel(const std::string& queryId) const
{
    Request kill(mAddress, mLogin, {}, std::chrono::milliseconds(5000));
    kill.post("KILL QUERY WHERE query_id = " + quoteText(queryId) + " SYNC", 1 << 20);
}

std::string ServerSession::seconds(std::chrono::milliseconds time)
{
    const int64_t ms = time.count();
    std::string text = std::to_string(ms / 1000);
    if (ms % 1000)
        text += "." + std::to_string(ms % 1000 + 1000).substr(1);
    while (text.find('.') != std::string::npos && text.back() == '0')
        text.pop_back();
    return text + " s";
}

}  // namespace olap::server
