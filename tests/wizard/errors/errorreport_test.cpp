// The error trap and its report form over a scratch install folder, a
// stand-in restart program that records how it was started, a real SMTP
// server on loopback and recorded messages; last, the real restart program.
#include "support/smtptestserver.h"
#include "wizard/errors/errortrap.h"
#include "wizard/forms/frmerrorhand.h"
#include "wizard/settings/registry.h"
#include "platform/core/failure.h"
#include "platform/services/buildinfo.h"
#include "platform/zipcontents.h"
#include "support/controls.h"
#include "support/recordingmessages.h"
#include "support/scratchfolder.h"
#include "support/tempsettings.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

#include <gmock/gmock.h>

namespace {

using Entries = std::map<std::string, std::string>;
const QString kSupport = QStringLiteral("support@brennlow.example");

QString fileText(const QString& file)
{
    QFile in(file);
    return in.open(QIODevice::ReadOnly) ? QString::fromUtf8(in.readAll()) : QString();
}
void makeFile(const QString& path, const QByteArray& content)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
}
QStringList archivesIn(const QString& folder) { return QDir(folder).entryList({QStringLiteral("*.zip")}, QDir::Files); }
Entries archive(const QString& file)
{
    return zipContents(QFile::encodeName(file).toStdString()).value_or(Entries{{"no zip", ""}});
}
// A text value of Software\Brennlow\Defaults.
void setSetting(const char* name, const QString& value)
{
    fWriteValue(QStringLiteral("HKCU"), QStringLiteral("Software\\Brennlow\\Defaults"), QString::fromLatin1(name),
                QStringLiteral("S"), value);
}
void setLogin(const char* user, const char* password)
{
    setSetting("MailUser", QString::fromLatin1(user));
    setSetting("MailPassword", QString::fromLatin1(password));
}
frmErrorHand& form() { return frmErrorHand::instance(); }
void describe(const QString& text) { findControl<QPlainTextEdit>(&form(), "edtWhatDoing")->setPlainText(text); }
void click(const char* button) { findControl<QPushButton>(&form(), button)->click(); }
void check(const char* box, bool on) { findControl<QAbstractButton>(&form(), box)->setChecked(on); }
bool unloaded() { return QTest::qWaitFor([] { return !frmErrorHand::isLoaded(); }); }
// Fails a procedure of `global` under the trap.
void failUnderTrap()
{
    runTrapped("global", nullptr, [] { throw platform::Failure(-2147467259, "Automation error", "sheet", 87); });
}
QString dateTimeText(const QDateTime& at)
{
    const QLocale system = QLocale::system();
    return (system.toString(at.date(), QLocale::ShortFormat) + u' ' + system.toString(at.time(), QLocale::LongFormat))
        .trimmed();
}

// A multipart message's blocks split at its boundary: the message's headers,
// then each part's headers and its content decoded, then the closing.
struct MailPart {
    QString headers;
    QByteArray content;
};
std::vector<MailPart> mailParts(const std::string& data)
{
    const QString mail = QString::fromLatin1(data);
    const QString boundary = QRegularExpression(QStringLiteral("boundary=\"?([^\";\r\n]+)")).match(mail).captured(1);
    std::vector<MailPart> parts;
    for (const QString& block : mail.split(QStringLiteral("\r\n--") + boundary)) {
        const qsizetype end = block.indexOf(QStringLiteral("\r\n\r\n"), 2);
        const QString headers = block.left(end), body = end < 0 ? QString() : block.mid(end + 4);
        if (headers.contains(QStringLiteral("base64")))
            parts.push_back({headers, QByteArray::fromBase64(body.toLatin1())});
        else  // quoted-printable: soft line breaks go, "=XX" becomes its byte
            parts.push_back(
                {headers, QByteArray::fromPercentEncoding(QString(body).remove(QStringLiteral("=\r\n")).toLatin1(), '=')});
    }
    return parts;
}

