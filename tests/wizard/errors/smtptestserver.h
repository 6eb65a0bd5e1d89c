// A small SMTP server on the loopback interface for tests that send real
// mail: enough of the protocol for a mail client (EHLO, AUTH PLAIN, MAIL,
// RCPT, DATA, QUIT; anything else is answered OK), every accepted message
// kept, and misbehaviour on request. Each connection is served on a thread
// of its own, so a client may hold one open while it sends over another. A
// message is recorded before it is confirmed, so once the client's send
// returned it is in mails().
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

class SmtpTestServer {
public:
    enum class Behaviour { Accept, RefuseGreeting, DropDuringData };
    struct Mail {
        std::vector<std::string> recipients;  // the addresses in RCPT TO
        std::string data;                     // the message as sent, dots unstuffed
    };

    explicit SmtpTestServer(Behaviour behaviour = Behaviour::Accept);
    ~SmtpTestServer();
    SmtpTestServer(const SmtpTestServer&) = delete;
    SmtpTestServer& operator=(const SmtpTestServer&) = delete;

    // "smtp://127.0.0.1:<port>"
    std::string url() const { return "smtp://127.0.0.1:" + std::to_string(mPort); }
    // From now on a client must log in with these before MAIL.
    void requireLogin(const std::string& user, const std::string& password);
    std::vector<Mail> mails() const;
    // How many connections were greeted, and how many logged in.
    int greetings() const { return mGreetings; }
    int logins() const { return mLogins; }

private:
    void serve(int fd);
    bool answer(int fd, const std::string& line, std::string& buffer, Mail& mail, bool& loggedIn);
    static std::optional<std::string> readLine(int fd, std::string& buffer);

    const Behaviour mBehaviour;
    int mListener = -1;
    uint16_t mPort = 0;
    std::atomic<int> mGreetings{0}, mLogins{0};
    mutable std::mutex mMutex;  // guards everything below
    std::string mLogin;         // "\0user\0password" once a login is required
    std::vector<Mail> mMails;
    std::vector<int> mClients;
    std::vector<std::thread> mThreads;
    std::thread mAcceptor;
};
