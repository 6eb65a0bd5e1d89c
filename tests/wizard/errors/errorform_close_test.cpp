// Close on the report form: the error log record, the archive left for the
// user, the restart, and what the user is told when a file cannot be written.
#include "wizard/forms/frmerrorhand.h"
#include "reportfixture.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLocale>

#include <sys/resource.h>

#include <csignal>
#include <set>

namespace {

using Entries = std::map<std::string, std::string>;
using ReportFormClose = ReportFormTest;

QString dateTimeText(const QDateTime& at)
{
    const QLocale system = QLocale::system();
    return (system.toString(at.date(), QLocale::ShortFormat) + QLatin1Char(' ')
            + system.toString(at.time(), QLocale::LongFormat))
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

}  // namespace

TEST_F(ReportFormClose, TheLogRecordIsWrittenByteForByte)
{
    const QString procedure = reportFailure().errProcedure;
    describe(QStringLiteral("Choosing members\nthen Finish"));
    const QDateTime before = QDateTime::currentDateTime();
    closeReport();
    const QDateTime after = QDateTime::currentDateTime();

    const QString log = text(mInstall + QStringLiteral("Error Logs/BWError.log"));
    const qsizetype firstEnd = log.indexOf(QStringLiteral("\r\n"));
    const QString firstLine = log.left(firstEnd);
    EXPECT_TRUE(firstLine == QStringLiteral("Date & Time    : ") + dateTimeText(before)
                || firstLine == QStringLiteral("Date & Time    : ") + dateTimeText(after))
        << firstLine.toStdString();
    EXPECT_EQ(log.mid(firstEnd + 2), expectedRecordAfterDate(procedure, QStringLiteral("Choosing members\nthen Finish")));
}

TEST_F(ReportFormClose, ANewRecordIsAppendedToTheExistingLog)
{
    const QByteArray earlier = "an earlier record\r\n------------------------------------------------\r\n";
    makeFile(mInstall + QStringLiteral("Error Logs/BWError.log"), earlier);
    const QString procedure = reportFailure().errProcedure;
    describe(QStringLiteral("Again"));
    closeReport();
    const QString log = text(mInstall + QStringLiteral("Error Logs/BWError.log"));
    EXPECT_TRUE(log.startsWith(QString::fromLatin1(earlier) + QStringLiteral("Date & Time    : ")));
    EXPECT_TRUE(log.endsWith(expectedRecordAfterDate(procedure, QStringLiteral("Again"))));
    EXPECT_EQ(log.count(QStringLiteral("Date & Time    : ")), 1);
}

class CloseArchive : public ReportFormTest, public testing::WithParamInterface<std::pair<bool, bool>> {};

TEST_P(CloseArchive, HoldsTheLogAndTheChosenFilesAndIsLeftForTheUserToSend)
{
    const auto [screen, store] = GetParam();
    setSetting("SupportAddress", QStringLiteral("support@brennlow.example"));
    reportFailure();
    describe(QStringLiteral("Building"));
    check("chkAttachScreen", screen);
    check("chkEmailStore", store);
    closeReport();

    const QString logs = mInstall + QStringLiteral("Error Logs/");
    const QStringList archives = archivesIn(logs);
    ASSERT_EQ(archives.size(), 1);
    EXPECT_TRUE(archives[0].startsWith(QStringLiteral("bwt")));
    EXPECT_TRUE(archivesIn(mTempFolder).isEmpty());
    const auto entries = archive(logs + archives[0]);
    ASSERT_TRUE(entries);
    std::set<std::string> names;
    for (const auto& [name, content] : *entries)
        names.insert(name);
    std::set<std::string> expected{"BWError.log"};
    if (screen)
        expected.insert("screenshot.bmp");
    if (store)
        expected.insert("Brennlow.bws");
    EXPECT_EQ(names, expected);
    EXPECT_EQ(QString::fromStdString(entries->at("BWError.log")), text(logs + QStringLiteral("BWError.log")));
    if (screen) {
        EXPECT_EQ(entries->at("screenshot.bmp").substr(0, 2), "BM");
    }
    EXPECT_FALSE(QFile::exists(logs + QStringLiteral("screenShot.bmp")));

    const RecordedMessage asked = mMessages.single();
    EXPECT_EQ(asked.text, QStringLiteral("Please email the file '") + logs + archives[0]
                              + QStringLiteral("' to support@brennlow.example.\r\nIt will help us to more easily "
                                               "correct the problem that caused this error"));
    EXPECT_EQ(asked.title, QStringLiteral("Information"));
    EXPECT_EQ(asked.icon, MessageIcon::Information);
}

INSTANTIATE_TEST_SUITE_P(EveryCheckBoxCombination, CloseArchive,
                         testing::Values(std::pair{false, false}, std::pair{true, false}, std::pair{false, true},
                                         std::pair{true, true}));

TEST_F(ReportFormClose, TheRestartProgramIsStartedInTheSystemFolderToRestartThisProgram)
{
    reportFailure();
    describe(QStringLiteral("Building"));
    click("butClose");
    const QStringList record = restartRecord();
    ASSERT_GE(record.size(), 7) << record.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(record[0], mInstall + QStringLiteral("System"));
    const QStringList expected{QStringLiteral("--pid"), QString::number(QCoreApplication::applicationPid()),
                               QStringLiteral("--workdir"), mHostDirectory, QStringLiteral("--"),
                               QCoreApplication::applicationFilePath()};
    EXPECT_EQ(record.mid(1, 6), expected);
    EXPECT_TRUE(QTest::qWaitFor([] { return !frmErrorHand::isLoaded(); }));
}

TEST_F(ReportFormClose, WithAnEmptyInstallDirectoryTheLogGoesToTheCurrentDirectoryAndTheArchiveHoldsOnlyIt)
{
    setSetting("Installed", QString());
    const QString current = QString::fromStdString((mFolder / "current").string());
    QDir().mkpath(current + QStringLiteral("/System"));
    QFile::copy(mInstall + QStringLiteral("System/bwrestart"), current + QStringLiteral("/System/bwrestart"));
    QDir::setCurrent(current);
    reportFailure();
    describe(QStringLiteral("Building"));
    click("butClose");
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(current + QStringLiteral("/System/bwrestart.ran")); }));

    EXPECT_TRUE(text(current + QStringLiteral("/Error Logs/BWError.log")).contains(QStringLiteral("Module         : global")));
    const QStringList archives = archivesIn(current + QStringLiteral("/Error Logs"));
    ASSERT_EQ(archives.size(), 1);
    const auto entries = archive(current + QStringLiteral("/Error Logs/") + archives[0]);
    ASSERT_TRUE(entries);
    EXPECT_EQ(entries->size(), 1u);
    EXPECT_TRUE(entries->count("BWError.log"));
    EXPECT_TRUE(mMessages.single().text.startsWith(QStringLiteral("Please email the file 'Error Logs/") + archives[0]));
}

