// The report form as it loads: its controls and texts, the screen picture it
// saves, whether it offers mail, and its refusal to go on without a
// description.
#include "wizard/forms/frmerrorhand.h"
#include "reportfixture.h"
#include "smtptestserver.h"
#include "support/controls.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include <functional>

namespace {

using ReportFormLoad = ReportFormTest;

struct ExpectedText {
    const char* control;
    const char* text;
};

QString shownText(const frmErrorHand& form, const char* name)
{
    if (const auto* label = findControl<QLabel>(&form, name))
        return label->text();
    return findControl<QAbstractButton>(&form, name)->text();
}

}  // namespace

TEST_F(ReportFormLoad, EveryControlCarriesItsText)
{
    const frmErrorHand& form = reportFailure();
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Unexpected Error"));
    const ExpectedText texts[] = {
        {"Label1", "An unexpected application error has occurred. In order to correct the error, we need to restart "
                   "Excel."},
        {"lblWhatDoing", "Please enter a description of what you where doing at the time of the error."},
        {"chkAttachScreen", "Attach screen image"},
        {"chkEmailStore", "Attach supporting files"},
        {"lblInfo", "Attaching supporting files will enable us to more easily reproduce and correct this error. These "
                    "files do not contain any of the data you have stored in your cubes."},
        {"butEMail", "E-Mail Error Report to Brennlow"},
        {"butClose", "Close Excel"},
        {"Label2", "You will be given the opportunity to save any open workbooks before the restart."},
    };
    for (const ExpectedText& expected : texts)
        EXPECT_EQ(shownText(form, expected.control), QString::fromLatin1(expected.text)) << expected.control;
    EXPECT_TRUE(findControl<QPushButton>(&form, "butEMail")->isDefault());
    EXPECT_TRUE(findControl<QPlainTextEdit>(&form, "edtWhatDoing"));
    for (const char* image : {"Image1", "Image2", "Image3"})
        EXPECT_TRUE(findControl<QLabel>(&form, image)) << image;
}

TEST_F(ReportFormLoad, ThePictureOfTheScreenIsSavedAsABitmapInTheApplicationDirectory)
{
    frmErrorHand& form = reportFailure();
    const QString picture = mInstall + QStringLiteral("Error Logs/screenShot.bmp");
    QImageReader reader(picture);
    EXPECT_EQ(reader.format(), QByteArray("bmp"));
    const QImage image = reader.read();
    ASSERT_FALSE(image.isNull()) << reader.errorString().toStdString();
    EXPECT_EQ(image.size(), QGuiApplication::primaryScreen()->size());
    EXPECT_EQ(form.appDirectory, mInstall);
    EXPECT_FALSE(findControl<QLabel>(&form, "Image1")->pixmap().isNull());
}

TEST_F(ReportFormLoad, WithoutAnApplicationDirectoryNoPictureIsLeftInTheCurrentDirectory)
{
    setSetting("ApplicationDir", QString());
    QDir::setCurrent(QString::fromStdString(mFolder.path().string()));
    EXPECT_TRUE(reportFailure().appDirectory.isEmpty());
    EXPECT_FALSE(QDir(QStringLiteral("Error Logs")).exists());
}

TEST_F(ReportFormLoad, TheApplicationDirectoryGetsATrailingSeparator)
{
    setSetting("ApplicationDir", QStringLiteral("/opt/brennlow"));
    EXPECT_EQ(reportFailure().appDirectory, QStringLiteral("/opt/brennlow/"));
}

TEST_F(ReportFormLoad, MailIsOfferedWhenTheConfiguredServerAcceptsASignOn)
{
    SmtpTestServer server;
    configureMail(server.url());
    const frmErrorHand& form = reportFailure();
    for (const char* control : {"chkEmailStore", "lblInfo", "chkAttachScreen", "Image3", "butEMail"})
        EXPECT_TRUE(enabled(control)) << control;
    EXPECT_EQ(server.greetings(), 1);
    EXPECT_FALSE(form.mailSent);
}

TEST_F(ReportFormLoad, WithoutAUsableMailServerTheMailControlsAreDisabledAndTheRestWorks)
{
    SmtpTestServer refusing(SmtpTestServer::Behaviour::RefuseGreeting);
    SmtpTestServer guarded;
    guarded.requireLogin("reporter", "s3cret");
    const std::vector<std::pair<const char*, std::function<void()>>> setups{
        {"nothing configured", [] {}},
        {"no support address", [&] { setSetting("MailServer", QString::fromStdString(guarded.url())); }},
        {"nothing listens", [&] { configureMail(SmtpTestServer::urlWithoutServer()); }},
        {"greeting refused", [&] { configureMail(refusing.url()); }},
        {"login refused",
         [&] {
             configureMail(guarded.url());
             setSetting("MailUser", QStringLiteral("reporter"));
             setSetting("MailPassword", QStringLiteral("wrong"));
         }},
    };
    for (const auto& [what, setup] : setups) {
        setup();
        reportFailure();
        for (const char* control : {"chkEmailStore", "lblInfo", "chkAttachScreen", "Image3", "butEMail"})
            EXPECT_FALSE(enabled(control)) << what << ": " << control;
        for (const char* control : {"edtWhatDoing", "butClose"})
            EXPECT_TRUE(enabled(control)) << what << ": " << control;
        frmErrorHand::instance().close();
        ASSERT_TRUE(QTest::qWaitFor([] { return !frmErrorHand::isLoaded(); }));
    }
}

TEST_F(ReportFormLoad, EnableMailOptionsSwitchesExactlyTheMailGroup)
{
    frmErrorHand& form = reportFailure();
    for (const bool flag : {true, false, true}) {
        form.enableMailOptions(flag);
        for (const char* control : {"chkEmailStore", "lblInfo", "chkAttachScreen", "Image3", "butEMail"})
            EXPECT_EQ(enabled(control), flag) << control;
        EXPECT_TRUE(enabled("butClose"));
        EXPECT_TRUE(enabled("edtWhatDoing"));
    }
}

TEST_F(ReportFormLoad, ABlankDescriptionIsAskedForAndNothingElseHappens)
{
    SmtpTestServer server;
    configureMail(server.url());
    frmErrorHand& form = reportFailure();
    for (const char* button : {"butEMail", "butClose"}) {
        for (const QString& blank : {QString(), QStringLiteral("  \n\t ")}) {
            describe(blank);
            click(button);
            const RecordedMessage asked = mMessages.single();
            EXPECT_EQ(asked.text, QStringLiteral("Please enter a brief description of what you were doing prior to "
                                                 "this fatal error"));
            EXPECT_TRUE(asked.title.isEmpty());
            EXPECT_EQ(asked.icon, MessageIcon::None);
            mMessages.clear();
        }
    }
    EXPECT_TRUE(frmErrorHand::isLoaded() && form.isVisible());
    EXPECT_FALSE(QFile::exists(mInstall + QStringLiteral("Error Logs/BWError.log")));
    EXPECT_TRUE(archivesIn(mTempFolder).isEmpty() && archivesIn(mInstall + QStringLiteral("Error Logs")).isEmpty());
    EXPECT_TRUE(server.mails().empty());
    EXPECT_EQ(server.greetings(), 1) << "only the sign-on at load";
    EXPECT_FALSE(QFile::exists(mInstall + QStringLiteral("System/bwrestart.ran")));
}