class ErrorReport : public testing::Test {
protected:
    ErrorReport()
        : mTemp("TMPDIR", folder("tmp").c_str()), mData("XDG_DATA_HOME", folder("data").c_str()),
          mInstall(QString::fromStdString(folder("Brennlow")) + u'/'), mTempFolder(QString::fromStdString(folder("tmp")))
    {
        setSetting("Installed", mInstall);
        setSetting("ApplicationDir", mInstall);
        setSetting("MailServer", QString::fromStdString(mServer.url()));
        setSetting("MailCertificates", QString::fromStdString(mServer.caFile()));
        setSetting("SupportAddress", kSupport);
        // Records its working directory and arguments, renamed into place so a reader never sees half of it.
        makeFile(mInstall + QStringLiteral("System/bwrestart"),
                 "#!/bin/sh\n{ pwd; for a in \"$@\"; do echo \"$a\"; done; } > \"$0.part\"\nmv \"$0.part\" \"$0.ran\"\n");
        QFile::setPermissions(mInstall + QStringLiteral("System/bwrestart"), QFile::ReadOwner | QFile::ExeOwner);
        makeFile(mInstall + QStringLiteral("Brennlow.bws"), "supporting file");
        errorShown = false;
    }
    ~ErrorReport() override
    {
        if (frmErrorHand::isLoaded())
            form().close();
        EXPECT_TRUE(unloaded());
        errorShown = false;
        QDir::setCurrent(mHostDirectory);
    }

    std::string folder(const char* name) const
    {
        std::filesystem::create_directories(mFolder / name);
        return (mFolder / name).string();
    }
    static frmErrorHand& reportFailure()
    {
        failUnderTrap();
        return form();
    }
    // The restart program stand-in's record once it has run: its working
    // directory, then its arguments.
    QStringList restarted() const
    {
        const QString record = mInstall + QStringLiteral("System/bwrestart.ran");
        return QTest::qWaitFor([&] { return QFile::exists(record); }) ? fileText(record).split(u'\n', Qt::SkipEmptyParts)
                                                                      : QStringList();
    }
    QStringList closeReport()
    {
        click("butClose");
        EXPECT_TRUE(unloaded()) << "Close did not unload the form";
        return restarted();
    }
    QString log() const { return fileText(mInstall + QStringLiteral("Error Logs/BWError.log")); }
    // The log record of a failure of `global` from its second line on: all
    // but the date and time.
    static QString recordAfterDate(const QString& procedure, QString description)
    {
        return QStringLiteral("Date Compiled  : ") + QString::fromStdString(platform::buildStamp())
               + QStringLiteral("\r\nBuild          : ") + QString::fromStdString(platform::buildVersion())
               + QStringLiteral("\r\nModule         : global\r\nProcedure      : ") + procedure
               + QStringLiteral("\r\nNumber         : -2147467259\r\nDescription    : Automation error\r\n"
                                "Last DLL Error : 87\r\nSource         : sheet\r\nDescription    : ")
               + description.replace(u'\n', QStringLiteral("\r\n"))
               + QStringLiteral("\r\n------------------------------------------------\r\n");
    }

    ScratchFolder mFolder;
    ScopedEnvironment mTemp, mData;
    TempSettings mSettings;
    RecordingMessages mMessages;
    SmtpTestServer mServer;
    const QString mInstall;  // with a trailing '/'
    const QString mTempFolder;
    const QString mHostDirectory = QDir::currentPath();
};

