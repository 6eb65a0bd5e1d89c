// Mail through the loopback test server: credentials travel only over TLS.
#include "platform/services/smtpmail.h"

#include "support/smtptestserver.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace platform;
using ::testing::HasSubstr;

namespace {

SmtpAccount account(const SmtpTestServer& server, const std::string& user)
{
    return {.server = server.url(), .sender = "reports@example.com", .senderName = "Reports", .user = user,
            .password = user.empty() ? "" : "s3cret", .caFile = server.caFile(), .timeoutSeconds = 10};
}

// A server without STARTTLS once got the password in clear text. With
// credentials, a server that offers no encryption is refused before the
// login; without them, mail still goes out as before; with STARTTLS both go
// out encrypted.
TEST(SmtpMail, CredentialsAreSentOnlyOverTls)
{
    const struct { const char* what; bool startTls; const char* user; bool sent; } cases[] = {
        {"login, no STARTTLS", false, "reporter", false},
        {"no login, no STARTTLS", false, "", true},
        {"login, STARTTLS", true, "reporter", true},
        {"no login, STARTTLS", true, "", true},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.what);
        SmtpTestServer server(test.startTls);
        if (*test.user)
            server.requireLogin(test.user, "s3cret");
        SmtpSession session(account(server, test.user));
        EXPECT_EQ(session.signOn(), test.sent) << session.lastError();
        session.signOff();
        const bool sent = session.send({"support@example.com", "Report", "Body\r\n", {}, "text/plain"});
        EXPECT_EQ(sent, test.sent) << session.lastError();
        EXPECT_EQ(server.clearTextLogins(), 0);
        ASSERT_EQ(server.mails().size(), size_t(test.sent));
        if (test.sent)
            EXPECT_EQ(server.mails()[0].encrypted, test.startTls);
        else
            EXPECT_THAT(session.lastError(), HasSubstr("offers no encryption (STARTTLS)"));
    }
}

}  // namespace
