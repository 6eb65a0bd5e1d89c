// A wizard whose cube, design and build procedures are stood in for, so that
// tests of the step machine can put each step into the state they need.
#pragma once

#include "wizard/control/nxpivotwizardctrl.h"

#include <QListWidget>

class StagedWizard : public NxPivotWizardCtrl {
public:
    using NxPivotWizardCtrl::NxPivotWizardCtrl;

    // What the stand-ins answer.
    bool cubeValid = true;
    bool cubeLoads = true;
    int measuresChosen = 1;
    bool membersChosen = true;
    bool buildSucceeds = true;
    quint8 sourceKind = 2;

    // What the stand-ins were asked.
    int storeLoads = 0, fileLoads = 0, builds = 0, workbookReads = 0;
    QStringList membersChecked;

    QString dimensionName() const { return currentDimensionName; }
    void setMeasuresDimension(const QString& name) { measuresDimensionName = name; }
    QString appPathOfSelector() const;
    // Fills the Rows and Columns areas so the layout step can be left.
    void arrangeDimensions(const QStringList& rows, const QStringList& columns);
    // Walks Next until `step` is shown; requires the stand-ins to agree.
    void goToStep(int step);

protected:
    bool CheckValidFileSelected() override
    {
        cubeSourceKind = sourceKind;
        return cubeValid;
    }
    bool LoadCubeDetails() override { return ++storeLoads, cubeLoads; }
    bool LoadKCubeDetails() override { return ++fileLoads, cubeLoads; }
    void LoadMeasureDetails() override {}
    void LoadDimensionDetails(quint8 dimType) override;
    bool checkMembersAreSelected(const QString& aDimension) override
    {
        membersChecked << aDimension;
        return membersChosen;
    }
    void GetActiveWorkbookDetails() override { ++workbookReads; }
    bool CreatePivot() override { return ++builds, buildSucceeds; }
    int chosenMeasureCount() override { return measuresChosen; }
};