TEST_F(ErrorReport, TheVendorReceivesTheDescriptionTheFailureAndTheArchiveAndCloseSendsNoMore)
{
    mServer.requireLogin("reporter", "s3cret");
    setLogin("reporter", "s3cret");
    reportFailure();
    ASSERT_TRUE(findControl<QWidget>(&form(), "butEMail")->isEnabled());
    describe(QStringLiteral("  \n\t "));
    click("butClose");
    EXPECT_EQ(mMessages.single(), (RecordedMessage{QStringLiteral("Please enter a brief description of what you were "
                                                                  "doing prior to this fatal error"),
                                                   QString(), MessageIcon::None}));
    mMessages.clear();
    EXPECT_TRUE(form().isVisible());
    EXPECT_FALSE(QFile::exists(mInstall + QStringLiteral("Error Logs/BWError.log")));
    EXPECT_FALSE(QFile::exists(mInstall + QStringLiteral("System/bwrestart.ran")));
    describe(QStringLiteral("Choosing members\nthen Finish"));
    setLogin("", "");  // the server refuses the mail: a mail error, and nothing is sent
    click("butEMail");
    EXPECT_EQ(mMessages.single(), (RecordedMessage{QStringLiteral("The error log failed to be sent due to a mail error"),
                                                   QStringLiteral("Error"), MessageIcon::Information}));
    EXPECT_FALSE(form().mailSent);
    EXPECT_TRUE(archivesIn(mTempFolder).isEmpty() && mServer.mails().empty());
    mMessages.clear();
    ASSERT_TRUE(form().close() && unloaded());

    setLogin("reporter", "s3cret");
    frmErrorHand& shown = reportFailure();
    describe(QStringLiteral("Choosing members\nthen Finish"));
    click("butEMail");
    const auto mails = mServer.mails();
    ASSERT_EQ(mails.size(), 1u);
    EXPECT_EQ(mails[0].recipient, kSupport.toStdString());
    for (const char* header : {"\r\nSubject: Brennlow Gridworks Error\r\n",
                               "\r\nFrom: \"Brennlow Gridworks Error\" <support@brennlow.example>\r\n"})
        EXPECT_NE(("\r\n" + mails[0].data).find(header), std::string::npos) << header;
    const std::vector<MailPart> parts = mailParts(mails[0].data);
    ASSERT_EQ(parts.size(), 4u);  // the message's headers, the text, the archive, the closing
    const QString body = QString::fromUtf8(parts[1].content);
    EXPECT_TRUE(body.startsWith(QStringLiteral(" \r\nDescription:\r\nChoosing members\r\nthen Finish\r\n\r\nDate & Time    : ")))
        << body.toStdString();
    const QString fields = recordAfterDate(shown.errProcedure, QString());
    EXPECT_TRUE(body.endsWith(QStringLiteral("\r\n") + fields.left(fields.indexOf(QStringLiteral("Description    : \r\n")))))
        << body.toStdString();
    EXPECT_EQ(body.count(QStringLiteral("\r\n")), 14) << "5 lines before the record, 9 record lines";
    const QString file = QRegularExpression(QStringLiteral("filename=\"?([^\";\r\n]+)")).match(parts[2].headers).captured(1);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^bwt[0-9A-F]{8}\\.zip$")).match(file).hasMatch()) << file.toStdString();
    const QString zip = QString::fromStdString((mFolder / "received.zip").string());
    makeFile(zip, parts[2].content);
    const Entries attached = archive(zip);
    EXPECT_EQ(attached.size(), 2u);
    EXPECT_TRUE(attached.count("Brennlow.bws") && attached.count("screenshot.bmp"));
    EXPECT_EQ(mMessages.single(), (RecordedMessage{QStringLiteral("The error log has been successfully sent"),
                                                   QStringLiteral("Thank you"), MessageIcon::Information}));
    EXPECT_TRUE(shown.mailSent);
    EXPECT_TRUE(archivesIn(mTempFolder).isEmpty()) << "the archive is deleted after sending";
    EXPECT_FALSE(QFile::exists(mInstall + QStringLiteral("Error Logs/screenShot.bmp")));

    mMessages.clear();
    EXPECT_FALSE(closeReport().isEmpty());
    EXPECT_TRUE(mMessages.shown().empty());
    EXPECT_TRUE(archivesIn(mInstall + QStringLiteral("Error Logs")).isEmpty());
    EXPECT_TRUE(log().contains(QStringLiteral("Description    : Choosing members\r\nthen Finish\r\n")));
    EXPECT_EQ(mServer.mails().size(), 1u);
}

// The mail test sends both chosen files; here neither is chosen.
TEST_F(ErrorReport, CloseAppendsTheRecordLeavesAnArchiveOfTheChosenFilesAndRestartsTheProgram)
{
    const QByteArray earlier = "an earlier record\r\n------------------------------------------------\r\n";
    const QString logs = mInstall + QStringLiteral("Error Logs/");
    makeFile(logs + QStringLiteral("BWError.log"), earlier);
    const QString procedure = reportFailure().errProcedure;
    describe(QStringLiteral("Choosing members\nthen Finish"));
    check("chkAttachScreen", false);
    check("chkEmailStore", false);
    const QDateTime before = QDateTime::currentDateTime();
    const QStringList restart = closeReport();
    const QDateTime after = QDateTime::currentDateTime();

    EXPECT_EQ(restart, (QStringList{mInstall + QStringLiteral("System"), QStringLiteral("--pid"),
                                    QString::number(QCoreApplication::applicationPid()), QStringLiteral("--workdir"),
                                    mHostDirectory, QStringLiteral("--"), QCoreApplication::applicationFilePath()}
                        + QCoreApplication::arguments().mid(1)));
    ASSERT_TRUE(log().startsWith(QString::fromLatin1(earlier)));
    const QString written = log().mid(earlier.size());
    const QString dateLine = written.left(written.indexOf(QStringLiteral("\r\n")));
    EXPECT_THAT(dateLine.toStdString(), testing::AnyOf("Date & Time    : " + dateTimeText(before).toStdString(),
                                                       "Date & Time    : " + dateTimeText(after).toStdString()));
    EXPECT_EQ(written.mid(dateLine.size() + 2), recordAfterDate(procedure, QStringLiteral("Choosing members\nthen Finish")));
    const QStringList archives = archivesIn(logs);
    ASSERT_EQ(archives.size(), 1);
    EXPECT_TRUE(archives[0].startsWith(QStringLiteral("bwt")));
    EXPECT_EQ(archive(logs + archives[0]), (Entries{{"BWError.log", log().toStdString()}}));
    EXPECT_FALSE(QFile::exists(logs + QStringLiteral("screenShot.bmp")));
    EXPECT_EQ(mMessages.single(), (RecordedMessage{QStringLiteral("Please email the file '") + logs + archives[0]
                                                       + QStringLiteral("' to support@brennlow.example.\r\nIt will help "
                                                                        "us to more easily correct the problem that "
                                                                        "caused this error"),
                                                   QStringLiteral("Information"), MessageIcon::Information}));
}

