// A small SMTP server on the loopback interface for tests that send real
// mail: a greeting, EHLO offering STARTTLS (unless told not to) and AUTH
// PLAIN, STARTTLS with a certificate of its own for 127.0.0.1, AUTH PLAIN,
// MAIL, RCPT, DATA and QUIT (anything else is answered OK). Each connection
// is served on a thread of its own, so a client may hold one open while it
// sends over another. A message is kept before it is confirmed, so once the
// client's send returned it is in mails().
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class SmtpTestServer {
public:
    struct Mail {
        std::string recipient;  // the address of the last RCPT TO
        std::string data;       // the message as sent, dots unstuffed
        bool encrypted = false; // sent after STARTTLS
    };

    // `startTls`: EHLO offers STARTTLS. Its certificate is made for this
    // server alone; clients trust it through caFile().
    explicit SmtpTestServer(bool startTls = true);
    ~SmtpTestServer();

    // "smtp://127.0.0.1:<port>"
    std::string url() const { return "smtp://127.0.0.1:" + std::to_string(mPort); }
    // A PEM file with the server's certificate, for the client to trust.
    std::string caFile() const;
    // From now on AUTH PLAIN succeeds only with these, and MAIL is refused
    // (530) on a connection that has not logged in.
    void requireLogin(const std::string& user, const std::string& password);
    std::vector<Mail> mails() const;
    // How many AUTH commands arrived before STARTTLS, on any connection:
    // credentials a client sent in clear text.
    int clearTextLogins() const;

private:
    class Tls;
    class Channel;
    void serve(int fd);
    bool loginMatches(const std::string& base64) const;

    int mListener = -1;
    uint16_t mPort = 0;
    bool mStartTls = true;
    std::unique_ptr<Tls> mTls;
    mutable std::mutex mMutex;  // guards everything below
    std::string mLogin;         // "\0user\0password" in base64 once a login is required
    std::vector<Mail> mMails;
    int mClearTextLogins = 0;
    std::vector<int> mClients;
    std::vector<std::thread> mThreads;
    std::thread mAcceptor;
};
