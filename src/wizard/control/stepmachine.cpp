// The step machine: the four command buttons, moving between the seven
// steps, and the validation and loading work of the step being left.
#include "wizard/control/nxpivotwizardctrl.h"

#include "widgets/nxcubeselectorctrl.h"
#include "widgets/nxdimeditctrl.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QStackedWidget>

#include <algorithm>
#include <cstdlib>

namespace {

// The hourglass for as long as a step change runs, whatever way it ends.
class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

constexpr int kBack = 0, kNext = 1, kFinish = 2, kCancel = 3;
constexpr qint16 kLastStep = 6;

}  // namespace

void NxPivotWizardCtrl::butCommand_Click(int Index)
{
    trap([&] {
        switch (Index) {
        case kBack:
        case kNext:
            suspendRedraw();
            ChangeWizardStep(Index);
            resumeRedraw();
            break;
        case kFinish:
            if (!finishRemainingSteps())
                return;
            // The layout step is what the user sees behind the wait form
            // while the report is built, not the step Finish was pressed on.
            bringToFront(mCurrentStep);
            resumeRedraw();
            if (CreatePivot())
                Q_EMIT PivotResult(true);
            else
                bringToFront(mCurrentStep);
            resumeRedraw();
            break;
        case kCancel:
            Q_EMIT PivotResult(false);
            break;
        }
    });
}

// Walks forward through every step before the layout step with the same
// validations as Next. False when a step refused: its frame is shown again.
bool NxPivotWizardCtrl::finishRemainingSteps()
{
    if (mCurrentStep >= kLastStep)
        return true;
    suspendRedraw();
    finishing = true;
    while (mCurrentStep <= kLastStep - 1) {
        const qint16 before = mCurrentStep;
        ChangeWizardStep(kNext);
        if (mCurrentStep == before) {
            bringToFront(mCurrentStep);
            resumeRedraw();
            finishing = false;
            return false;
        }
    }
    finishing = false;
    return true;
}

void NxPivotWizardCtrl::ChangeWizardStep(int Index)
{
    trap([&] {
        const WaitCursor hourglass;
        const qint16 oldStep = mCurrentStep;
        if (Index != 0)
            stepForward();
        else
            stepBack();
        if (mCurrentStep != oldStep) {
            Q_EMIT wizardStep(stepTitles[mCurrentStep + 1], static_cast<qint16>(mCurrentStep + 1));
            if (!finishing)
                bringToFront(mCurrentStep);
            setStep(mCurrentStep);
            updateCommandButtons();
        }
    });
}

void NxPivotWizardCtrl::stepForward()
{
    switch (mCurrentStep) {
    case 0:
        if (NxCubeSelectorCtrl1->selectorAppPath().isEmpty())
            SetUpConnectionDialog();
        mCurrentStep = 1;
        break;
    case 1: leaveCubeStep(); break;
    case 2: leaveLayoutStep(); break;
    case 3: leaveMeasuresStep(); break;
    case 4: leaveRowMembersStep(); break;
    case 5: leaveColumnMembersStep(); break;
    default: break;  // nothing lies beyond the layout step
    }
}

void NxPivotWizardCtrl::leaveCubeStep()
{
    if (!CheckValidFileSelected())
        return;
    if (cubeSourceKind == NxCubeSelectorCtrl::StoreCube) {
        loadedKind = NxCubeSelectorCtrl::StoreCube;
        loadedServerKey.clear();
        loadedPath.clear();
        loadedKCube.reset();
        if (LoadCubeDetails())
            mCurrentStep = 2;
        return;
    }
    if (LoadKCubeDetails())
        mCurrentStep = 2;
    loadedCube.reset();  // only one cube model is held at a time
}

void NxPivotWizardCtrl::leaveLayoutStep()
{
    if (lstCubeDetails[kRowsList]->count() == 0 || lstCubeDetails[kColumnsList]->count() == 0) {
        showCatalogueMessage(50007, QString(), QStringLiteral("Dimensions required"), MessageIcon::Exclamation);
        return;
    }
    LoadMeasureDetails();
    mCurrentStep = 3;
}

void NxPivotWizardCtrl::leaveMeasuresStep()
{
    if (chosenMeasureCount() == 0) {
        showCatalogueMessage(50006, measuresDimensionName, QStringLiteral("Measures required"),
                             MessageIcon::Exclamation);
        return;
    }
    currentDimensionName = selectedEntry(lstCubeOptions[1]);
    LoadDimensionDetails(1);
    mCurrentStep = 4;
}

void NxPivotWizardCtrl::leaveRowMembersStep()
{
    const bool valid = currentDimensionName.isEmpty() || checkMembersAreSelected(currentDimensionName);
    if (!valid)
        return;
    currentDimensionName = selectedEntry(lstCubeOptions[2]);
    LoadDimensionDetails(2);
    mCurrentStep = 5;
}

void NxPivotWizardCtrl::leaveColumnMembersStep()
{
    const bool valid = currentDimensionName.isEmpty() || checkMembersAreSelected(currentDimensionName);
    if (valid) {
        GetActiveWorkbookDetails();
        mCurrentStep = 6;
    }
    // The layout step's read-outs are brought in step whether or not it was reached.
    chkDps_Click();
    lblDps->setText(QString::number(std::abs(dpscrllbr->value())));
}

