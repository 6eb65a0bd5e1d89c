#include "support/smtptestserver.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>
#include <strings.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <stdexcept>

namespace {

bool isCommand(const std::string& line, std::string_view command)
{
    return ::strncasecmp(line.c_str(), command.data(), command.size()) == 0;
}

std::string toBase64(const std::string& bytes)
{
    std::string text(4 * ((bytes.size() + 2) / 3) + 1, '\0');
    text.resize(size_t(EVP_EncodeBlock(reinterpret_cast<unsigned char*>(text.data()),
                                       reinterpret_cast<const unsigned char*>(bytes.data()), int(bytes.size()))));
    return text;
}

}  // namespace

// A key and a self-signed certificate for 127.0.0.1, made when the server
// starts, and the certificate as a PEM file for clients to trust.
class SmtpTestServer::Tls {
public:
    Tls()
    {
        key = EVP_EC_gen("P-256");
        cert = X509_new();
        X509_set_version(cert, 2);
        ASN1_INTEGER_set(X509_get_serialNumber(cert), 1);
        X509_gmtime_adj(X509_getm_notBefore(cert), -3600);
        X509_gmtime_adj(X509_getm_notAfter(cert), 86400);
        X509_set_pubkey(cert, key);
        X509_NAME* name = X509_get_subject_name(cert);
        X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC, reinterpret_cast<const unsigned char*>("127.0.0.1"), -1, -1, 0);
        X509_set_issuer_name(cert, name);
        X509V3_CTX context;
        X509V3_set_ctx_nodb(&context);
        X509V3_set_ctx(&context, cert, cert, nullptr, nullptr, 0);
        X509_EXTENSION* names = X509V3_EXT_conf_nid(nullptr, &context, NID_subject_alt_name, "IP:127.0.0.1");
        X509_add_ext(cert, names, -1);
        X509_EXTENSION_free(names);
        X509_sign(cert, key, EVP_sha256());
        ssl = SSL_CTX_new(TLS_server_method());
        if (!key || !ssl || SSL_CTX_use_certificate(ssl, cert) != 1 || SSL_CTX_use_PrivateKey(ssl, key) != 1)
            throw std::runtime_error("the test mail server cannot make its certificate");
        std::string pattern = (std::filesystem::temp_directory_path() / "smtptest-XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            throw std::runtime_error("the test mail server cannot make a folder");
        folder = pattern;
        FILE* out = std::fopen((folder / "server.pem").c_str(), "w");
        PEM_write_X509(out, cert);
        std::fclose(out);
    }
    ~Tls()
    {
        SSL_CTX_free(ssl);
        X509_free(cert);
        EVP_PKEY_free(key);
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }

    EVP_PKEY* key = nullptr;
    X509* cert = nullptr;
    SSL_CTX* ssl = nullptr;
    std::filesystem::path folder;
};

// One client's connection: plain until upgraded to TLS.
class SmtpTestServer::Channel {
public:
    explicit Channel(int fd) : mFd(fd) {}
    ~Channel() { SSL_free(mSsl); }

    bool encrypted() const { return mSsl != nullptr; }
    bool upgrade(SSL_CTX* context)
    {
        mSsl = SSL_new(context);
        SSL_set_fd(mSsl, mFd);
        return SSL_accept(mSsl) == 1;
    }
    void reply(const std::string& text)
    {
        const std::string line = text + "\r\n";
        if (mSsl)
            SSL_write(mSsl, line.data(), int(line.size()));
        else
            ::send(mFd, line.data(), line.size(), MSG_NOSIGNAL);
    }
    // The next line without its CR LF; false, with `line` empty, when the client went away.
    bool readLine(std::string& line)
    {
        for (size_t end; (end = mBuffer.find("\r\n")) == std::string::npos;) {
            char chunk[4096];
            const long n = mSsl ? SSL_read(mSsl, chunk, sizeof chunk) : long(::recv(mFd, chunk, sizeof chunk, 0));
            if (n <= 0) {
                line.clear();
                return false;
            }
            mBuffer.append(chunk, size_t(n));
        }
        line = mBuffer.substr(0, mBuffer.find("\r\n"));
        mBuffer.erase(0, line.size() + 2);
        return true;
    }

private:
    int mFd;
    SSL* mSsl = nullptr;
    std::string mBuffer;
};

