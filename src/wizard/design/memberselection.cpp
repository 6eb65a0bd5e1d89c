// The member selection steps.
#include "control/nxpivotwizardctrl.h"

#include "errors/notavailable.h"

bool NxPivotWizardCtrl::checkMembersAreSelected(const QString&)
{
    bool result = false;
    trap([&] { failNotAvailable("checkMembersAreSelected"); });
    return result;
}
