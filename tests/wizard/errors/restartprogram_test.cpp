// The restart program: the command line the report form gives it, and the
// real program waiting for a process to end before it starts it again.
#include "wizard/errors/restartprogram.h"
#include "support/scratchfolder.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class RestartProgram : public testing::Test {
protected:
    ScratchFolder mFolder;
    QString folder() const { return QString::fromStdString(mFolder.path().string()); }
};

}  // namespace

TEST_F(RestartProgram, LivesInTheSystemFolderOfTheInstallDirectory)
{
    EXPECT_EQ(report::restartProgram(QStringLiteral("/opt/brennlow/")), QStringLiteral("/opt/brennlow/System/bwrestart"));
    EXPECT_EQ(report::restartProgram(QString()), QStringLiteral("System/bwrestart"));
}

TEST_F(RestartProgram, IsToldToRestartThisProcessWithItsArguments)
{
    QStringList expected{QStringLiteral("--pid"), QString::number(QCoreApplication::applicationPid()),
                         QStringLiteral("--workdir"), QStringLiteral("/home/user/work"), QStringLiteral("--"),
                         QCoreApplication::applicationFilePath()};
    expected << QCoreApplication::arguments().mid(1);
    EXPECT_EQ(report::restartArguments(QStringLiteral("/home/user/work")), expected);
}

TEST_F(RestartProgram, WaitsUntilTheHostHasEndedThenStartsItAgainInItsFolder)
{
    QProcess host;   // stands for the program that had to close; ends when its input does
    host.start(QStringLiteral("cat"), {});
    ASSERT_TRUE(host.waitForStarted());
    const QString marker = folder() + QStringLiteral("/restarted");
    QProcess restart;
    restart.start(QStringLiteral(BWRESTART_PROGRAM),
                  {QStringLiteral("--pid"), QString::number(host.processId()), QStringLiteral("--workdir"), folder(),
                   QStringLiteral("--"), QStringLiteral("/bin/sh"), QStringLiteral("-c"),
                   QStringLiteral("{ pwd; echo \"$1\"; } > restarting && mv restarting restarted"), QStringLiteral("sh"),
                   QStringLiteral("the argument")});
    ASSERT_TRUE(restart.waitForReadyRead(10000));
    EXPECT_EQ(restart.readLine().trimmed(), QByteArray("waiting for ") + QByteArray::number(host.processId()));

    EXPECT_EQ(restart.state(), QProcess::Running);
    EXPECT_FALSE(QFile::exists(marker)) << "started again while the host was still running";
    host.closeWriteChannel();
    ASSERT_TRUE(host.waitForFinished());
    ASSERT_TRUE(restart.waitForFinished(10000));
    EXPECT_EQ(restart.exitCode(), 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(marker); }, 10000));
    QFile record(marker);
    ASSERT_TRUE(record.open(QIODevice::ReadOnly));
    EXPECT_EQ(record.readAll(), (folder() + QStringLiteral("\nthe argument\n")).toUtf8());
}

TEST_F(RestartProgram, WithoutAProgramToStartItRefusesItsCommandLine)
{
    QProcess restart;
    restart.start(QStringLiteral(BWRESTART_PROGRAM), {QStringLiteral("--pid"), QStringLiteral("1")});
    ASSERT_TRUE(restart.waitForFinished(10000));
    EXPECT_EQ(restart.exitCode(), 2);
}

TEST_F(RestartProgram, AProgramThatCannotBeStartedIsAFailure)
{
    QProcess restart;
    restart.start(QStringLiteral(BWRESTART_PROGRAM),
                  {QStringLiteral("--"), folder() + QStringLiteral("/no such program")});
    ASSERT_TRUE(restart.waitForFinished(10000));
    EXPECT_EQ(restart.exitCode(), 1);
}
