// Mail through SMTP, against a real server on the loopback interface: the
// message as it arrives, and the failures of sending. (Signing on is tested
// through the report form, which offers mail only after a sign-on.)
#include "platform/services/smtpmail.h"

#include "receivedmail.h"
#include "smtptestserver.h"
#include "support/scratchfolder.h"

#include <gtest/gtest.h>

#include <fstream>

using platform::MailMessage;
using platform::SmtpAccount;
using platform::SmtpSession;

namespace {

SmtpAccount accountFor(const std::string& url)
{
    SmtpAccount account;
    account.server = url;
    account.sender = "wizard@client.example";
    account.senderName = "Brennlow Gridworks Error";
    account.timeoutSeconds = 5;
    return account;
}

class SmtpMail : public testing::Test {
protected:
    ScratchFolder mFolder;
    SmtpTestServer mServer;

    MailMessage message()
    {
        const auto attachment = mFolder / "bwt1A2B.zip";
        std::ofstream(attachment, std::ios::binary) << std::string("PK\5\6\0\0binary\r\n.\r\n", 16);
        MailMessage mail;
        mail.recipient = "support@vendor.example";
        mail.subject = "Brennlow Gridworks Error";
        mail.body = " \r\nDescription:\r\n.a line with a leading dot\r\nnon-ASCII \xc3\xa9t\xc3\xa9 \r\n";
        mail.attachment = attachment;
        mail.attachmentType = "application/zip";
        return mail;
    }
};

}  // namespace

TEST_F(SmtpMail, AMessageArrivesWithItsHeadersBodyAndAttachment)
{
    SmtpSession session(accountFor(mServer.url()));
    ASSERT_TRUE(session.signOn());
    const MailMessage sent = message();
    ASSERT_TRUE(session.send(sent)) << session.lastError();

    const auto mails = mServer.mails();
    ASSERT_EQ(mails.size(), 1u);
    EXPECT_EQ(mails[0].from, "wizard@client.example");
    EXPECT_EQ(mails[0].recipients, std::vector<std::string>{"support@vendor.example"});
    const ReceivedMail mail = parseReceivedMail(mails[0].data);
    EXPECT_EQ(mail.headers.at("subject"), "Brennlow Gridworks Error");
    EXPECT_EQ(mail.headers.at("to"), "<support@vendor.example>");
    EXPECT_EQ(mail.headers.at("from"), "\"Brennlow Gridworks Error\" <wizard@client.example>");
    EXPECT_TRUE(mail.headers.count("date"));
    ASSERT_EQ(mail.parts.size(), 2u);
    EXPECT_EQ(mail.parts[0].content, sent.body);
    EXPECT_EQ(ReceivedMail::parameter(mail.parts[1], "content-disposition", "filename"), "bwt1A2B.zip");
    EXPECT_EQ(mail.parts[1].headers.at("content-type"), "application/zip");
    EXPECT_EQ(mail.parts[1].content, std::string("PK\5\6\0\0binary\r\n.\r\n", 16));
}

TEST_F(SmtpMail, SendingFailsWithAReasonWhenTheServerFailsOrTheAttachmentIsGone)
{
    SmtpTestServer dropping(SmtpTestServer::Behaviour::DropDuringData);
    SmtpTestServer refusing(SmtpTestServer::Behaviour::RefuseRecipient);
    for (const auto& [what, url] : std::vector<std::pair<const char*, std::string>>{
             {"connection dropped", dropping.url()},
             {"recipient refused", refusing.url()},
             {"nothing listens", SmtpTestServer::urlWithoutServer()}}) {
        SmtpSession session(accountFor(url));
        EXPECT_FALSE(session.send(message())) << what;
        EXPECT_FALSE(session.lastError().empty()) << what;
    }
    MailMessage vanished = message();
    std::filesystem::remove(vanished.attachment);
    SmtpSession session(accountFor(mServer.url()));
    EXPECT_FALSE(session.send(vanished));
    EXPECT_NE(session.lastError().find("bwt1A2B.zip"), std::string::npos) << session.lastError();
    EXPECT_TRUE(mServer.mails().empty() && dropping.mails().empty() && refusing.mails().empty());
}
