// What the wizard's tests share: the wizard with its protected procedures and
// state in reach, a fixture holding it over fresh settings, recorded messages
// and a scratch folder, and the ways a user drives its steps and editors.
#pragma once

#include "wizard/control/nxpivotwizardctrl.h"
#include "support/controls.h"
#include "support/recordingmessages.h"
#include "support/scratchfolder.h"
#include "support/tempsettings.h"
#include "testcube.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QStringList>
#include <QToolButton>

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

class TestWizard : public NxPivotWizardCtrl {
public:
    using NxPivotWizardCtrl::NxPivotWizardCtrl;
    // Procedures.
    using NxPivotWizardCtrl::CheckValidFileSelected, NxPivotWizardCtrl::GetActiveWorkbookDetails,
        NxPivotWizardCtrl::isSheetProtected, NxPivotWizardCtrl::StartCellIsValid, NxPivotWizardCtrl::CreatePivot,
        NxPivotWizardCtrl::memberEditor, NxPivotWizardCtrl::applyMemberStates, NxPivotWizardCtrl::PivotBuild,
        NxPivotWizardCtrl::FieldMembers;
    // State.
    using NxPivotWizardCtrl::cubeFilePath, NxPivotWizardCtrl::cubeSourceKind, NxPivotWizardCtrl::currentDimensionName,
        NxPivotWizardCtrl::loadedCube, NxPivotWizardCtrl::loadedKCube, NxPivotWizardCtrl::loadedKind,
        NxPivotWizardCtrl::measuresDimensionName, NxPivotWizardCtrl::measuresInLayout, NxPivotWizardCtrl::sourceCube,
        NxPivotWizardCtrl::excelVersion;
    // Controls.
    using NxPivotWizardCtrl::NxCubeSelectorCtrl1, NxPivotWizardCtrl::DirCube, NxPivotWizardCtrl::FileCube,
        NxPivotWizardCtrl::cmbCubeFileTypes, NxPivotWizardCtrl::lstCubeDetails, NxPivotWizardCtrl::lstCubeOptions,
        NxPivotWizardCtrl::butCommand, NxPivotWizardCtrl::NxDimEditMembers,
        NxPivotWizardCtrl::NxDimEditRows, NxPivotWizardCtrl::NxDimEditCols, NxPivotWizardCtrl::cboInsertSheet,
        NxPivotWizardCtrl::cboAZ, NxPivotWizardCtrl::fraText, NxPivotWizardCtrl::chkDps, NxPivotWizardCtrl::dpscrllbr,
        NxPivotWizardCtrl::mnuCheckOptions;

    // The editor of `dimension` among the row (area 1) or column (area 2)
    // editors; null when none shows it.
    NxDimEditCtrl* editorOf(int area, const QString& dimension) const;
};

// Clicks butCommand(index); true when the step changed.
bool clickButton(TestWizard& wizard, int index);

// Areas of the dimension layout step: lstCubeDetails(index).
constexpr int kUnselected = 0, kBackground = 1, kRows = 2, kColumns = 3;
// Cube kinds of the cube selector.
constexpr int kStoreCube = 1, kCubeFile = 2, kServerCube = 4;

class WizardTest : public testing::Test {
protected:
    // The application path lies in the scratch folder, so that store cubes
    // written there are the store's.
    WizardTest();
    ~WizardTest() override;
    // A failure that reached the error trap fails the test unless the test
    // took it with trapped().
    void TearDown() override;

    // True when the error trap showed its report since the last call; closes it.
    bool trapped();
    // `name` in the scratch folder; the folder itself for "".
    QString path(const std::string& name) const
    {
        return QString::fromStdString((name.empty() ? folder.path() : folder / name).string());
    }

    bool click(int index) { return clickButton(wizard, index); }
    bool next() { return click(1); }
    // Clicks Next until `step` is shown or a step refuses.
    void goToStep(int step);
    // Chooses a cube in the selector of the cube step.
    void chooseCube(int kind, const QString& name, const QString& server = {}, const QString& catalog = {});
    // From the welcome or cube step: chooses the cube and leaves the cube step.
    void openCube(int kind, const QString& name);
    // Selects `name` in list `list`; fails the test when it is not there once.
    static void select(QListWidget* list, const QString& name);

    TempSettings settings;
    RecordingMessages messages;
    ScratchFolder folder;
    TestWizard wizard;

private:
    QString mWorkingFolder;
};

// Texts for short tables.
inline QString text(const char* utf8) { return QString::fromUtf8(utf8); }
inline QStringList names(std::initializer_list<const char*> texts)
{
    QStringList out;
    for (const char* one : texts)
        out << text(one);
    return out;
}
// The texts of a list's entries, in order; the selected entry's text.
QStringList entries(const QListWidget* list);
QString selected(const QListWidget* list);
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }
inline void PrintTo(const QStringList& list, std::ostream* out) { *out << '[' << list.join(u", ").toStdString() << ']'; }

// Members of an editor's dimension, named by unique name or caption (the
// first met depth first).
using Names = std::vector<std::string>;
DimMember memberNamed(const NxDimEditCtrl* editor, const std::string& name);
void check(NxDimEditCtrl* editor, const Names& names, bool uncheck = false);
void uncheckAll(NxDimEditCtrl* editor);
// The name of the dimension attached to `editor`; empty when none is.
std::string attachedName(const NxDimEditCtrl* editor);
// The checked members' captions, in the order they were checked.
Names checkedCaptions(const NxDimEditCtrl* editor);
