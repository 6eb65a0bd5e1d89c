#include "wizard/forms/frmhelp.h"

#include "wizard/control/nxpivotwizardctrl.h"
#include "wizard/forms/placement.h"
#include "wizard/errors/errortrap.h"
#include "widgets/nxhelpctrl.h"

#include <QCloseEvent>
#include <QEvent>
#include <QShowEvent>
#include <QVBoxLayout>

frmHelp::frmHelp() : NxHelpCtrl1(new NxHelpCtrl(this))
{
    setObjectName(QStringLiteral("frmHelp"));
    setAttribute(Qt::WA_DeleteOnClose);
    // The help accompanies the host window; it must not keep the application
    // running once the host is gone.
    setAttribute(Qt::WA_QuitOnClose, false);
    setWindowTitle(QStringLiteral("BW Gridworks - Help"));

    NxHelpCtrl1->setObjectName(QStringLiteral("NxHelpCtrl1"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(NxHelpCtrl1);
    connect(NxHelpCtrl1, &NxHelpCtrl::hotTipCalled, this, &frmHelp::NxHelpCtrl1_hotTipCalled);
    connect(NxHelpCtrl1, &NxHelpCtrl::wizardResult, this, &frmHelp::NxHelpCtrl1_wizardResult);
    resize(640, 440);
}

bool frmHelp::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate)
        Form_Activate();
    return QWidget::event(event);
}

void frmHelp::closeEvent(QCloseEvent* event)
{
    Form_Unload();
    event->accept();
}

void frmHelp::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        centreOnWindow(this, ownerControl.data());
}

void frmHelp::Form_Activate()
{
    runTrapped(kModule, this, [this] {
        // This activation is the report form closing, not the user coming
        // back to the help: leave the topic the user was reading alone.
        if (errorShown) {
            errorShown = false;
            return;
        }
        NxHelpCtrl1->setHelpWizard(wizardNumber);
        NxHelpCtrl1->setHelpStep(stepNumber);
    });
}

void frmHelp::Form_Unload()
{
    runTrapped(kModule, this, [this] { ownerControl = nullptr; });
}

void frmHelp::NxHelpCtrl1_hotTipCalled(qint16 /*wizard*/, qint16 /*step*/)
{
    runTrapped(kModule, this, [this] {
        if (ownerControl)
            ownerControl->hotTipSet(1);
    });
}

void frmHelp::NxHelpCtrl1_wizardResult(bool /*result*/)
{
    runTrapped(kModule, this, [this] {
        if (ownerControl)
            ownerControl->hotTipEnd(1);
        ownerControl = nullptr;
        close();
    });
}
