// frmErrorHand: the report form that the error trap fills and shows after an
// unexpected failure. One shared instance per process.
//
// This form shows the failure and lets the user describe what they were
// doing. Writing the error log, the screenshot, mailing the report, the report
// archive and the restart are not part of it yet: Close only closes it.
#pragma once

#include "sharedform.h"

#include <QDialog>
#include <QString>

class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

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
    // Set by the form itself.
    QString appDirectory;
    bool mailSent = false;

    // Shows the recorded failure: modeless, or modally when another modal
    // window is up (then it returns only when the form is closed).
    void showReport();

    // Sets the enabled state of the e-mail group, in the order the group is
    // laid out: chkEmailStore, lblInfo, chkAttachScreen, Image3, butEMail.
    void enableMailOptions(bool aFlag);

private:
    frmErrorHand();
    void buildForm();
    void refreshDetails();

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
};
