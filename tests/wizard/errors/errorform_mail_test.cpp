// E-Mail on the report form, against a real SMTP server on the loopback
// interface: what the vendor receives, and what the user is told.
#include "wizard/forms/frmerrorhand.h"
#include "receivedmail.h"
#include "reportfixture.h"
#include "smtptestserver.h"

#include <QFile>
#include <QRegularExpression>


#include <memory>
#include <set>

namespace {

std::set<std::string> namesOf(const std::map<std::string, std::string>& entries)
{
    std::set<std::string> names;
    for (const auto& entry : entries)
        names.insert(entry.first);
    return names;
}

class ReportFormMail : public ReportFormTest {
protected:
    std::unique_ptr<SmtpTestServer> mServer = std::make_unique<SmtpTestServer>();
    ReportFormMail() { configureMail(mServer->url()); }

    // The one mail the server got, parsed.
    ReceivedMail receivedMail()
    {
        const auto mails = mServer->mails();
        EXPECT_EQ(mails.size(), 1u);
        return mails.empty() ? ReceivedMail() : parseReceivedMail(mails[0].data);
    }
    // The archive attached to `mail`, written where the test can open it.
    std::map<std::string, std::string> attachedArchive(const ReceivedMail& mail)
    {
        EXPECT_EQ(mail.parts.size(), 2u);
        if (mail.parts.size() < 2)
            return {};
        const QString copy = QString::fromStdString((mFolder / "received.zip").string());
        makeFile(copy, QByteArray::fromStdString(mail.parts[1].content));
        return archive(copy).value_or(std::map<std::string, std::string>{{"not a zip archive", ""}});
    }
};

}  // namespace

TEST_F(ReportFormMail, TheVendorReceivesTheDescriptionTheFailureAndTheArchive)
{
    frmErrorHand& form = reportFailure();
    describe(QStringLiteral("Choosing members\nthen Finish"));
    click("butEMail");

    const auto mails = mServer->mails();
    ASSERT_EQ(mails.size(), 1u);
    EXPECT_EQ(mails[0].recipients, std::vector<std::string>{"support@brennlow.example"});
    const ReceivedMail mail = parseReceivedMail(mails[0].data);
    EXPECT_EQ(mail.headers.at("subject"), "Brennlow Gridworks Error");
    EXPECT_EQ(mail.headers.at("from"), "\"Brennlow Gridworks Error\" <support@brennlow.example>");
    ASSERT_EQ(mail.parts.size(), 2u);
    const QString body = QString::fromStdString(mail.parts[0].content);
    const QString head = QStringLiteral(" \r\nDescription:\r\nChoosing members\r\nthen Finish\r\n\r\nDate & Time    : ");
    EXPECT_TRUE(body.startsWith(head)) << body.toStdString();
    const QString fields = expectedRecordAfterDate(form.errProcedure, QString());
    const QString expectedTail = fields.left(fields.indexOf(QStringLiteral("Description    : \r\n")));
    EXPECT_TRUE(body.endsWith(QStringLiteral("\r\n") + expectedTail)) << body.toStdString();
    EXPECT_EQ(body.count(QStringLiteral("\r\n")), 14) << "5 lines before the record, 9 record lines";

    const std::string file = ReceivedMail::parameter(mail.parts[1], "content-disposition", "filename");
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^bwt[0-9A-F]{8}\\.zip$")).match(QString::fromStdString(file)).hasMatch())
        << file;
    EXPECT_EQ(namesOf(attachedArchive(mail)), (std::set<std::string>{"Brennlow.bws", "screenshot.bmp"}));

    const RecordedMessage thanks = mMessages.single();
    EXPECT_EQ(thanks.text, QStringLiteral("The error log has been successfully sent"));
    EXPECT_EQ(thanks.title, QStringLiteral("Thank you"));
    EXPECT_EQ(thanks.icon, MessageIcon::Information);
    EXPECT_TRUE(form.mailSent);
    EXPECT_TRUE(archivesIn(mTempFolder).isEmpty()) << "the archive is deleted after sending";
    EXPECT_FALSE(QFile::exists(mInstall + QStringLiteral("Error Logs/screenShot.bmp")));
}

TEST_F(ReportFormMail, TheArchiveHoldsWhatTheCheckBoxesChooseAndIsAttachedEvenWhenEmpty)
{
    const std::vector<std::tuple<bool, bool, std::set<std::string>>> cases{
        {false, false, {}},
        {true, false, {"screenshot.bmp"}},
        {false, true, {"Brennlow.bws"}},
    };
    for (const auto& [screen, store, expected] : cases) {
        mServer = std::make_unique<SmtpTestServer>();
        configureMail(mServer->url());
        reportFailure();
        describe(QStringLiteral("Building"));
        check("chkAttachScreen", screen);
        check("chkEmailStore", store);
        click("butEMail");
        EXPECT_EQ(namesOf(attachedArchive(receivedMail())), expected) << screen << store;
        frmErrorHand::instance().close();
        ASSERT_TRUE(QTest::qWaitFor([] { return !frmErrorHand::isLoaded(); }));
    }
}

TEST_F(ReportFormMail, CloseAfterASuccessfulMailLogsAndRestartsWithoutASecondArchive)
{
    reportFailure();
    describe(QStringLiteral("Building"));
    click("butEMail");
    ASSERT_TRUE(frmErrorHand::instance().mailSent);
    mMessages.clear();
    closeReport();
    EXPECT_TRUE(mMessages.shown().empty());
    EXPECT_TRUE(archivesIn(mInstall + QStringLiteral("Error Logs")).isEmpty());
    EXPECT_TRUE(archivesIn(mTempFolder).isEmpty());
    EXPECT_TRUE(text(mInstall + QStringLiteral("Error Logs/BWError.log")).contains(QStringLiteral("Description    : Building\r\n")));
    EXPECT_EQ(mServer->mails().size(), 1u);
}

TEST_F(ReportFormMail, AServerThatDropsTheConnectionIsAMailErrorAndNothingIsLeftBehind)
{
    mServer = std::make_unique<SmtpTestServer>(SmtpTestServer::Behaviour::DropDuringData);
    configureMail(mServer->url());
    frmErrorHand& form = reportFailure();
    ASSERT_TRUE(enabled("butEMail"));
    describe(QStringLiteral("Building"));
    click("butEMail");
    const RecordedMessage failed = mMessages.single();
    EXPECT_EQ(failed.text, QStringLiteral("The error log failed to be sent due to a mail error"));
    EXPECT_EQ(failed.title, QStringLiteral("Error"));
    EXPECT_EQ(failed.icon, MessageIcon::Information);
    EXPECT_FALSE(form.mailSent);
    EXPECT_TRUE(archivesIn(mTempFolder).isEmpty());
    EXPECT_TRUE(mServer->mails().empty());
}

TEST_F(ReportFormMail, AServerThatIsGoneWhenSendingAbandonsTheMailSilently)
{
    frmErrorHand& form = reportFailure();
    ASSERT_TRUE(enabled("butEMail"));
    mServer.reset();
    describe(QStringLiteral("Building"));
    click("butEMail");
    EXPECT_TRUE(mMessages.shown().empty());
    EXPECT_FALSE(form.mailSent);
    EXPECT_TRUE(archivesIn(mTempFolder).isEmpty()) << "no archive is made";
    EXPECT_TRUE(QFile::exists(mInstall + QStringLiteral("Error Logs/screenShot.bmp")));
}
