// The dimension layout and member selection steps.
#include "control/nxpivotwizardctrl.h"

#include "errors/notavailable.h"

void NxPivotWizardCtrl::LoadMeasureDetails()
{
    trap([&] { failNotAvailable("LoadMeasureDetails"); });
}

void NxPivotWizardCtrl::LoadDimensionDetails(quint8)
{
    trap([&] { failNotAvailable("LoadDimensionDetails"); });
}

bool NxPivotWizardCtrl::checkMembersAreSelected(const QString&)
{
    bool result = false;
    trap([&] { failNotAvailable("checkMembersAreSelected"); });
    return result;
}
