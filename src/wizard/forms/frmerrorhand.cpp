#include "wizard/forms/frmerrorhand.h"

#include "wizard/errors/reportfiles.h"
#include "wizard/errors/reportmail.h"
#include "wizard/errors/screencapture.h"
#include "platform/services/smtpmail.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>

frmErrorHand::frmErrorHand()
{
    setObjectName(QStringLiteral("frmErrorHand"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Unexpected Error"));
    buildForm();
    Form_Load();
}

void frmErrorHand::Form_Load()
{
    mHostDirectory = QDir::currentPath();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    // The failing window is still up: the trap loads the form before it
    // closes that window, so the picture shows the moment of failure.
    Image1->setPixmap(captureScreen());
    appDirectory = report::applicationDirectory();
    saveScreenshot();
    QApplication::restoreOverrideCursor();
    butEMail->setDefault(true);

    platform::SmtpSession session(report::mailAccount());
    if (!session.signOn()) {
        enableMailOptions(false);
        return;
    }
    session.signOff();
    enableMailOptions(true);
    mailSent = false;
}

void frmErrorHand::saveScreenshot()
{
    // Without an application directory the picture would land in whatever
    // the current directory is, where nothing ever looks for it.
    if (appDirectory.isEmpty())
        return;
    QDir().mkdir(appDirectory + report::kErrorLogs);
    // A picture that cannot be saved is simply not attached later.
    Image1->pixmap().save(appDirectory + report::kErrorLogs + report::kScreenshot, "BMP");
}

void frmErrorHand::buildForm()
{
    auto label = [this](const char* name, const QString& text) {
        auto* l = new QLabel(text, this);
        l->setObjectName(QString::fromLatin1(name));
        l->setWordWrap(true);
        return l;
    };
    Label1 = label("Label1", QStringLiteral("An unexpected application error has occurred. In order to correct "
                                            "the error, we need to restart Excel."));
    lblDetails = label("lblDetails", {});
    lblDetails->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lblWhatDoing = label("lblWhatDoing", QStringLiteral("Please enter a description of what you where doing at "
                                                        "the time of the error."));
    edtWhatDoing = new QPlainTextEdit(this);
    edtWhatDoing->setObjectName(QStringLiteral("edtWhatDoing"));
    chkAttachScreen = new QCheckBox(QStringLiteral("Attach screen image"), this);
    chkAttachScreen->setObjectName(QStringLiteral("chkAttachScreen"));
    chkAttachScreen->setChecked(true);
    chkEmailStore = new QCheckBox(QStringLiteral("Attach supporting files"), this);
    chkEmailStore->setObjectName(QStringLiteral("chkEmailStore"));
    chkEmailStore->setChecked(true);
    lblInfo = label("lblInfo", QStringLiteral("Attaching supporting files will enable us to more easily reproduce "
                                              "and correct this error. These files do not contain any of the data "
                                              "you have stored in your cubes."));
    butEMail = new QPushButton(QStringLiteral("E-Mail Error Report to Brennlow"), this);
    butEMail->setObjectName(QStringLiteral("butEMail"));
    butEMail->setDefault(true);
    butClose = new QPushButton(QStringLiteral("Close Excel"), this);
    butClose->setObjectName(QStringLiteral("butClose"));
    Label2 = label("Label2", QStringLiteral("You will be given the opportunity to save any open workbooks before "
                                            "the restart."));
    Image1 = label("Image1", {});
    Image1->hide();   // holds the screen picture; the report carries it, the form does not show it
    Image2 = label("Image2", {});
    Image2->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxCritical).pixmap(32, 32));
    Image3 = label("Image3", {});
    Image3->setPixmap(style()->standardIcon(QStyle::SP_DialogApplyButton).pixmap(16, 16));

    auto* grid = new QGridLayout(this);
    grid->addWidget(Image2, 0, 0, Qt::AlignTop);
    grid->addWidget(Label1, 0, 1, 1, 2);
    grid->addWidget(lblDetails, 1, 1, 1, 2);
    grid->addWidget(lblWhatDoing, 2, 1, 1, 2);
    grid->addWidget(edtWhatDoing, 3, 1, 1, 2);
    grid->addWidget(chkAttachScreen, 4, 1);
    grid->addWidget(chkEmailStore, 4, 2);
    grid->addWidget(Image3, 5, 0, Qt::AlignTop);
    grid->addWidget(lblInfo, 5, 1, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(butEMail);
    buttons->addStretch();
    buttons->addWidget(butClose);
    grid->addLayout(buttons, 6, 1, 1, 2);
    grid->addWidget(Label2, 7, 1, 1, 2);
    connect(butEMail, &QPushButton::clicked, this, &frmErrorHand::butEMail_Click);
    connect(butClose, &QPushButton::clicked, this, &frmErrorHand::butClose_Click);
    resize(520, 420);
}

void frmErrorHand::enableMailOptions(bool aFlag)
{
    chkEmailStore->setEnabled(aFlag);
    lblInfo->setEnabled(aFlag);
    chkAttachScreen->setEnabled(aFlag);
    Image3->setEnabled(aFlag);
    butEMail->setEnabled(aFlag);
}

void frmErrorHand::refreshDetails()
{
    lblDetails->setText(QStringLiteral("%1 (%2)\n%3\nin %4: %5")
                            .arg(errDescription, QString::number(errNumber), errSource, errModule,
                                 errProcedure));
}

void frmErrorHand::showReport()
{
    refreshDetails();
    QWidget* modal = QApplication::activeModalWidget();
    if (modal && modal != this && !isVisible()) {
        // A modeless window would sit unusable behind the modal one.
        setWindowModality(Qt::ApplicationModal);
        exec();
        return;
    }
    show();
    raise();
    activateWindow();
}
