// frmErrorHand: the report form that the error trap fills and shows after an
// unexpected failure. One shared instance per process.
//
// Loading (creating the instance, which the trap does before it closes the
// failing window) takes a picture of the screen and saves it as
// "Error Logs/screenShot.bmp" in the application directory, and signs on to
// the mail server: the e-mail group is enabled only when that works.
//
// E-Mail packs the chosen files (screenshot, supporting file) into a zip
// archive and mails it with the failure's details to the support address.
// Close appends the error record to the log, leaves an archive with the log
// for the user to send (unless the report was mailed), starts the restart
// program and unloads the form. Closing the window any other way does none of
// that. Directories and the mail account come from the settings (see
// errors/reportfiles.h and errors/reportmail.h).
//
// Nothing in these handlers reaches the error trap: a file that cannot be
// written or a mail server that fails is told to the user, and the record is
// never lost while any log can be written.
#pragma once

#include "wizard/forms/sharedform.h"

#include <QDialog>
#include <QString>

#include <string>

class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace platform {
struct ErrorRecord;
class SmtpSession;
}

class frmErrorHand : public QDialog, public SharedForm<frmErrorHand> {
    Q_OBJECT
    friend class SharedForm<frmErrorHand>;

public:
    // instance() and isLoaded() come from SharedForm.

    // Filled by the error trap, in this order.
    QString errModule;
    QString errProcedure;
    QString errDescription;
    qint32 errNumber = 0;
    QString errSource;
    qint32 errLastDllError = 0;
    // Set by the form itself: the application directory (with a trailing
    // '/', or empty), and whether the report was mailed.
    QString appDirectory;
    bool mailSent = false;

    // Shows the recorded failure: modeless, or modally when another modal
    // window is up (then it returns only when the form is closed).
    void showReport();

    // Sets the enabled state of the e-mail group, in this order:
    // chkEmailStore, lblInfo, chkAttachScreen, Image3, butEMail.
    void enableMailOptions(bool aFlag);

private:
    frmErrorHand();
    void buildForm();
    void refreshDetails();

    void Form_Load();
    void saveScreenshot();
    void butEMail_Click();
    void butClose_Click();

    // False, after asking for it, when the user has not described anything.
    bool descriptionGiven();
    platform::ErrorRecord errorRecord() const;
    // Appends the record; returns the log that holds it, or empty.
    QString writeErrorLog(const QString& installDirectory);
    // Makes the archive the user is asked to send, with the log `logFile`.
    void leaveArchiveForTheUser(const QString& installDirectory, const QString& logFile);
    // Packs and mails the report through the signed-on `session`, and tells
    // the user how that went.
    void mailReport(platform::SmtpSession& session);
    // The files the check boxes choose (none unless `anyFiles`), the
    // screenshot taken from `screenshotDirectory`'s "Error Logs".
    QStringList chosenFiles(bool anyFiles, const QString& screenshotDirectory) const;
    // Writes a new report archive of those `files` that exist and names the
    // others to the user. Returns the archive, or empty after telling the
    // user why there is none.
    QString packReport(const QStringList& files);

    QLabel* Label1 = nullptr;
    QLabel* lblDetails = nullptr;
    QLabel* lblWhatDoing = nullptr;
    QPlainTextEdit* edtWhatDoing = nullptr;
    QCheckBox* chkAttachScreen = nullptr;
    QCheckBox* chkEmailStore = nullptr;
    QLabel* lblInfo = nullptr;
    QPushButton* butEMail = nullptr;
    QPushButton* butClose = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Image1 = nullptr;
    QLabel* Image2 = nullptr;
    QLabel* Image3 = nullptr;

    // The host's working directory when the failure happened, where the
    // restarted host starts again.
    QString mHostDirectory;
};
