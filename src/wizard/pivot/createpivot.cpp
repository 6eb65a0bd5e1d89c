// The PivotTable build and the drill and hidden member tables.
#include "control/nxpivotwizardctrl.h"

#include "errors/notavailable.h"

bool NxPivotWizardCtrl::CreatePivot()
{
    bool result = false;
    trap([&] { failNotAvailable("CreatePivot"); });
    return result;
}

qint16 NxPivotWizardCtrl::numElements(const QString&)
{
    qint16 result = 0;
    trap([&] { failNotAvailable("numElements"); });
    return result;
}
