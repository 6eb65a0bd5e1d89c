// The design steps' tests: a wizard that opens small real cubes through its
// own cube step, with the design procedures and state in reach, and the
// cubes it opens.
#pragma once

#include "wizard/control/nxpivotwizardctrl.h"
#include "support/recordingmessages.h"
#include "support/scratchfolder.h"
#include "support/tempsettings.h"

#include <QListWidget>
#include <QStringList>

#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>

class NxDimEditCtrl;

// Lists read as ["a", "b"] in failure messages.
inline void PrintTo(const QStringList& list, std::ostream* out)
{
    *out << '[' << (list.isEmpty() ? std::string() : '"' + list.join(QStringLiteral("\", \"")).toStdString() + '"')
         << ']';
}

// "Design" (local cube file Design.cub, and store cube Design with the
// measures in the Rows area):
//   Time     time   Year > Quarter: 1997 (Q1, Q2), 1998 (Q3)
//   Product  other  (All Products) > Category > Item:
//                   Drinks (Cola, Juice), Food (Bread, Cake)
//   City     other  one level: Paris, Rome, Oslo
//   Channel  other  one level with one member: Web
//   Measures: Units, Amount
// Opened as a local cube file the layout starts as Rows [Product],
// Columns [Time], Background [City, Channel]; as the store cube as Rows
// [Measures], Columns [Time], Background [Product, City, Channel].
void writeDesignCube(const std::filesystem::path& file);
// Design.cub and Design.bwf in `folder`.
void writeDesignStore(const std::filesystem::path& folder);

class DesignWizard : public NxPivotWizardCtrl {
public:
    using NxPivotWizardCtrl::NxPivotWizardCtrl;

    using NxPivotWizardCtrl::GetActiveWorkbookDetails;
    using NxPivotWizardCtrl::isSheetProtected;
    using NxPivotWizardCtrl::StartCellIsValid;

    QString dimensionName() const { return currentDimensionName; }
    qint16 focusedList() const { return focusedLayoutList; }
    const std::vector<NxDimEditCtrl*>& rowEditors() const { return NxDimEditRows; }
    const std::vector<NxDimEditCtrl*>& columnEditors() const { return NxDimEditCols; }
    NxDimEditCtrl* measuresEditor() const { return NxDimEditMembers; }
};

// A shown wizard, its messages recorded and its settings in a scratch
// store, with the way to its design steps. A failure the error trap caught
// fails the test.
class DesignSteps : public testing::Test {
protected:
    DesignSteps();
    void TearDown() override;

    // Opens the local cube file `file` and goes to the dimension layout step.
    void openLocalCube(const std::filesystem::path& file);
    // Opens store cube `name` of `folder` and goes to the dimension layout step.
    void openStoreCube(const std::filesystem::path& folder, const QString& name);
    // Clicks Next until `step` is shown or a step refuses.
    void goToStep(int step);
    void clickNext();
    void clickBack();

    QListWidget* layoutList(int index) const;
    QListWidget* optionsList(int index) const;
    // The entries of a list, in order.
    static QStringList entries(const QListWidget* list);
    // The selected entry's text, empty when none is selected.
    static QString selected(const QListWidget* list);
    // Drags the selected entry of layout list `from` onto list `to`, as the
    // mouse would: a drag entering the target's viewport, then the drop.
    // Returns whether the target took the drop.
    bool drop(int from, int to);
    // Selects `name` in layout list `index`.
    void select(int index, const QString& name);

    TempSettings settings;
    RecordingMessages messages;
    ScratchFolder folder;
    DesignWizard wizard;
};
