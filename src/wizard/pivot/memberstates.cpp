// Carrying the drilled and hidden members of a placed row or column
// dimension's editor over to its pivot table field.
//
// Hosts often reject the tables: they want member names with or without key
// markers, or by caption. Each stage therefore retries a rejected assignment
// after repairing its table, then with tables rebuilt from captions, and in
// the end tries once more with failures ignored, leaving the field as the
// host has it. Nothing is shown to the user: a field without its drill state
// is still a usable report.
#include "wizard/control/nxpivotwizardctrl.h"

#include "widgets/nxcubeselectorctrl.h"

#include "olap/connection/connectionmodel.h"
#include "olap/store/storemodel.h"
#include "wizard/pivot/pivotbuild.h"

#include <string>

using sheet::VariantArray;

namespace {

// The host generation that takes hidden members as a tree-view state; later
// ones take a hidden-item list per level field.
constexpr qint16 kTreeviewHiddenVersion = 9;

}  // namespace

void NxPivotWizardCtrl::applyMemberStates(PivotBuild& build, FieldMembers& field, qint16 pos)
{
    field.editor = build.orientationKind == 2 ? NxDimEditCols.at(size_t(pos)) : NxDimEditRows.at(size_t(pos));
    fillMemberTables(field, false);
    applyDrilledMembers(build, field);
    applyHiddenMembers(build, field);
}

void NxPivotWizardCtrl::fillMemberTables(FieldMembers& field, bool useCaptions)
{
    if (cubeSourceKind == NxCubeSelectorCtrl::StoreCube) {
        GetTreeDrilledAndHiddenArrays(field.editor, field.dimension, field.drilledArray, field.hiddenArray,
                                      field.addDrills, field.addHidden, useCaptions);
    } else {
        GetKTreeDrilledAndHiddenArrays(field.editor, field.kDimension, field.drilledArray, field.hiddenArray,
                                       field.addDrills, field.addHidden, useCaptions);
    }
}

void NxPivotWizardCtrl::applyDrilledMembers(PivotBuild& build, FieldMembers& field)
{
    field.startStage(true);
    if (cubeSourceKind != NxCubeSelectorCtrl::StoreCube)
        keyNameFlag = false;
    if (!field.addDrills)
        return;
    const std::string cubeField = "[" + field.dimensionName() + "]";
    assignWithRetries(field, field.drilledArray, [&] {
        build.pt->CubeFields()->Item(cubeField)->TreeviewControl()->Drilled(field.drilledArray);
    });
}

void NxPivotWizardCtrl::applyHiddenMembers(PivotBuild& build, FieldMembers& field)
{
    field.startStage(false);
    if (cubeSourceKind != NxCubeSelectorCtrl::StoreCube)
        keyNameFlag = false;
    if (!field.addHidden)
        return;
    if (excelVersion == kTreeviewHiddenVersion) {
        const std::string cubeField = field.dimension ? "[" + field.dimension->name() + "]"
                                                      : field.kDimension->fieldName();
        assignWithRetries(field, field.hiddenArray, [&] {
            build.pt->CubeFields()->Item(cubeField)->TreeviewControl()->Hidden(field.hiddenArray);
        });
        return;
    }
    // One hidden-item list per level row; the rows are those the table had
    // before any rebuild from captions.
    const int lastLevel = field.hiddenArray.upperBound(1);
    for (qint16 lvl = 0; lvl <= lastLevel; ++lvl) {
        const QString levelField =
            field.dimension ? getLevelName(field.dimension, lvl)
                            : QString::fromStdString(field.kDimension->hierarchies().item(0)->levels().item(lvl)->name());
        if (!pvFieldExists(levelField, build.pt))
            continue;
        assignWithRetries(field, field.hiddenArray, [&] {
            build.pt->PivotFields()->Item(levelField.toStdString())->HiddenItemsList(getArray(field.hiddenArray, lvl));
        });
    }
}

// The repairs and rebuilds run under their own error trap, so nothing here
// but the assignment itself can fail.
void NxPivotWizardCtrl::assignWithRetries(FieldMembers& field, VariantArray& array,
                                          const std::function<void()>& assign)
{
    for (;;) {
        if (field.ignoringFailures) {
            try {
                assign();
            } catch (const platform::Failure& failure) {
                // The stage has given up on this field.
                platform::noteIgnoredFailure("assignWithRetries", failure);
            }
            return;
        }
        try {
            assign();
            return;
        } catch (const platform::Failure&) {
            repairRejectedTable(field, array);
        }
    }
}

// Decides what the next attempt gets after the host rejected `array`: a
// repaired table, tables rebuilt from captions, or a last try with failures
// ignored. A local-file or server cube's series of repairs ends as soon as a
// repair has removed key markers (keyNameFlag), since further repairs would
// only touch markers that are gone.
void NxPivotWizardCtrl::repairRejectedTable(FieldMembers& field, VariantArray& array)
{
    const bool storeCube = cubeSourceKind == NxCubeSelectorCtrl::StoreCube;
    const bool markersRemovedBefore = keyNameFlag;
    if (field.drillRetryCount == 0)
        fixArray(array);
    else if (storeCube || !keyNameFlag)
        fixArray2(array);
    ++field.drillRetryCount;
    if (field.drillRetryCount <= array.upperBound(1) + 1 && (storeCube || !markersRemovedBefore))
        return;
    if (!field.triedCaptions) {
        fillMemberTables(field, true);
        if (!storeCube && field.drillStage)
            keyNameFlag = false;
        field.drillRetryCount = 0;
        field.triedCaptions = true;
        return;
    }
    field.ignoringFailures = true;
}