SmtpTestServer::SmtpTestServer(bool startTls) : mStartTls(startTls), mTls(std::make_unique<Tls>())
{
    mListener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (mListener < 0 || ::bind(mListener, reinterpret_cast<sockaddr*>(&address), length) != 0
        || ::listen(mListener, 8) != 0 || ::getsockname(mListener, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        throw std::runtime_error("the test mail server cannot listen");
    mPort = ntohs(address.sin_port);
    mAcceptor = std::thread([this] {
        for (int fd; (fd = ::accept4(mListener, nullptr, nullptr, SOCK_CLOEXEC)) >= 0 || errno == EINTR
                     || errno == ECONNABORTED;) {
            std::lock_guard lock(mMutex);
            if (fd >= 0) {
                mClients.push_back(fd);
                mThreads.emplace_back([this, fd] { serve(fd); });
            }
        }
    });
}

SmtpTestServer::~SmtpTestServer()
{
    // Shutting the sockets down wakes the threads blocked in accept and recv.
    ::shutdown(mListener, SHUT_RDWR);
    mAcceptor.join();
    ::close(mListener);
    std::vector<std::thread> threads;
    {
        std::lock_guard lock(mMutex);
        for (const int fd : mClients)
            ::shutdown(fd, SHUT_RDWR);
        threads.swap(mThreads);
    }
    for (std::thread& thread : threads)
        thread.join();
}

std::string SmtpTestServer::caFile() const { return (mTls->folder / "server.pem").string(); }

void SmtpTestServer::requireLogin(const std::string& user, const std::string& password)
{
    std::lock_guard lock(mMutex);
    mLogin = toBase64(std::string(1, '\0') + user + '\0' + password);
}

std::vector<SmtpTestServer::Mail> SmtpTestServer::mails() const
{
    std::lock_guard lock(mMutex);
    return mMails;
}

int SmtpTestServer::clearTextLogins() const
{
    std::lock_guard lock(mMutex);
    return mClearTextLogins;
}

// With no login required, every client counts as logged in.
bool SmtpTestServer::loginMatches(const std::string& base64) const
{
    std::lock_guard lock(mMutex);
    return mLogin.empty() || base64 == mLogin;
}

void SmtpTestServer::serve(int fd)
{
    Channel channel(fd);
    std::string line;
    Mail mail;
    bool loggedIn = false;
    channel.reply("220 localhost test mail server ready");
    while (channel.readLine(line) && !isCommand(line, "QUIT")) {
        if (isCommand(line, "EHLO")) {
            channel.reply(mStartTls && !channel.encrypted() ? "250-localhost\r\n250-STARTTLS\r\n250-AUTH PLAIN\r\n250 8BITMIME"
                                                            : "250-localhost\r\n250-AUTH PLAIN\r\n250 8BITMIME");
        } else if (isCommand(line, "STARTTLS") && mStartTls && !channel.encrypted()) {
            channel.reply("220 ready to start TLS");
            if (!channel.upgrade(mTls->ssl))
                break;
        } else if (isCommand(line, "AUTH PLAIN")) {
            if (!channel.encrypted()) {
                std::lock_guard lock(mMutex);
                ++mClearTextLogins;
            }
            std::string credentials = line.size() > 11 ? line.substr(11) : std::string();
            if (credentials.empty() && (channel.reply("334 "), channel.readLine(line)))
                credentials = line;
            loggedIn = loginMatches(credentials);
            channel.reply(loggedIn ? "235 authenticated" : "535 authentication failed");
        } else if (isCommand(line, "MAIL FROM:")) {
            mail = {};
            mail.encrypted = channel.encrypted();
            channel.reply(loggedIn || loginMatches({}) ? "250 OK" : "530 authentication required");
        } else if (isCommand(line, "RCPT TO:")) {
            mail.recipient = line.substr(line.find('<') + 1, line.find('>') - line.find('<') - 1);
            channel.reply("250 OK");
        } else if (isCommand(line, "DATA")) {
            channel.reply("354 end data with <CR><LF>.<CR><LF>");
            while (channel.readLine(line) && line != ".")
                mail.data += (line.starts_with('.') ? line.substr(1) : line) + "\r\n";
            if (line != ".")
                break;
            {
                std::lock_guard lock(mMutex);
                mMails.push_back(mail);
            }
            channel.reply("250 OK queued");
        } else {
            channel.reply("250 OK");
        }
    }
    channel.reply("221 bye");
    std::lock_guard lock(mMutex);
    ::shutdown(fd, SHUT_RDWR);
    // Closed under the lock, so the destructor never shuts down a number
    // that was closed here and already reused.
    std::erase(mClients, fd);
    ::close(fd);
}
