// A small SMTP server on the loopback interface for tests that send real
// mail: a greeting, EHLO offering AUTH PLAIN, AUTH PLAIN, MAIL, RCPT, DATA
// and QUIT (anything else is answered OK). Each connection is served on a
// thread of its own, so a client may hold one open while it sends over
// another. A message is kept before it is confirmed, so once the client's
// send returned it is in mails().
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class SmtpTestServer {
public:
    struct Mail {
        std::string recipient;  // the address of the last RCPT TO
        std::string data;       // the message as sent, dots unstuffed
    };

    SmtpTestServer();
    ~SmtpTestServer();

    // "smtp://127.0.0.1:<port>"
    std::string url() const { return "smtp://127.0.0.1:" + std::to_string(mPort); }
    // From now on AUTH PLAIN succeeds only with these, and MAIL is refused
    // (530) on a connection that has not logged in.
    void requireLogin(const std::string& user, const std::string& password);
    std::vector<Mail> mails() const;

private:
    void serve(int fd);
    bool loginMatches(const std::string& base64) const;

    int mListener = -1;
    uint16_t mPort = 0;
    mutable std::mutex mMutex;  // guards everything below
    std::string mLogin;         // "\0user\0password" once a login is required
    std::vector<Mail> mMails;
    std::vector<int> mClients;
    std::vector<std::thread> mThreads;
    std::thread mAcceptor;
};
