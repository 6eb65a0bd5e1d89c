// Loading the chosen cube's metadata into the design lists, and copying the
// layout into the lists of the member steps.
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
