// The cube choice a host reads after a report and offers again next time.
#include "wizard/control/nxpivotwizardctrl.h"

#include "widgets/nxcubeselectorctrl.h"

NxPivotWizardCtrl::CubeChoice NxPivotWizardCtrl::cubeChoice() const
{
    CubeChoice choice;
    const_cast<NxPivotWizardCtrl*>(this)->trap([&] {
        choice.kind = cubeSourceKind;
        choice.cube = sourceCube;
        choice.server = sourceLocation;
        choice.catalog = sourceCatalog;
        choice.provider = sourceProvider;
        if (loadedCube || loadedKCube)
            choice.cubeName = pivotCubeName();
    });
    return choice;
}

void NxPivotWizardCtrl::offerCubeChoice(const CubeChoice& choice)
{
    trap([&] {
        if (choice.kind != NxCubeSelectorCtrl::StoreCube && choice.kind != NxCubeSelectorCtrl::LocalCubeFile
            && choice.kind != NxCubeSelectorCtrl::ServerCube)
            return;
        // The store is listed from the application folder, which the
        // selector otherwise learns only when the welcome step is left.
        if (NxCubeSelectorCtrl1->selectorAppPath().isEmpty())
            SetUpConnectionDialog();
        NxCubeSelectorCtrl1->setSelectorSourceType(choice.kind);
        if (choice.kind == NxCubeSelectorCtrl::ServerCube) {
            NxCubeSelectorCtrl1->setSelectorServer(choice.server);
            NxCubeSelectorCtrl1->setSelectorProvider(choice.provider);
            NxCubeSelectorCtrl1->setSelectorCatalog(choice.catalog);
        }
        NxCubeSelectorCtrl1->setSelectorCubeName(choice.cube);
    });
}
