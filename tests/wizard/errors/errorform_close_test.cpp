// Close on the report form: the error log record, the archive left for the
// user, the restart, and what the user is told when a file cannot be written.
#include "reportfixture.h"
#include "wizard/forms/frmerrorhand.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTest>

#include <sys/resource.h>

#include <csignal>
#include <functional>

namespace {

using ReportFormClose = ReportFormTest;

QString dateTimeText(const QDateTime& at)
{
    const QLocale system = QLocale::system();
    return (system.toString(at.date(), QLocale::ShortFormat) + u' ' + system.toString(at.time(), QLocale::LongFormat))
        .trimmed();
}

// Stops writes to files past `bytes`, as a full disk would, while it lives.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) : mPrevious(std::signal(SIGXFSZ, SIG_IGN))
    {
        getrlimit(RLIMIT_FSIZE, &mOld);
        rlimit tight = mOld;
        tight.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &tight);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &mOld);
        std::signal(SIGXFSZ, mPrevious);
    }

private:
    void (*mPrevious)(int);
    rlimit mOld{};
};

TEST_F(ReportFormClose, TheLogRecordIsAppendedByteForByteAndTheProgramRestarted)
{
    const QByteArray earlier = "an earlier record\r\n------------------------------------------------\r\n";
    makeFile(mInstall + QStringLiteral("Error Logs/BWError.log"), earlier);
    const QString procedure = reportFailure().errProcedure;
    describe(QStringLiteral("Choosing members\nthen Finish"));
    const QDateTime before = QDateTime::currentDateTime();
    const QStringList restart = closeReport();
    const QDateTime after = QDateTime::currentDateTime();

    const QString written = log().mid(earlier.size());
    EXPECT_TRUE(log().startsWith(QString::fromLatin1(earlier)));
    const qsizetype firstEnd = written.indexOf(QStringLiteral("\r\n"));
    const QString firstLine = written.left(firstEnd);
    EXPECT_TRUE(firstLine == QStringLiteral("Date & Time    : ") + dateTimeText(before)
                || firstLine == QStringLiteral("Date & Time    : ") + dateTimeText(after))
        << firstLine.toStdString();
    EXPECT_EQ(written.mid(firstEnd + 2), recordAfterDate(procedure, QStringLiteral("Choosing members\nthen Finish")));

    ASSERT_GE(restart.size(), 7) << restart.join(u'|').toStdString();
    EXPECT_EQ(restart[0], mInstall + QStringLiteral("System"));
    EXPECT_EQ(restart.mid(1, 6), (QStringList{QStringLiteral("--pid"), QString::number(QCoreApplication::applicationPid()),
                                              QStringLiteral("--workdir"), mHostDirectory, QStringLiteral("--"),
                                              QCoreApplication::applicationFilePath()}));
}

TEST_F(ReportFormClose, TheArchiveHoldsTheLogAndTheChosenFilesAndIsLeftForTheUserToSend)
{
    setSetting("SupportAddress", QStringLiteral("support@brennlow.example"));
    const QString logs = mInstall + QStringLiteral("Error Logs/");
    for (const auto& [screen, store] : {std::pair{false, false}, {true, false}, {false, true}, {true, true}}) {
        SCOPED_TRACE(testing::Message() << screen << store);
        reportFailure();
        describe(QStringLiteral("Building"));
        check("chkAttachScreen", screen);
        check("chkEmailStore", store);
        closeReport();
        const QStringList archives = archivesIn(logs);
        ASSERT_EQ(archives.size(), 1);
        EXPECT_TRUE(archives[0].startsWith(QStringLiteral("bwt")));
        const auto entries = archive(logs + archives[0]);
        EXPECT_EQ(entries.size(), 1u + screen + store);
        EXPECT_EQ(QString::fromStdString(entries.at("BWError.log")), log());
        EXPECT_EQ(entries.count("screenshot.bmp") && entries.at("screenshot.bmp").substr(0, 2) == "BM", screen);
        EXPECT_EQ(entries.count("Brennlow.bws"), size_t(store));
        EXPECT_FALSE(QFile::exists(logs + QStringLiteral("screenShot.bmp")));
        const RecordedMessage asked = mMessages.single();
        EXPECT_EQ(asked.text, QStringLiteral("Please email the file '") + logs + archives[0]
                                  + QStringLiteral("' to support@brennlow.example.\r\nIt will help us to more easily "
                                                   "correct the problem that caused this error"));
        EXPECT_EQ(asked.icon, MessageIcon::Information);
        mMessages.clear();
        QFile::remove(logs + archives[0]);
        QFile::remove(logs + QStringLiteral("BWError.log"));
        QFile::remove(mInstall + QStringLiteral("System/bwrestart.ran"));
    }
}

