#include "platform/services/smtpmail.h"

#include <curl/curl.h>

#include <array>
#include <cstdio>
#include <ctime>
#include <mutex>

namespace platform {

namespace {

struct CurlDeleter {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
    void operator()(curl_mime* mime) const { curl_mime_free(mime); }
};
using CurlList = std::unique_ptr<curl_slist, CurlDeleter>;
using CurlMime = std::unique_ptr<curl_mime, CurlDeleter>;

void initialiseCurl()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

void append(CurlList& list, const std::string& text)
{
    // Appending returns the list's head: the same one, or the first node.
    curl_slist* head = curl_slist_append(list.get(), text.c_str());
    if (head && head != list.get()) {
        static_cast<void>(list.release());
        list.reset(head);
    }
}

// RFC 5322 date in English whatever the process's locale is.
std::string mailDate(std::time_t now)
{
    static constexpr std::array<const char*, 7> kDays{"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static constexpr std::array<const char*, 12> kMonths{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::tm local{};
    localtime_r(&now, &local);
    const long offset = local.tm_gmtoff / 60;
    char text[64];
    std::snprintf(text, sizeof text, "%s, %02d %s %04d %02d:%02d:%02d %c%02ld%02ld", kDays[size_t(local.tm_wday)],
                  local.tm_mday, kMonths[size_t(local.tm_mon)], local.tm_year + 1900, local.tm_hour, local.tm_min,
                  local.tm_sec, offset < 0 ? '-' : '+', (offset < 0 ? -offset : offset) / 60,
                  (offset < 0 ? -offset : offset) % 60);
    return text;
}

}  // namespace

struct SmtpSession::Connection {
    std::unique_ptr<CURL, CurlDeleter> handle{curl_easy_init()};
    char errors[CURL_ERROR_SIZE] = {};
    std::string server;

    explicit Connection(const SmtpAccount& account) : server(account.server)
    {
        CURL* h = handle.get();
        curl_easy_setopt(h, CURLOPT_URL, account.server.c_str());
        curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(h, CURLOPT_ERRORBUFFER, errors);
        curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT, account.timeoutSeconds);
        // With a password to protect, TLS or nothing; without one, TLS where offered.
        curl_easy_setopt(h, CURLOPT_USE_SSL, long(account.user.empty() ? CURLUSESSL_TRY : CURLUSESSL_ALL));
        if (!account.caFile.empty())
            curl_easy_setopt(h, CURLOPT_CAINFO, account.caFile.c_str());
        if (!account.user.empty()) {
            curl_easy_setopt(h, CURLOPT_USERNAME, account.user.c_str());
            curl_easy_setopt(h, CURLOPT_PASSWORD, account.password.c_str());
        }
    }

    // Runs the transfer; the reason for a failure goes to `error`.
    bool perform(std::string& error)
    {
        const CURLcode result = curl_easy_perform(handle.get());
        if (result == CURLE_OK)
            return true;
        if (result == CURLE_USE_SSL_FAILED) {
            error = "the mail server " + server + " offers no encryption (STARTTLS), and the login's password "
                    "is never sent without it; use a server that offers STARTTLS, or an smtps:// address";
            return false;
        }
        error = errors[0] ? errors : curl_easy_strerror(result);
        return false;
    }
};

SmtpSession::SmtpSession(SmtpAccount account) : mAccount(std::move(account)) { initialiseCurl(); }

SmtpSession::~SmtpSession() = default;

bool SmtpSession::signOn()
{
    signOff();
    if (mAccount.server.empty()) {
        mLastError = "no mail server is configured";
        return false;
    }
    auto connection = std::make_unique<Connection>(mAccount);
    curl_easy_setopt(connection->handle.get(), CURLOPT_CONNECT_ONLY, 1L);
    // A server that accepts the connection but never greets must not hold us.
    curl_easy_setopt(connection->handle.get(), CURLOPT_TIMEOUT, mAccount.timeoutSeconds);
    if (!connection->perform(mLastError))
        return false;
    mSignedOn = std::move(connection);
    return true;
}

bool SmtpSession::isSignedOn() const { return mSignedOn != nullptr; }

void SmtpSession::signOff() { mSignedOn.reset(); }

bool SmtpSession::send(const MailMessage& message)
{
    std::error_code missing;
    if (!message.attachment.empty() && !std::filesystem::is_regular_file(message.attachment, missing)) {
        mLastError = "the attachment '" + message.attachment.string() + "' does not exist";
        return false;
    }
    Connection connection(mAccount);
    CURL* h = connection.handle.get();
    const std::string from = "<" + mAccount.sender + ">";
    curl_easy_setopt(h, CURLOPT_MAIL_FROM, from.c_str());
    CurlList recipients;
    append(recipients, "<" + message.recipient + ">");
    curl_easy_setopt(h, CURLOPT_MAIL_RCPT, recipients.get());

    CurlList headers;
    append(headers, "Date: " + mailDate(std::time(nullptr)));
    append(headers, "From: \"" + mAccount.senderName + "\" " + from);
    append(headers, "To: <" + message.recipient + ">");
    append(headers, "Subject: " + message.subject);
    curl_easy_setopt(h, CURLOPT_HTTPHEADER, headers.get());

    const CurlMime mime(curl_mime_init(h));
    curl_mimepart* text = curl_mime_addpart(mime.get());
    curl_mime_data(text, message.body.data(), message.body.size());
    curl_mime_type(text, "text/plain; charset=utf-8");
    curl_mime_encoder(text, "quoted-printable");
    if (!message.attachment.empty()) {
        curl_mimepart* file = curl_mime_addpart(mime.get());
        curl_mime_filedata(file, message.attachment.c_str());
        curl_mime_type(file, message.attachmentType.c_str());
        curl_mime_encoder(file, "base64");
    }
    curl_easy_setopt(h, CURLOPT_MIMEPOST, mime.get());
    // Give up on a server that stops taking data rather than wait forever.
    curl_easy_setopt(h, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(h, CURLOPT_LOW_SPEED_TIME, mAccount.timeoutSeconds);
    return connection.perform(mLastError);
}

}  // namespace platform
