#include "smtptestserver.h"

#include <QByteArray>
#include <QList>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <optional>
#include <stdexcept>

namespace {

bool startsWithCommand(const std::string& line, const char* command)
{
    const std::string word(command);
    if (line.size() < word.size())
        return false;
    for (size_t i = 0; i < word.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(line[i])) != word[i])
            return false;
    }
    return true;
}

std::string betweenBrackets(const std::string& line)
{
    const size_t open = line.find('<');
    const size_t close = line.find('>', open);
    return open == std::string::npos || close == std::string::npos ? std::string()
                                                                    : line.substr(open + 1, close - open - 1);
}

int listeningSocket(uint16_t& port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&address), length) != 0 || ::listen(fd, 8) != 0
        || ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        throw std::runtime_error("the test mail server cannot listen");
    port = ntohs(address.sin_port);
    return fd;
}

}  // namespace

// One client's conversation.
class SmtpTestServer::Session {
public:
    Session(SmtpTestServer& server, int fd) : mServer(server), mFd(fd) {}

    void run()
    {
        if (mServer.mBehaviour == Behaviour::RefuseGreeting) {
            reply("554 no mail service here");
        } else {
            ++mServer.mGreetings;
            reply("220 localhost test mail server ready");
        }
        while (const auto line = readLine()) {
            if (!answer(*line))
                return;
        }
    }

private:
    // Handles one command; false when the conversation is over.
    bool answer(const std::string& line)
    {
        if (startsWithCommand(line, "EHLO"))
            return reply("250-localhost\r\n250-AUTH PLAIN\r\n250 8BITMIME");
        if (startsWithCommand(line, "HELO") || startsWithCommand(line, "NOOP"))
            return reply("250 OK");
        if (startsWithCommand(line, "AUTH PLAIN"))
            return logIn(line.size() > 11 ? line.substr(11) : std::string());
        if (startsWithCommand(line, "MAIL FROM:"))
            return mailFrom(line);
        if (startsWithCommand(line, "RCPT TO:")) {
            if (mServer.mBehaviour == Behaviour::RefuseRecipient)
                return reply("550 no such user here");
            mMail.recipients.push_back(betweenBrackets(line));
            return reply("250 OK");
        }
        if (startsWithCommand(line, "DATA"))
            return data();
        if (startsWithCommand(line, "RSET")) {
            mMail = {};
            return reply("250 OK");
        }
        if (startsWithCommand(line, "QUIT")) {
            reply("221 bye");
            return false;
        }
        return reply("502 command not implemented");
    }

    bool logIn(std::string credentials)
    {
        if (credentials.empty()) {
            reply("334 ");
            credentials = readLine().value_or(std::string());
        }
        const QByteArray decoded = QByteArray::fromBase64(QByteArray::fromStdString(credentials));
        const QList<QByteArray> parts = decoded.split('\0');
        std::lock_guard lock(mServer.mMutex);
        if (parts.size() == 3 && parts[1].toStdString() == mServer.mUser
            && parts[2].toStdString() == mServer.mPassword) {
            mLoggedIn = true;
            ++mServer.mLogins;
            return reply("235 authenticated");
        }
        return reply("535 authentication failed");
    }

    bool mailFrom(const std::string& line)
    {
        bool loginNeeded;
        {
            std::lock_guard lock(mServer.mMutex);
            loginNeeded = !mServer.mUser.empty() && !mLoggedIn;
        }
        if (loginNeeded)
            return reply("530 authentication required");
        mMail = {};
        mMail.from = betweenBrackets(line);
        return reply("250 OK");
    }

    bool data()
    {
        if (mMail.recipients.empty())
            return reply("554 no valid recipients");
        reply("354 end data with <CR><LF>.<CR><LF>");
        for (bool first = true;; first = false) {
            const auto line = readLine();
            if (!line)
                return false;
            if (first && mServer.mBehaviour == Behaviour::DropDuringData)
                return false;
            if (*line == ".")
                break;
            mMail.data += (line->rfind('.', 0) == 0 ? line->substr(1) : *line) + "\r\n";
        }
        {
            std::lock_guard lock(mServer.mMutex);
            mServer.mMails.push_back(mMail);
        }
        mMail = {};
        return reply("250 OK queued");
    }

    bool reply(const std::string& text)
    {
        const std::string line = text + "\r\n";
        return ::send(mFd, line.data(), line.size(), MSG_NOSIGNAL) == ssize_t(line.size());
    }

    // The next line without its CR LF; nothing when the client went away.
    std::optional<std::string> readLine()
    {
        size_t end;
        while ((end = mBuffer.find("\r\n")) == std::string::npos) {
            char chunk[4096];
            const ssize_t n = ::recv(mFd, chunk, sizeof chunk, 0);
            if (n <= 0)
                return std::nullopt;
            mBuffer.append(chunk, size_t(n));
        }
        std::string line = mBuffer.substr(0, end);
        mBuffer.erase(0, end + 2);
        return line;
    }

    SmtpTestServer& mServer;
    const int mFd;
    std::string mBuffer;
    bool mLoggedIn = false;
    Mail mMail;
};

SmtpTestServer::SmtpTestServer(Behaviour behaviour) : mBehaviour(behaviour)
{
    mListener = listeningSocket(mPort);
    mAcceptor = std::thread([this] { acceptLoop(); });
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

std::string SmtpTestServer::url() const { return "smtp://127.0.0.1:" + std::to_string(mPort); }

void SmtpTestServer::requireLogin(std::string user, std::string password)
{
    std::lock_guard lock(mMutex);
    mUser = std::move(user);
    mPassword = std::move(password);
}

std::vector<SmtpTestServer::Mail> SmtpTestServer::mails() const
{
    std::lock_guard lock(mMutex);
    return mMails;
}

std::string SmtpTestServer::urlWithoutServer()
{
    uint16_t port = 0;
    ::close(listeningSocket(port));
    return "smtp://127.0.0.1:" + std::to_string(port);
}

void SmtpTestServer::acceptLoop()
{
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
}

void SmtpTestServer::serve(int fd)
{
    Session(*this, fd).run();
    std::lock_guard lock(mMutex);
    ::shutdown(fd, SHUT_RDWR);
    // Closed under the lock, so the destructor never shuts down a number
    // that was closed here and already reused.
    std::erase(mClients, fd);
    ::close(fd);
}
