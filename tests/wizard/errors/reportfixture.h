// A small real world for the report form: an install directory (which is also
// the application directory) named by the settings, the temporary and data
// folders, all in a scratch folder; a stand-in for the restart program that
// records how it was started; and a message recorder. The form is loaded the
// way the product loads it, by the error trap.
#pragma once

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

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

class ReportFormTest : public testing::Test {
protected:
    ReportFormTest()
        : mTemp("TMPDIR", folder("tmp").c_str()), mData("XDG_DATA_HOME", folder("data").c_str()),
          mInstall(QString::fromStdString(folder("Brennlow")) + u'/'), mTempFolder(QString::fromStdString(folder("tmp")))
    {
        setSetting("Installed", mInstall);
        setSetting("ApplicationDir", mInstall);
        // Records its working directory and arguments, renamed into place so a reader never sees half of it.
        makeFile(mInstall + QStringLiteral("System/bwrestart"),
                 "#!/bin/sh\n{ pwd; for a in \"$@\"; do echo \"$a\"; done; } > \"$0.part\"\nmv \"$0.part\" \"$0.ran\"\n");
        QFile::setPermissions(mInstall + QStringLiteral("System/bwrestart"), QFile::ReadOwner | QFile::ExeOwner);
        makeFile(mInstall + QStringLiteral("Brennlow.bws"), "supporting file");
        errorShown = false;
    }
    ~ReportFormTest() override
    {
        if (frmErrorHand::isLoaded())
            frmErrorHand::instance().close();
        EXPECT_TRUE(QTest::qWaitFor([] { return !frmErrorHand::isLoaded(); }));
        errorShown = false;
        QDir::setCurrent(mHostDirectory);
    }

    std::string folder(const char* name) const
    {
        std::filesystem::create_directories(mFolder / name);
        return (mFolder / name).string();
    }
    // A text value of Software\Brennlow\Defaults.
    static void setSetting(const char* name, const QString& value)
    {
        fWriteValue(QStringLiteral("HKCU"), QStringLiteral("Software\\Brennlow\\Defaults"), QString::fromLatin1(name),
                    QStringLiteral("S"), value);
    }
    static void configureMail(const std::string& url)
    {
        setSetting("MailServer", QString::fromStdString(url));
        setSetting("SupportAddress", QStringLiteral("support@brennlow.example"));
    }
    static void makeFile(const QString& path, const QByteArray& content)
    {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    // Fails a procedure of `global` under the trap; the form it showed.
    static frmErrorHand& reportFailure()
    {
        failUnderTrap();
        return frmErrorHand::instance();
    }
    static void failUnderTrap()
    {
        runTrapped("global", nullptr, [] { throw platform::Failure(-2147467259, "Automation error", "sheet", 87); });
    }
    static void describe(const QString& text)
    {
        findControl<QPlainTextEdit>(&frmErrorHand::instance(), "edtWhatDoing")->setPlainText(text);
    }
    static void click(const char* button) { findControl<QPushButton>(&frmErrorHand::instance(), button)->click(); }
    static void check(const char* box, bool on) { findControl<QCheckBox>(&frmErrorHand::instance(), box)->setChecked(on); }
    static bool enabled(const char* name) { return findControl<QWidget>(&frmErrorHand::instance(), name)->isEnabled(); }
    // Clicks Close and waits until the form is gone and the restart program
    // stand-in has run; its record: working directory, then arguments.
    QStringList closeReport()
    {
        click("butClose");
        EXPECT_TRUE(QTest::qWaitFor([] { return !frmErrorHand::isLoaded(); })) << "Close did not unload the form";
        const QString record = mInstall + QStringLiteral("System/bwrestart.ran");
        return QTest::qWaitFor([&] { return QFile::exists(record); }) ? text(record).split(u'\n', Qt::SkipEmptyParts)
                                                                      : QStringList();
    }
    static QString text(const QString& file)
    {
        QFile in(file);
        return in.open(QIODevice::ReadOnly) ? QString::fromUtf8(in.readAll()) : QString();
    }
    QString log() const { return text(mInstall + QStringLiteral("Error Logs/BWError.log")); }
    static QStringList archivesIn(const QString& folder)
    {
        return QDir(folder).entryList({QStringLiteral("*.zip")}, QDir::Files);
    }
    static std::map<std::string, std::string> archive(const QString& file)
    {
        return zipContents(QFile::encodeName(file).toStdString()).value_or(std::map<std::string, std::string>{{"no zip", ""}});
    }
    // The log record of reportFailure()'s failure from its second line on:
    // all but the date and time.
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
    const QString mInstall;  // with a trailing '/'
    const QString mTempFolder;
    const QString mHostDirectory = QDir::currentPath();
};
