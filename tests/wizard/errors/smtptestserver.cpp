#include "smtptestserver.h"

#include <QByteArray>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

namespace {

bool isCommand(const std::string& line, const char* command)
{
    return QByteArray::fromStdString(line).toUpper().startsWith(command);
}

}  // namespace

SmtpTestServer::SmtpTestServer()
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

void SmtpTestServer::requireLogin(const std::string& user, const std::string& password)
{
    std::lock_guard lock(mMutex);
    mLogin = std::string(1, '\0') + user + '\0' + password;
}

std::vector<SmtpTestServer::Mail> SmtpTestServer::mails() const
{
    std::lock_guard lock(mMutex);
    return mMails;
}

// With no login required, every client counts as logged in.
bool SmtpTestServer::loginMatches(const std::string& base64) const
{
    std::lock_guard lock(mMutex);
    return mLogin.empty() || QByteArray::fromBase64(QByteArray::fromStdString(base64)).toStdString() == mLogin;
}

void SmtpTestServer::serve(int fd)
{
    std::string buffer, line;
    const auto reply = [fd](const std::string& text) { ::send(fd, (text + "\r\n").data(), text.size() + 2, MSG_NOSIGNAL); };
    // The next line without its CR LF; false, with `line` empty, when the client went away.
    const auto readLine = [&] {
        for (size_t end; (end = buffer.find("\r\n")) == std::string::npos;) {
            char chunk[4096];
            const ssize_t n = ::recv(fd, chunk, sizeof chunk, 0);
            if (n <= 0) {
                line.clear();
                return false;
            }
            buffer.append(chunk, size_t(n));
        }
        line = buffer.substr(0, buffer.find("\r\n"));
        buffer.erase(0, line.size() + 2);
        return true;
    };
    Mail mail;
    bool loggedIn = false;
    reply("220 localhost test mail server ready");
    while (readLine() && !isCommand(line, "QUIT")) {
        if (isCommand(line, "EHLO")) {
            reply("250-localhost\r\n250-AUTH PLAIN\r\n250 8BITMIME");
        } else if (isCommand(line, "AUTH PLAIN")) {
            std::string credentials = line.size() > 11 ? line.substr(11) : std::string();
            if (credentials.empty() && (reply("334 "), readLine()))
                credentials = line;
            loggedIn = loginMatches(credentials);
            reply(loggedIn ? "235 authenticated" : "535 authentication failed");
        } else if (isCommand(line, "MAIL FROM:")) {
            mail = {};
            reply(loggedIn || loginMatches({}) ? "250 OK" : "530 authentication required");
        } else if (isCommand(line, "RCPT TO:")) {
            mail.recipient = line.substr(line.find('<') + 1, line.find('>') - line.find('<') - 1);
            reply("250 OK");
        } else if (isCommand(line, "DATA")) {
            reply("354 end data with <CR><LF>.<CR><LF>");
            while (readLine() && line != ".")
                mail.data += (line.starts_with('.') ? line.substr(1) : line) + "\r\n";
            if (line != ".")
                break;
            {
                std::lock_guard lock(mMutex);
                mMails.push_back(mail);
            }
            reply("250 OK queued");
        } else {
            reply("250 OK");
        }
    }
    reply("221 bye");
    std::lock_guard lock(mMutex);
    ::shutdown(fd, SHUT_RDWR);
    // Closed under the lock, so the destructor never shuts down a number
    // that was closed here and already reused.
    std::erase(mClients, fd);
    ::close(fd);
}
