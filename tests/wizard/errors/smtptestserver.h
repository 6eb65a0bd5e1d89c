// A small SMTP server on the loopback interface, for tests that send real
// mail: it speaks enough of the protocol for a mail client (EHLO, HELO,
// AUTH PLAIN, MAIL, RCPT, DATA, RSET, NOOP, QUIT), keeps every message it
// accepted, and can be told to misbehave the ways real servers do.
//
// Each connection is served on a thread of its own, so a client may hold one
// connection open while it sends over another. A message is recorded before
// the server confirms it, so once the client's send returned the message is
// in mails().
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class SmtpTestServer {
public:
    enum class Behaviour {
        Accept,            // a well-behaved server
        RefuseGreeting,    // 554 instead of the greeting
        RefuseRecipient,   // 550 to every RCPT
        DropDuringData,    // closes the connection after the first line of a message
    };

    struct Mail {
        std::string from;                     // the address in MAIL FROM, without <>
        std::vector<std::string> recipients;  // the addresses in RCPT TO
        std::string data;                     // the message as sent, dots unstuffed
    };

    explicit SmtpTestServer(Behaviour behaviour = Behaviour::Accept);
    ~SmtpTestServer();
    SmtpTestServer(const SmtpTestServer&) = delete;
    SmtpTestServer& operator=(const SmtpTestServer&) = delete;

    // "smtp://127.0.0.1:<port>"
    std::string url() const;
    // From now on a client must log in with these before MAIL (535 otherwise).
    void requireLogin(std::string user, std::string password);

    std::vector<Mail> mails() const;
    // How many connections were greeted and how many logged in.
    int greetings() const { return mGreetings; }
    int logins() const { return mLogins; }

    // The URL of a loopback port where nothing listens.
    static std::string urlWithoutServer();

private:
    class Session;
    void acceptLoop();
    void serve(int fd);

    const Behaviour mBehaviour;
    int mListener = -1;
    uint16_t mPort = 0;
    std::atomic<int> mGreetings{0};
    std::atomic<int> mLogins{0};
    mutable std::mutex mMutex;   // guards everything below
    std::string mUser, mPassword;
    std::vector<Mail> mMails;
    std::vector<int> mClients;
    std::vector<std::thread> mThreads;
    std::thread mAcceptor;
};
