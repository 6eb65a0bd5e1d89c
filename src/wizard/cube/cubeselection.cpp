// The cube selection step: validating the user's choice of cube and loading
// the chosen cube's metadata into the design lists.
#include "control/nxpivotwizardctrl.h"

#include "errors/notavailable.h"
#include "widgets/diskbrowser.h"

#include <QComboBox>

bool NxPivotWizardCtrl::CheckValidFileSelected()
{
    bool result = false;
    trap([&] { failNotAvailable("CheckValidFileSelected"); });
    return result;
}

bool NxPivotWizardCtrl::LoadCubeDetails()
{
    bool result = false;
    trap([&] { failNotAvailable("LoadCubeDetails"); });
    return result;
}

bool NxPivotWizardCtrl::LoadKCubeDetails()
{
    bool result = false;
    trap([&] { failNotAvailable("LoadKCubeDetails"); });
    return result;
}

void NxPivotWizardCtrl::cmbCubeFileTypes_Click()
{
    trap([&] {
        static const char* const patterns[] = {"*.cub", "*.BWC", "*.cub;*.BWC"};
        const int index = cmbCubeFileTypes->currentIndex();
        if (index >= 0 && index < 3)
            FileCube->setPattern(QString::fromLatin1(patterns[index]));
    });
}
