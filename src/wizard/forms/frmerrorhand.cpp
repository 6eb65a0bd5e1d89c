#include "frmerrorhand.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QStyle>

frmErrorHand::frmErrorHand()
{
    setObjectName(QStringLiteral("frmErrorHand"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Unexpected Error"));
    buildForm();
    // No mail transport is configured in this build, so the e-mail group
    // starts disabled; everything else works.
    enableMailOptions(false);
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
    chkEmailStore = new QCheckBox(QStringLiteral("Attach supporting files"), this);
    chkEmailStore->setObjectName(QStringLiteral("chkEmailStore"));
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
    grid->addWidget(butEMail, 6, 1);
    grid->addWidget(butClose, 6, 2);
    grid->addWidget(Label2, 7, 1, 1, 2);
    connect(butClose, &QPushButton::clicked, this, &QDialog::close);
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
