// Mail through an SMTP server, for the error report: one message to one
// recipient with a text body and at most one attached file.
//
// The server is named by a URL: "smtp://host[:port]" (STARTTLS is used when
// the server offers it) or "smtps://host[:port]" (TLS from the start). An
// account with a user name is never used without TLS: a server that offers
// no STARTTLS is refused before the login, so the password never travels in
// clear text.
// Nothing here blocks longer than the account's timeout while the server is
// silent; a server that stops answering in the middle is given up on.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

namespace platform {

struct SmtpAccount {
    std::string server;       // the server's URL
    std::string sender;       // the address in MAIL FROM and in the From header
    std::string senderName;   // the name shown with the sender; ASCII
    std::string user;         // empty: the server is used without logging in
    std::string password;
    std::string caFile;       // PEM certificates to trust for the server; empty: the system's
    long timeoutSeconds = 15;
};

struct MailMessage {
    std::string recipient;
    std::string subject;                 // ASCII
    std::string body;                    // UTF-8 text, lines ended by CR LF
    std::filesystem::path attachment;    // empty: no attachment
    std::string attachmentType = "application/octet-stream";
};

// A session with the server of one account. Not copyable; one thread.
class SmtpSession {
public:
    explicit SmtpSession(SmtpAccount account);
    ~SmtpSession();   // signs off
    SmtpSession(const SmtpSession&) = delete;
    SmtpSession& operator=(const SmtpSession&) = delete;

    // Connects to the server, reads its greeting, introduces itself and logs
    // in when the account names a user, and keeps the connection until
    // signOff(). False, with the reason in lastError(), when the server is
    // not configured, cannot be reached, refuses the greeting or the login,
    // or offers no encryption to an account with a user name.
    bool signOn();
    bool isSignedOn() const;
    // Says goodbye and closes the connection; nothing when not signed on.
    void signOff();

    // Sends `message` over a connection of its own (signing on first is not
    // required). The message carries Date, From, To and Subject headers, the
    // body as quoted-printable text and the attachment, if any, in base64
    // under its file name. False, with the reason in lastError(), when the
    // server refused any step, the connection broke, or the attachment could
    // not be read.
    bool send(const MailMessage& message);

    const std::string& lastError() const { return mLastError; }

private:
    struct Connection;

    SmtpAccount mAccount;
    std::unique_ptr<Connection> mSignedOn;
    std::string mLastError;
};

}  // namespace platform
