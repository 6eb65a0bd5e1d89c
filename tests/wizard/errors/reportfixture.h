// A small real world for the report form: an install directory (which is also
// the application directory) named by the settings, the temporary and data
// folders, all in a scratch folder; a stand-in for the restart program that
// records how it was started; and a message recorder. The form is loaded the
// way the product loads it, by the error trap.
#pragma once

#include "support/recordingmessages.h"
#include "support/scratchfolder.h"
#include "support/tempsettings.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>

class frmErrorHand;

class ReportFormTest : public testing::Test {
protected:
    ReportFormTest();
    ~ReportFormTest() override;

    // A text value of Software\Brennlow\Defaults.
    void setSetting(const char* name, const QString& value);
    // Mail goes to the server at `url`.
    void configureMail(const std::string& url);
    static void makeFile(const QString& path, const QByteArray& content);

    // Fails a procedure of `global` under the trap (-2147467259 "Automation
    // error" from "sheet", last platform error 87); the form it showed.
    static frmErrorHand& reportFailure();
    void describe(const QString& text);
    void click(const char* button);
    void check(const char* box, bool checked);
    bool enabled(const char* control);
    // Clicks Close and waits until the form is gone and the restart program
    // stand-in has run; its record: working directory, then arguments.
    QStringList closeReport();

    static QString text(const QString& file);
    QString log() const { return text(mInstall + QStringLiteral("Error Logs/BWError.log")); }
    // The zip archives in `folder`; an archive's entries by name.
    static QStringList archivesIn(const QString& folder);
    static std::map<std::string, std::string> archive(const QString& file);
    // The log record of reportFailure()'s failure from its second line on:
    // all but the date and time.
    static QString recordAfterDate(const QString& procedure, const QString& description);

    ScratchFolder mFolder;
    ScopedEnvironment mTemp;
    ScopedEnvironment mData;
    TempSettings mSettings;
    RecordingMessages mMessages;
    QString mInstall;  // with a trailing '/'
    QString mTempFolder;
    QString mHostDirectory;
};
