// A small real world for the report form: an install directory (which is
// also the application directory) in a scratch folder, named by the
// settings; the temporary and data folders inside the scratch folder; a
// stand-in for the restart program that records how it was started; and a
// message recorder. The form is loaded the way the product loads it, by the
// error trap.
#pragma once

#include "support/recordingmessages.h"
#include "support/scratchfolder.h"
#include "support/tempsettings.h"

#include <QString>
#include <QStringList>
#include <QTest>

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>

class frmErrorHand;

class ReportFormTest : public testing::Test {
protected:
    ReportFormTest();
    ~ReportFormTest() override;

    // The failure every test reports.
    static constexpr qint32 kNumber = -2147467259;
    static constexpr qint32 kLastDllError = 87;

    // Writes a text value of Software\Brennlow\Defaults.
    void setSetting(const char* name, const QString& value);
    // Sets the settings so that mail goes to the server at `url`.
    void configureMail(const std::string& url);
    // Makes a file of the given content, creating its folders.
    void makeFile(const QString& path, const QByteArray& content);

    // Fails a procedure under the trap, which shows the form.
    static void failUnderTrap();
    // failUnderTrap(), then the form it showed (modeless).
    frmErrorHand& reportFailure();
    void describe(const QString& text);
    void click(const char* button);
    void check(const char* box, bool checked);
    bool enabled(const char* control);

    // Clicks Close and waits until the restart program stand-in has run.
    void closeReport();
    // The stand-in's record: its working directory, then its arguments.
    QStringList restartRecord();

    QString text(const QString& file) const;
    // The zip archives in `folder`, by name.
    QStringList archivesIn(const QString& folder) const;
    std::optional<std::map<std::string, std::string>> archive(const QString& file) const;

    // The log record of the failure reportFailure() reports, as the form
    // writes it, from its second line on: every line but the date and time,
    // which tests compare separately.
    QString expectedRecordAfterDate(const QString& procedure, const QString& description) const;

    ScratchFolder mFolder;
    ScopedEnvironment mTemp;
    ScopedEnvironment mData;
    TempSettings mSettings;
    RecordingMessages mMessages;
    QString mInstall;   // with a trailing '/'
    QString mTempFolder;
    QString mHostDirectory;
};
