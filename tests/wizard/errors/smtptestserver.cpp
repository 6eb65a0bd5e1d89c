#include "smtptestserver.h"

#include <QByteArray>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

namespace {

bool isCommand(const std::string& line, const std::string& command)
{
    return QByteArray::fromStdString(line.substr(0, command.size())).toUpper().toStdString() == command;
}

std::string betweenBrackets(const std::string& line)
{
    const size_t open = line.find('<'), close = line.find('>');
    return open == std::string::npos || close == std::string::npos ? std::string() : line.substr(open + 1, close - open - 1);
}

bool reply(int fd, const std::string& text)
{
    const std::string line = text + "\r\n";
    return ::send(fd, line.data(), line.size(), MSG_NOSIGNAL) == ssize_t(line.size());
}

}  // namespace

SmtpTestServer::SmtpTestServer(Behaviour behaviour) : mBehaviour(behaviour)
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
        for (;;) {
            const int fd = ::accept4(mListener, nullptr, nullptr, SOCK_CLOEXEC);
            if (fd < 0 && (errno == EINTR || errno == ECONNABORTED))
                continue;
            if (fd < 0)
                return;
            std::lock_guard lock(mMutex);
            mClients.push_back(fd);
            mThreads.emplace_back([this, fd] { serve(fd); });
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

void SmtpTestServer::serve(int fd)
{
    std::string buffer;
    Mail mail;
    bool loggedIn = false;
    if (mBehaviour == Behaviour::RefuseGreeting) {
        reply(fd, "554 no mail service here");
    } else if (++mGreetings, reply(fd, "220 localhost test mail server ready")) {
        while (const auto line = readLine(fd, buffer))
            if (!answer(fd, *line, buffer, mail, loggedIn))
                break;
    }
    std::lock_guard lock(mMutex);
    ::shutdown(fd, SHUT_RDWR);
    // Closed under the lock, so the destructor never shuts down a number
    // that was closed here and already reused.
    std::erase(mClients, fd);
    ::close(fd);
}

// Handles one command; false when the conversation is over.
bool SmtpTestServer::answer(int fd, const std::string& line, std::string& buffer, Mail& mail, bool& loggedIn)
{
    if (isCommand(line, "EHLO"))
        return reply(fd, "250-localhost\r\n250-AUTH PLAIN\r\n250 8BITMIME");
    if (isCommand(line, "AUTH PLAIN")) {
        std::string credentials = line.size() > 11 ? line.substr(11) : std::string();
        if (credentials.empty() && reply(fd, "334 "))
            credentials = readLine(fd, buffer).value_or(std::string());
        std::lock_guard lock(mMutex);
        loggedIn = QByteArray::fromBase64(QByteArray::fromStdString(credentials)).toStdString() == mLogin;
        mLogins += loggedIn ? 1 : 0;
        return reply(fd, loggedIn ? "235 authenticated" : "535 authentication failed");
    }
    if (isCommand(line, "MAIL FROM:")) {
        std::lock_guard lock(mMutex);
        mail = {};
        return reply(fd, mLogin.empty() || loggedIn ? "250 OK" : "530 authentication required");
    }
    if (isCommand(line, "RCPT TO:")) {
        mail.recipients.push_back(betweenBrackets(line));
        return reply(fd, "250 OK");
    }
    if (isCommand(line, "QUIT")) {
        reply(fd, "221 bye");
        return false;
    }
    if (!isCommand(line, "DATA"))
        return reply(fd, "250 OK");
    reply(fd, "354 end data with <CR><LF>.<CR><LF>");
    for (bool first = true;; first = false) {
        const auto data = readLine(fd, buffer);
        if (!data || (first && mBehaviour == Behaviour::DropDuringData))
            return false;
        if (*data == ".")
            break;
        mail.data += (data->rfind('.', 0) == 0 ? data->substr(1) : *data) + "\r\n";
    }
    {
        std::lock_guard lock(mMutex);
        mMails.push_back(mail);
    }
    return reply(fd, "250 OK queued");
}

// The next line without its CR LF; nothing when the client went away.
std::optional<std::string> SmtpTestServer::readLine(int fd, std::string& buffer)
{
    size_t end;
    while ((end = buffer.find("\r\n")) == std::string::npos) {
        char chunk[4096];
        const ssize_t n = ::recv(fd, chunk, sizeof chunk, 0);
        if (n <= 0)
            return std::nullopt;
        buffer.append(chunk, size_t(n));
    }
    std::string line = buffer.substr(0, end);
    buffer.erase(0, end + 2);
    return line;
}