TEST_F(ReportFormClose, ALogThatCannotBeWrittenIsKeptInTheUsersDataFolderAndTheOldLogLeftWhole)
{
    makeFile(QString::fromStdString((mFolder / "a file").string()), "not a folder");
    const QByteArray earlier(3000, 'x');
    makeFile(mInstall + QStringLiteral("Error Logs/BWError.log"), earlier);
    const QString fallback = QString::fromStdString((mFolder / "data/pivotwizard/Error Logs/BWError.log").string());
    const struct {
        const char* what;
        std::string install;
        bool diskFull;
    } cases[] = {{"no such folder", (mFolder / "not installed/").string(), false},
                 {"a file", (mFolder / "a file/").string(), false},
                 {"disk full", mInstall.toStdString(), true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        setSetting("Installed", QString::fromStdString(c.install));
        const QString procedure = reportFailure().errProcedure;
        describe(QStringLiteral("Building"));
        check("chkAttachScreen", false);
        check("chkEmailStore", false);
        {
            const FileSizeLimit full(c.diskFull ? 3100 : RLIM_INFINITY);
            click("butClose");
        }
        ASSERT_TRUE(QTest::qWaitFor([] { return !frmErrorHand::isLoaded(); }));
        ASSERT_FALSE(mMessages.shown().empty());
        const RecordedMessage& told = mMessages.shown()[0];
        EXPECT_TRUE(told.text.startsWith(QStringLiteral("The error log '") + QString::fromStdString(c.install)
                                         + QStringLiteral("Error Logs/BWError.log' could not be written: ")))
            << told.text.toStdString();
        EXPECT_TRUE(told.text.endsWith(QStringLiteral("\r\rThe report was written to '") + fallback + QStringLiteral("' instead.")));
        EXPECT_EQ(told.icon, MessageIcon::Exclamation);
        EXPECT_TRUE(text(fallback).endsWith(recordAfterDate(procedure, QStringLiteral("Building"))));
        QFile::remove(fallback);
        if (!c.diskFull) {
            // The archive could not be moved to the missing folder: it stays where it was made, and the user is told.
            const QStringList archives = archivesIn(mTempFolder);
            ASSERT_EQ(archives.size(), 1);
            EXPECT_TRUE(archive(mTempFolder + u'/' + archives[0]).count("BWError.log"));
            EXPECT_TRUE(mMessages.shown()[1].text.contains(mTempFolder + u'/' + archives[0]));
            EXPECT_TRUE(mMessages.shown().back().text.startsWith(QStringLiteral("The restart program '")));
            QFile::remove(mTempFolder + u'/' + archives[0]);
        }
        mMessages.clear();
    }
    EXPECT_EQ(log().toLatin1(), earlier);
}

TEST_F(ReportFormClose, AVanishedAttachmentOrRestartProgramIsToldAndTheRestStillDone)
{
    reportFailure();
    describe(QStringLiteral("Building"));
    QFile::remove(mInstall + QStringLiteral("Brennlow.bws"));
    QFile::remove(mInstall + QStringLiteral("System/bwrestart"));
    click("butClose");
    ASSERT_TRUE(QTest::qWaitFor([] { return !frmErrorHand::isLoaded(); }));
    ASSERT_EQ(mMessages.shown().size(), 3u);
    EXPECT_EQ(mMessages.shown()[0].text,
              QStringLiteral("These files could not be added to the error report because they do not exist:\r\r")
                  + mInstall + QStringLiteral("Brennlow.bws"));
    const QStringList archives = archivesIn(mInstall + QStringLiteral("Error Logs"));
    ASSERT_EQ(archives.size(), 1);
    const auto entries = archive(mInstall + QStringLiteral("Error Logs/") + archives[0]);
    EXPECT_EQ(entries.size(), 2u);
    EXPECT_TRUE(entries.count("BWError.log") && entries.count("screenshot.bmp"));
    EXPECT_EQ(mMessages.shown()[2].text, QStringLiteral("The restart program '") + mInstall
                                             + QStringLiteral("System/bwrestart' could not be started.\rPlease start "
                                                              "the program again yourself."));
}

}  // namespace