TEST_F(ReportFormClose, AnUnusableInstallDirectoryKeepsTheRecordInTheUsersDataFolderAndSaysSo)
{
    makeFile(QString::fromStdString((mFolder / "a file").string()), "not a folder");
    const QString fallback = QString::fromStdString((mFolder / "data/pivotwizard/Error Logs/BWError.log").string());
    for (const std::string& install : {(mFolder / "not installed/").string(), (mFolder / "a file/").string()}) {
        setSetting("Installed", QString::fromStdString(install));
        const QString procedure = reportFailure().errProcedure;
        describe(QStringLiteral("Building"));
        check("chkAttachScreen", false);
        check("chkEmailStore", false);
        click("butClose");
        ASSERT_TRUE(QTest::qWaitFor([] { return !frmErrorHand::isLoaded(); }));

        ASSERT_EQ(mMessages.shown().size(), 3u) << install;
        const RecordedMessage& logMessage = mMessages.shown()[0];
        EXPECT_TRUE(logMessage.text.startsWith(QStringLiteral("The error log '") + QString::fromStdString(install)
                                               + QStringLiteral("Error Logs/BWError.log' could not be written: ")))
            << logMessage.text.toStdString();
        EXPECT_TRUE(logMessage.text.endsWith(QStringLiteral("\r\rThe report was written to '") + fallback
                                             + QStringLiteral("' instead.")));
        EXPECT_EQ(logMessage.icon, MessageIcon::Exclamation);
        EXPECT_TRUE(text(fallback).endsWith(expectedRecordAfterDate(procedure, QStringLiteral("Building"))));
        // The archive could not be moved to the missing folder, so it stays
        // where it was made, and the user is told that place.
        const QStringList archives = archivesIn(mTempFolder);
        ASSERT_EQ(archives.size(), 1);
        const auto entries = archive(mTempFolder + QLatin1Char('/') + archives[0]);
        ASSERT_TRUE(entries && entries->count("BWError.log"));
        EXPECT_TRUE(mMessages.shown()[1].text.contains(mTempFolder + QLatin1Char('/') + archives[0]));
        EXPECT_TRUE(mMessages.shown()[2].text.startsWith(QStringLiteral("The restart program '")));
        QFile::remove(mTempFolder + QLatin1Char('/') + archives[0]);
        QFile::remove(fallback);
        mMessages.clear();
    }
}

