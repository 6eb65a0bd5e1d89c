// The help button: opens the shared help form on the wizard's help.
#include "wizard/control/nxpivotwizardctrl.h"

#include "wizard/forms/frmhelp.h"

void NxPivotWizardCtrl::butHelp_Click(int)
{
    trap([&] {
        frmHelp& help = frmHelp::instance();
        help.wizardNumber = 5;
        help.stepNumber = 1;
        help.ownerControl = this;
        // Modeless and without an owner window: the wizard stays usable.
        help.show();
        help.raise();
        help.activateWindow();
    });
}
