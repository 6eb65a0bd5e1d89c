#include "reportfixture.h"

#include "wizard/errors/errortrap.h"
#include "wizard/forms/frmerrorhand.h"
#include "wizard/settings/registry.h"
#include "platform/core/failure.h"
#include "platform/services/buildinfo.h"
#include "platform/zipcontents.h"
#include "support/controls.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

namespace {

std::string subfolder(const ScratchFolder& folder, const char* name)
{
    std::filesystem::create_directories(folder / name);
    return (folder / name).string();
}

// Records its working directory and arguments, then renames the record into
// place so a reader never sees half of it.
const QByteArray kRestartStandIn = "#!/bin/sh\n{ pwd; for a in \"$@\"; do echo \"$a\"; done; } > \"$0.part\"\n"
                                   "mv \"$0.part\" \"$0.ran\"\n";

}  // namespace

ReportFormTest::ReportFormTest()
    : mTemp("TMPDIR", subfolder(mFolder, "tmp").c_str()), mData("XDG_DATA_HOME", subfolder(mFolder, "data").c_str()),
      mInstall(QString::fromStdString(subfolder(mFolder, "Brennlow")) + QLatin1Char('/')),
      mTempFolder(QString::fromStdString((mFolder / "tmp").string())), mHostDirectory(QDir::currentPath())
{
    setSetting("Installed", mInstall);
    setSetting("ApplicationDir", mInstall);
    makeFile(mInstall + QStringLiteral("System/bwrestart"), kRestartStandIn);
    QFile::setPermissions(mInstall + QStringLiteral("System/bwrestart"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    makeFile(mInstall + QStringLiteral("Brennlow.bws"), "supporting file");
    errorShown = false;
}

ReportFormTest::~ReportFormTest()
{
    if (frmErrorHand::isLoaded())
        frmErrorHand::instance().close();
    EXPECT_TRUE(QTest::qWaitFor([] { return !frmErrorHand::isLoaded(); }));
    errorShown = false;
    QDir::setCurrent(mHostDirectory);
}

void ReportFormTest::setSetting(const char* name, const QString& value)
{
    fWriteValue(QStringLiteral("HKCU"), QStringLiteral("Software\\Brennlow\\Defaults"), QString::fromLatin1(name),
                QStringLiteral("S"), value);
}

void ReportFormTest::configureMail(const std::string& url)
{
    setSetting("MailServer", QString::fromStdString(url));
    setSetting("SupportAddress", QStringLiteral("support@brennlow.example"));
}

void ReportFormTest::makeFile(const QString& path, const QByteArray& content)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
}

frmErrorHand& ReportFormTest::reportFailure()
{
    runTrapped("global", nullptr, [] { throw platform::Failure(-2147467259, "Automation error", "sheet", 87); });
    return frmErrorHand::instance();
}

void ReportFormTest::describe(const QString& text)
{
    findControl<QPlainTextEdit>(&frmErrorHand::instance(), "edtWhatDoing")->setPlainText(text);
}

void ReportFormTest::click(const char* button) { findControl<QPushButton>(&frmErrorHand::instance(), button)->click(); }

void ReportFormTest::check(const char* box, bool checked)
{
    findControl<QCheckBox>(&frmErrorHand::instance(), box)->setChecked(checked);
}

bool ReportFormTest::enabled(const char* control)
{
    return findControl<QWidget>(&frmErrorHand::instance(), control)->isEnabled();
}

QStringList ReportFormTest::closeReport()
{
    click("butClose");
    EXPECT_TRUE(QTest::qWaitFor([] { return !frmErrorHand::isLoaded(); })) << "Close did not unload the form";
    const QString record = mInstall + QStringLiteral("System/bwrestart.ran");
    if (!QTest::qWaitFor([&] { return QFile::exists(record); }))
        return {};
    return text(record).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QString ReportFormTest::text(const QString& file)
{
    QFile in(file);
    return in.open(QIODevice::ReadOnly) ? QString::fromUtf8(in.readAll()) : QString();
}

QStringList ReportFormTest::archivesIn(const QString& folder)
{
    return QDir(folder).entryList({QStringLiteral("*.zip")}, QDir::Files);
}

std::map<std::string, std::string> ReportFormTest::archive(const QString& file)
{
    return zipContents(QFile::encodeName(file).toStdString()).value_or(std::map<std::string, std::string>{{"no zip", ""}});
}

QString ReportFormTest::recordAfterDate(const QString& procedure, const QString& description)
{
    QString typed = description;
    typed.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return QStringLiteral("Date Compiled  : ") + QString::fromStdString(platform::buildStamp())
           + QStringLiteral("\r\nBuild          : ") + QString::fromStdString(platform::buildVersion())
           + QStringLiteral("\r\nModule         : global\r\nProcedure      : ") + procedure
           + QStringLiteral("\r\nNumber         : -2147467259\r\nDescription    : Automation error\r\n"
                            "Last DLL Error : 87\r\nSource         : sheet\r\nDescription    : ")
           + typed + QStringLiteral("\r\n------------------------------------------------\r\n");
}
