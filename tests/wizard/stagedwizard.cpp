#include "stagedwizard.h"

#include "support/controls.h"
#include "widgets/nxcubeselectorctrl.h"

#include <QPushButton>

QString StagedWizard::appPathOfSelector() const
{
    return findChild<NxCubeSelectorCtrl*>(QStringLiteral("NxCubeSelectorCtrl1"))->selectorAppPath();
}

void StagedWizard::arrangeDimensions(const QStringList& rows, const QStringList& columns)
{
    findControl<QListWidget>(this, "lstCubeDetails", 2)->addItems(rows);
    findControl<QListWidget>(this, "lstCubeDetails", 3)->addItems(columns);
}

// Copies the Rows or Columns area into its member-step list and selects the
// first entry, as the real loader does for a fresh list; selecting opens that
// dimension, which makes it the dimension being edited.
void StagedWizard::LoadDimensionDetails(quint8 dimType)
{
    QListWidget* target = findControl<QListWidget>(this, "lstCubeOptions", dimType);
    QListWidget* source = findControl<QListWidget>(this, "lstCubeDetails", dimType == 1 ? 2 : 3);
    target->clear();
    for (int i = 0; i < source->count(); ++i)
        target->addItem(source->item(i)->text());
    if (target->count() > 0) {
        target->setCurrentRow(0);
        currentDimensionName = target->item(0)->text();
    }
}

void StagedWizard::goToStep(int step)
{
    QPushButton* next = findControl<QPushButton>(this, "butCommand", 1);
    while (currentStep() < step) {
        const qint16 before = currentStep();
        next->click();
        if (currentStep() == before)
            return;  // a step refused; the test's own checks will tell
    }
}