void NxPivotWizardCtrl::stepBack()
{
    if (mCurrentStep == 0)
        return;
    --mCurrentStep;
    if (mCurrentStep == 4)
        currentDimensionName = selectedEntry(lstCubeOptions[1]);
    else if (mCurrentStep == 5)
        currentDimensionName = selectedEntry(lstCubeOptions[2]);
    else
        currentDimensionName.clear();
}

// A hook for every step change; it has nothing to do.
void NxPivotWizardCtrl::setStep(qint16) {}

void NxPivotWizardCtrl::updateCommandButtons()
{
    butCommand[kBack]->setEnabled(mCurrentStep != 0);
    butCommand[kNext]->setEnabled(mCurrentStep != kLastStep);
    butCommand[kFinish]->setEnabled(mCurrentStep != 0);
    butCommand[kCancel]->setEnabled(true);
    showDefaultButton();
}

void NxPivotWizardCtrl::showDefaultButton()
{
    const bool nextIsDefault = butCommand[kNext]->isEnabled();
    butCommand[kNext]->setDefault(nextIsDefault);
    butCommand[kFinish]->setDefault(!nextIsDefault);
}

// Keys reach the control when the control that has the focus leaves them:
// an open list or menu closes itself on Escape. The default button is kept
// here rather than by the buttons: outside a dialog, a button that loses the
// focus stops being the default one.
void NxPivotWizardCtrl::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (plain && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
        auto* focused = qobject_cast<QPushButton*>(QApplication::focusWidget());
        const bool commandFocused = std::find(butCommand.begin(), butCommand.end(), focused) != butCommand.end();
        QPushButton* pressed = commandFocused ? focused : butCommand[kNext]->isEnabled() ? butCommand[kNext] : butCommand[kFinish];
        if (pressed->isEnabled()) {
            pressed->click();
            return;
        }
    } else if (plain && key == Qt::Key_Escape && butCommand[kCancel]->isEnabled()) {
        butCommand[kCancel]->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

void NxPivotWizardCtrl::bringToFront(int step) { frameStack->setCurrentWidget(fralayout[step]); }

// The frame switch and the list reloads of a step change appear at once.
void NxPivotWizardCtrl::suspendRedraw() { setUpdatesEnabled(false); }
void NxPivotWizardCtrl::resumeRedraw() { setUpdatesEnabled(true); }

QString NxPivotWizardCtrl::selectedEntry(const QListWidget* list)
{
    const QListWidgetItem* item = list->currentItem();
    return item && item->isSelected() ? item->text() : QString();
}

int NxPivotWizardCtrl::chosenMeasureCount() { return NxDimEditMembers->checkedMemberCount(); }

void NxPivotWizardCtrl::writeLabels()
{
    trap([&] {
        const QString cr = QStringLiteral("\r");
        const auto set = [](QLabel* label, const QString& caption) { label->setText(toDisplayText(caption)); };
        set(lblStepDescription[1], QStringLiteral("This step is where you select the cube where the data for your pivot report will be taken from."));
        set(lblStepDescription[2], QStringLiteral("This step allows you to specify what dimensions you want to appear in the rows, columns") + cr + QStringLiteral("and background of the report."));
        set(lblStepDescription[3], QStringLiteral("This step  is where you select the measures to include in the pivot report."));
        set(lblStepDescription[4], QStringLiteral("This step allows you to specify which members of the row dimensions are to be included") + cr + QStringLiteral("in the report."));
        set(lblStepDescription[5], QStringLiteral("This step allows you to specify which members of the column dimensions are to be included") + cr + QStringLiteral("in the report."));
        set(lblStepDescription[6], QStringLiteral("This step is where you specify the location of the pivot report, and whether you") + cr + QStringLiteral("want a chart generated as well."));
        set(lblSelectModel[0], QStringLiteral("Select a cube from one of the computer drives.") + cr + cr + QStringLiteral("You can pick either a \".cub\" file or a \".BWC\" file."));
        set(lblSelectModel[1], QStringLiteral("Select one of the cubes in your application store."));
        set(lblReportLayout, QStringLiteral("Drag and drop the dimensions to where you would like them to appear in the report.") + cr + cr + QStringLiteral("There must be at least one dimension in each of the row and column areas but none are needed in the background area") + cr + cr + QStringLiteral("You can specify in what order the dimensions will appear in their respective areas by using the up and down arrow buttons."));
        set(lblLayoutKeys, QStringLiteral("From the keyboard: Ctrl+Right and Ctrl+Left move the selected dimension to the next or previous area (Unselected, Background, Rows, Columns); Ctrl+Up and Ctrl+Down change its order."));
        set(lblSelectMeasures, QStringLiteral("Use checkboxes to select measures.") + cr + cr + QStringLiteral("Right click in the window to the left for options."));
        set(lblSelectRows, QStringLiteral("Use checkboxes to select members.") + cr + cr + QStringLiteral("You can select other row dimensions from the drop down list at the top.") + cr + cr + QStringLiteral("Right click in window to the left for options."));
        set(lblSelectColumns, QStringLiteral("Use checkboxes to select members.") + cr + cr + QStringLiteral("You can select other column dimensions from the drop down list at the top.") + cr + cr + QStringLiteral("Right click in the window to the left for options."));
    });
}
