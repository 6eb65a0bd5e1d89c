// The wizard with its cube step's procedures and state within reach of
// tests, and a fixture that shows the cube selection step over a store
// folder of real cube files in a scratch folder.
#pragma once

#include "wizard/control/nxpivotwizardctrl.h"
#include "support/recordingmessages.h"
#include "support/scratchfolder.h"
#include "support/tempsettings.h"

#include <gtest/gtest.h>

class CubeWizard : public NxPivotWizardCtrl {
public:
    using NxPivotWizardCtrl::NxPivotWizardCtrl;

    using NxPivotWizardCtrl::CheckForCubFile;
    using NxPivotWizardCtrl::CheckValidFileSelected;
    using NxPivotWizardCtrl::ClearInputBoxes;
    using NxPivotWizardCtrl::GetCube;
    using NxPivotWizardCtrl::LoadCubeDetails;
    using NxPivotWizardCtrl::LoadDimensionDetails;
    using NxPivotWizardCtrl::LoadKCubeDetails;
    using NxPivotWizardCtrl::LoadMeasureDetails;

    using NxPivotWizardCtrl::cubeFilePath;
    using NxPivotWizardCtrl::cubeSourceKind;
    using NxPivotWizardCtrl::currentDimensionName;
    using NxPivotWizardCtrl::lastDriveIndex;
    using NxPivotWizardCtrl::loadedCube;
    using NxPivotWizardCtrl::loadedKCube;
    using NxPivotWizardCtrl::loadedKind;
    using NxPivotWizardCtrl::loadedPath;
    using NxPivotWizardCtrl::loadedServerKey;
    using NxPivotWizardCtrl::measuresDimensionName;
    using NxPivotWizardCtrl::measuresInLayout;
    using NxPivotWizardCtrl::NxDimEditCols;
    using NxPivotWizardCtrl::NxDimEditMembers;
    using NxPivotWizardCtrl::NxDimEditRows;
    using NxPivotWizardCtrl::providerConnectionName;
    using NxPivotWizardCtrl::sourceCatalog;
    using NxPivotWizardCtrl::sourceCube;
    using NxPivotWizardCtrl::sourceLocation;
    using NxPivotWizardCtrl::sourceProvider;
    using NxPivotWizardCtrl::storeCatalogName;
    using NxPivotWizardCtrl::storeCubeName;
};

class NxCubeSelectorCtrl;
class QListWidget;

class CubeStep : public testing::Test {
protected:
    // The application path lies in the store folder; the wizard shows the
    // cube selection step.
    CubeStep();
    ~CubeStep() override;

    // The path of `name` in the store folder.
    QString storePath(const QString& name) const;
    // Copies a file of the sample store into the store folder, replacing
    // what was there.
    void copySample(const QString& fileName) const;
    // Replaces (or makes) the store folder's file `name` with bytes that no
    // reader takes.
    void damage(const QString& name) const;
    // The .BWC files in the store folder.
    QStringList bwcFiles() const;

    NxCubeSelectorCtrl* selector();
    void chooseStoreCube(const QString& name);
    void chooseCubeFile(const QString& path);
    void chooseServerCube(const QString& server, const QString& catalog, const QString& cube,
                          const QString& provider = QStringLiteral("MSOLAP.2"));
    // Clicks the button butCommand(index); true when the step changed.
    bool click(int index);
    bool next() { return click(1); }
    // The entries of lstCubeDetails(index) or lstCubeOptions(index).
    QListWidget* details(int index);
    QListWidget* options(int index);
    QStringList area(int index);
    // True when the last procedure failure reached the error trap.
    static bool trapped();

    TempSettings settings;
    RecordingMessages messages;
    ScratchFolder store;
    CubeWizard wizard;

private:
    QString mWorkingFolder;
};

// The texts of a list's entries, in order.
QStringList entries(const QListWidget* list);