TEST_F(ReportFormClose, AFullDiskKeepsTheRecordElsewhereAndLeavesTheOldLogWhole)
{
    const QByteArray earlier(3000, 'x');
    makeFile(mInstall + QStringLiteral("Error Logs/BWError.log"), earlier);
    const QString procedure = reportFailure().errProcedure;
    describe(QStringLiteral("Building"));
    check("chkAttachScreen", false);
    check("chkEmailStore", false);
    {
        const FileSizeLimit full(3100);
        click("butClose");
    }
    restartRecord();
    EXPECT_EQ(text(mInstall + QStringLiteral("Error Logs/BWError.log")).toLatin1(), earlier);
    const QString fallback = QString::fromStdString((mFolder / "data/pivotwizard/Error Logs/BWError.log").string());
    EXPECT_TRUE(text(fallback).endsWith(expectedRecordAfterDate(procedure, QStringLiteral("Building"))));
    ASSERT_FALSE(mMessages.shown().empty());
    EXPECT_TRUE(mMessages.shown()[0].text.contains(QStringLiteral("could not be written")))
        << mMessages.shown()[0].text.toStdString();
}

TEST_F(ReportFormClose, AnAttachmentThatVanishedIsNamedAndTheRestIsStillArchived)
{
    reportFailure();
    describe(QStringLiteral("Building"));
    QFile::remove(mInstall + QStringLiteral("Brennlow.bws"));
    closeReport();
    ASSERT_EQ(mMessages.shown().size(), 2u);
    EXPECT_EQ(mMessages.shown()[0].text,
              QStringLiteral("These files could not be added to the error report because they do not exist:\r\r")
                  + mInstall + QStringLiteral("Brennlow.bws"));
    const QStringList archives = archivesIn(mInstall + QStringLiteral("Error Logs"));
    ASSERT_EQ(archives.size(), 1);
    const auto entries = archive(mInstall + QStringLiteral("Error Logs/") + archives[0]);
    ASSERT_TRUE(entries);
    EXPECT_EQ(entries->size(), 2u);
    EXPECT_TRUE(entries->count("BWError.log") && entries->count("screenshot.bmp"));
}

TEST_F(ReportFormClose, AMissingRestartProgramIsToldAndTheFormStillCloses)
{
    QFile::remove(mInstall + QStringLiteral("System/bwrestart"));
    reportFailure();
    describe(QStringLiteral("Building"));
    click("butClose");
    ASSERT_TRUE(QTest::qWaitFor([] { return !frmErrorHand::isLoaded(); }));
    const RecordedMessage& told = mMessages.shown().back();
    EXPECT_EQ(told.text, QStringLiteral("The restart program '") + mInstall
                             + QStringLiteral("System/bwrestart' could not be started.\rPlease start the program "
                                              "again yourself."));
    EXPECT_TRUE(QFile::exists(mInstall + QStringLiteral("Error Logs/BWError.log")));
}
