// The real restart program, waiting for a process to end before it starts it
// again. The command line the report form gives it is checked with the form.
#include "support/scratchfolder.h"

#include <QFile>
#include <QProcess>
#include <QTest>

#include <gtest/gtest.h>

namespace {

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
