// A wizard whose cube, design and build procedures are stood in for, so that
// tests of the step machine can put each step into the state they need.
#pragma once

#include "common/wizardtest.h"

class StagedWizard : public TestWizard {
public:
    // What the stand-ins answer.
    bool cubeValid = true, membersChosen = true, buildSucceeds = true;
    int measuresChosen = 1;
    // What the stand-ins were asked.
    int builds = 0, workbookReads = 0;
    QStringList membersChecked;

protected:
    bool CheckValidFileSelected() override { return cubeValid; }
    bool LoadCubeDetails() override { return true; }
    bool LoadKCubeDetails() override { return true; }
    void LoadMeasureDetails() override {}
    // Copies the Rows or Columns area and selects its first entry, as the real
    // loader does for a fresh list, which opens that dimension.
    void LoadDimensionDetails(quint8 dimType) override
    {
        QListWidget* target = lstCubeOptions[dimType];
        target->clear();
        target->addItems(entries(lstCubeDetails[dimType == 1 ? kRows : kColumns]));
        if (target->count() > 0) {
            target->setCurrentRow(0);
            currentDimensionName = target->item(0)->text();
        }
    }
    bool checkMembersAreSelected(const QString& aDimension) override
    {
        membersChecked << aDimension;
        return membersChosen;
    }
    void GetActiveWorkbookDetails() override { ++workbookReads; }
    bool CreatePivot() override
    {
        ++builds;
        return buildSucceeds;
    }
    int chosenMeasureCount() override { return measuresChosen; }
};