// No install directory: the record goes to the user's data folder, the
// archive holds what exists and stays where it was made, and the restart
// program is not there to start.
TEST_F(ErrorReport, WhatCannotBeWrittenOrFoundIsToldAndTheRestStillDone)
{
    const QString missing = QString::fromStdString((mFolder / "not installed/").string());
    const QString fallback = QString::fromStdString((mFolder / "data/pivotwizard/Error Logs/BWError.log").string());
    setSetting("Installed", missing);
    const QString procedure = reportFailure().errProcedure;
    describe(QStringLiteral("Building"));
    click("butClose");
    ASSERT_TRUE(unloaded());
    const std::vector<RecordedMessage>& told = mMessages.shown();
    ASSERT_EQ(told.size(), 4u);
    EXPECT_TRUE(told[0].text.startsWith(QStringLiteral("The error log '") + missing
                                        + QStringLiteral("Error Logs/BWError.log' could not be written: ")))
        << told[0].text.toStdString();
    EXPECT_TRUE(told[0].text.endsWith(QStringLiteral("\r\rThe report was written to '") + fallback
                                      + QStringLiteral("' instead.")));
    EXPECT_EQ(told[0].icon, MessageIcon::Exclamation);
    EXPECT_TRUE(fileText(fallback).endsWith(recordAfterDate(procedure, QStringLiteral("Building"))));
    // The screen picture would have been in the missing directory; the supporting file is in the application's.
    EXPECT_EQ(told[1].text.toStdString(), "These files could not be added to the error report because they do not "
                                          "exist:\r\r" + missing.toStdString() + "Error Logs/screenshot.bmp");
    const QStringList kept = archivesIn(mTempFolder);
    ASSERT_EQ(kept.size(), 1);
    EXPECT_EQ(archive(mTempFolder + u'/' + kept[0]),
              (Entries{{"BWError.log", fileText(fallback).toStdString()}, {"Brennlow.bws", "supporting file"}}));
    EXPECT_TRUE(told[2].text.contains(mTempFolder + u'/' + kept[0]));
    EXPECT_EQ(told[3].text.toStdString(), "The restart program '" + missing.toStdString()
                                              + "System/bwrestart' could not be started.\rPlease start the program "
                                                "again yourself.");
}

TEST(RestartProgram, WaitsUntilTheHostHasEndedThenStartsItAgainInItsFolder)
{
    const ScratchFolder scratch;
    const QString folder = QString::fromStdString(scratch.path().string());
    QProcess host;  // stands for the program that had to close; ends when its input does
    host.start(QStringLiteral("cat"), {});
    ASSERT_TRUE(host.waitForStarted());
    QProcess restart;
    restart.start(QStringLiteral(BWRESTART_PROGRAM),
                  {QStringLiteral("--pid"), QString::number(host.processId()), QStringLiteral("--workdir"), folder,
                   QStringLiteral("--"), QStringLiteral("/bin/sh"), QStringLiteral("-c"),
                   QStringLiteral("{ pwd; echo \"$1\"; } > restarting && mv restarting restarted"), QStringLiteral("sh"),
                   QStringLiteral("the argument")});
    ASSERT_TRUE(restart.waitForReadyRead(10000));
    EXPECT_EQ(restart.readLine().trimmed(), QByteArray("waiting for ") + QByteArray::number(host.processId()));
    EXPECT_EQ(restart.state(), QProcess::Running);
    EXPECT_FALSE(QFile::exists(folder + QStringLiteral("/restarted"))) << "started again while the host still ran";
    host.closeWriteChannel();
    ASSERT_TRUE(host.waitForFinished() && restart.waitForFinished(10000));
    EXPECT_EQ(restart.exitCode(), 0);
    QFile record(folder + QStringLiteral("/restarted"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return record.exists(); }, 10000));
    ASSERT_TRUE(record.open(QIODevice::ReadOnly));
    EXPECT_EQ(record.readAll(), (folder + QStringLiteral("\nthe argument\n")).toUtf8());
}

}  // namespace
