// The report form as it loads and when E-Mail is clicked, against a real
// SMTP server on the loopback interface: the screen picture it saves, when it
// offers mail, what the vendor receives and what the user is told.
#include "reportfixture.h"
#include "receivedmail.h"
#include "smtptestserver.h"

#include <QGuiApplication>
#include <QImageReader>
#include <QLabel>
#include <QRegularExpression>
#include <QScreen>

#include <functional>
#include <memory>

namespace {

const char* const kMailGroup[] = {"chkEmailStore", "lblInfo", "chkAttachScreen", "Image3", "butEMail"};

class ReportForm : public ReportFormTest {
protected:
    ReportForm() { configureMail(server->url()); }
    void unload()
    {
        frmErrorHand::instance().close();
        ASSERT_TRUE(QTest::qWaitFor([] { return !frmErrorHand::isLoaded(); }));
    }
    std::unique_ptr<SmtpTestServer> server = std::make_unique<SmtpTestServer>();
};

TEST_F(ReportForm, TheScreenIsSavedAsABitmapInTheApplicationDirectory)
{
    const QString picture = mInstall + QStringLiteral("Error Logs/screenShot.bmp");
    QImageReader reader(picture);
    frmErrorHand& form = reportFailure();
    EXPECT_EQ(reader.format(), QByteArray("bmp"));
    EXPECT_EQ(reader.read().size(), QGuiApplication::primaryScreen()->size()) << reader.errorString().toStdString();
    EXPECT_EQ(form.appDirectory, mInstall);
    EXPECT_FALSE(findControl<QLabel>(&form, "Image1")->pixmap().isNull());
    unload();
    setSetting("ApplicationDir", QStringLiteral("/opt/brennlow"));
    EXPECT_EQ(reportFailure().appDirectory, QStringLiteral("/opt/brennlow/"));
    unload();
    setSetting("ApplicationDir", QString());
    QDir::setCurrent(mTempFolder);
    EXPECT_TRUE(reportFailure().appDirectory.isEmpty());
    EXPECT_FALSE(QDir(QStringLiteral("Error Logs")).exists()) << "a picture was left in the current directory";
}

TEST_F(ReportForm, MailIsOfferedOnlyWhenTheConfiguredServerAcceptsASignOn)
{
    SmtpTestServer refusing(SmtpTestServer::Behaviour::RefuseGreeting);
    const std::pair<const char*, std::function<void()>> setups[] = {
        {"accepted", [] {}},
        {"login refused",
         [&] {
             server->requireLogin("reporter", "s3cret");
             setSetting("MailUser", QStringLiteral("reporter"));
             setSetting("MailPassword", QStringLiteral("wrong"));
         }},
        {"greeting refused", [&] { configureMail(refusing.url()); }},
        {"no support address", [&] { setSetting("SupportAddress", QString()); }},
    };
    for (const auto& [what, setUp] : setups) {
        SCOPED_TRACE(what);
        setUp();
        reportFailure();
        for (const char* control : kMailGroup)
            EXPECT_EQ(enabled(control), what == std::string("accepted")) << control;
        EXPECT_TRUE(enabled("edtWhatDoing") && enabled("butClose"));
        unload();
    }
    EXPECT_EQ(server->greetings(), 2);
    EXPECT_EQ(server->logins(), 0);
}

TEST_F(ReportForm, ABlankDescriptionIsAskedForAndNothingElseHappens)
{
    frmErrorHand& form = reportFailure();
    for (const char* button : {"butEMail", "butClose"}) {
        for (const QString& blank : {QString(), QStringLiteral("  \n\t ")}) {
            describe(blank);
            click(button);
            const RecordedMessage asked = mMessages.single();
            EXPECT_EQ(asked.text, QStringLiteral("Please enter a brief description of what you were doing prior to "
                                                 "this fatal error"));
            EXPECT_EQ(asked.icon, MessageIcon::None);
            mMessages.clear();
        }
    }
    EXPECT_TRUE(form.isVisible());
    EXPECT_FALSE(QFile::exists(mInstall + QStringLiteral("Error Logs/BWError.log")));
    EXPECT_TRUE(archivesIn(mTempFolder).isEmpty() && archivesIn(mInstall + QStringLiteral("Error Logs")).isEmpty());
    EXPECT_TRUE(server->mails().empty());
    EXPECT_FALSE(QFile::exists(mInstall + QStringLiteral("System/bwrestart.ran")));
}

TEST_F(ReportForm, TheVendorReceivesTheDescriptionTheFailureAndTheArchiveAndCloseSendsNoMore)
{
    frmErrorHand& form = reportFailure();
    describe(QStringLiteral("Choosing members\nthen Finish"));
    click("butEMail");
    const auto mails = server->mails();
    ASSERT_EQ(mails.size(), 1u);
    EXPECT_EQ(mails[0].recipients, std::vector<std::string>{"support@brennlow.example"});
    const auto parts = parseReceivedMail(mails[0].data);
    ASSERT_EQ(parts.size(), 3u);
    EXPECT_EQ(parts[0].headers.at("subject"), "Brennlow Gridworks Error");
    EXPECT_EQ(parts[0].headers.at("from"), "\"Brennlow Gridworks Error\" <support@brennlow.example>");
    const QString body = QString::fromStdString(parts[1].content);
    EXPECT_TRUE(body.startsWith(QStringLiteral(" \r\nDescription:\r\nChoosing members\r\nthen Finish\r\n\r\nDate & Time    : ")))
        << body.toStdString();
    const QString fields = recordAfterDate(form.errProcedure, QString());
    EXPECT_TRUE(body.endsWith(QStringLiteral("\r\n") + fields.left(fields.indexOf(QStringLiteral("Description    : \r\n")))))
        << body.toStdString();
    EXPECT_EQ(body.count(QStringLiteral("\r\n")), 14) << "5 lines before the record, 9 record lines";
    const std::string file = parameter(parts[2], "content-disposition", "filename");
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^bwt[0-9A-F]{8}\\.zip$")).match(QString::fromStdString(file)).hasMatch()) << file;
    const QString zip = QString::fromStdString((mFolder / "received.zip").string());
    makeFile(zip, QByteArray::fromStdString(parts[2].content));
    const auto attached = archive(zip);
    EXPECT_EQ(attached.size(), 2u);
    EXPECT_TRUE(attached.count("Brennlow.bws") && attached.count("screenshot.bmp"));
    const RecordedMessage thanks = mMessages.single();
    EXPECT_EQ(thanks.text, QStringLiteral("The error log has been successfully sent"));
    EXPECT_EQ(thanks.title, QStringLiteral("Thank you"));
    EXPECT_EQ(thanks.icon, MessageIcon::Information);
    EXPECT_TRUE(form.mailSent);
    EXPECT_TRUE(archivesIn(mTempFolder).isEmpty()) << "the archive is deleted after sending";
    EXPECT_FALSE(QFile::exists(mInstall + QStringLiteral("Error Logs/screenShot.bmp")));

    mMessages.clear();
    EXPECT_FALSE(closeReport().isEmpty());
    EXPECT_TRUE(mMessages.shown().empty());
    EXPECT_TRUE(archivesIn(mInstall + QStringLiteral("Error Logs")).isEmpty());
    EXPECT_TRUE(log().contains(QStringLiteral("Description    : Choosing members\r\nthen Finish\r\n")));
    EXPECT_EQ(server->mails().size(), 1u);
}

TEST_F(ReportForm, AServerThatFailsWhileSendingIsAMailErrorAndOneThatIsGoneIsPassedOver)
{
    for (const bool dropping : {true, false}) {
        SCOPED_TRACE(dropping);
        server = std::make_unique<SmtpTestServer>(SmtpTestServer::Behaviour::DropDuringData);
        configureMail(server->url());
        frmErrorHand& form = reportFailure();
        ASSERT_TRUE(enabled("butEMail"));
        if (!dropping)
            server.reset();
        describe(QStringLiteral("Building"));
        mMessages.clear();
        click("butEMail");
        ASSERT_EQ(mMessages.shown().size(), dropping ? 1u : 0u);
        if (dropping) {
            EXPECT_EQ(mMessages.single().text, QStringLiteral("The error log failed to be sent due to a mail error"));
            EXPECT_EQ(mMessages.single().title, QStringLiteral("Error"));
            EXPECT_TRUE(server->mails().empty());
        }
        EXPECT_FALSE(form.mailSent);
        EXPECT_TRUE(archivesIn(mTempFolder).isEmpty());
        unload();
    }
}

}  // namespace
