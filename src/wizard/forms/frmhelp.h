// frmHelp: the help window of the wizard ("BW Gridworks - Help"). One shared
// instance per process, modeless and without an owner window, so the wizard
// stays usable while it is open; it opens centred on the wizard.
//
// The wizard's help button fills the three public fields and shows the form:
//
//     frmHelp& f = frmHelp::instance();
//     f.wizardNumber = 5; f.stepNumber = 1; f.ownerControl = this;
//     f.show(); f.raise(); f.activateWindow();
//
// Each activation hands wizardNumber and stepNumber to the help control
// NxHelpCtrl1. The help control's Hot Tip and Done are reported back to
// ownerControl (hotTipSet(1), hotTipEnd(1)); Done also closes the form.
// "Unloading" the form is closing it: it is then destroyed, and the next
// instance() creates a new one.
//
// Every handler runs under the error trap with module "frmHelp"; a failure
// closes this form.
#pragma once

#include "wizard/forms/sharedform.h"

#include <QPointer>
#include <QWidget>

class NxHelpCtrl;
class NxPivotWizardCtrl;

class frmHelp : public QWidget, public SharedForm<frmHelp> {
    Q_OBJECT
    friend class SharedForm<frmHelp>;

public:
    // instance() and isLoaded() come from SharedForm.

    // Identifies the wizard to the help control; the PivotTable wizard sets 5.
    qint16 wizardNumber = 0;
    // The help topic within the wizard; the PivotTable wizard sets 1.
    qint16 stepNumber = 0;
    // The control that opened the form; null when the form is not in use. A
    // weak reference: the form never keeps the control alive, and a control
    // destroyed while the help is open simply gets no more calls.
    QPointer<NxPivotWizardCtrl> ownerControl;

    // The help control, owned by the form.
    NxHelpCtrl* const NxHelpCtrl1;

    // Runs whenever the window becomes active. After a trapped failure
    // (errorShown set) it only clears errorShown; otherwise it writes
    // wizardNumber to NxHelpCtrl1's helpWizard and stepNumber to its helpStep.
    void Form_Activate();

protected:
    bool event(QEvent* event) override;
    // Closing by any means, the close box included, unloads the form; it is
    // never refused.
    void closeEvent(QCloseEvent* event) override;
    // Each time it is shown, the form lies centred on ownerControl's window,
    // moved onto the screen where that would leave it partly off.
    void showEvent(QShowEvent* event) override;

private:
    frmHelp();
    void Form_Unload();
    void NxHelpCtrl1_hotTipCalled(qint16 wizard, qint16 step);
    void NxHelpCtrl1_wizardResult(bool result);

    static constexpr const char* kModule = "frmHelp";
};
