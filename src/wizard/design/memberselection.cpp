// The member selection steps: opening the dimension picked in a member-step
// list in its own member editor, one editor per dimension of the row and
// column steps, kept with its check state until the cube is reloaded.
#include "wizard/control/nxpivotwizardctrl.h"

#include "wizard/control/screenparts.h"
#include "wizard/design/memberlevels.h"
#include "olap/connection/connectionmodel.h"
#include "olap/store/storemodel.h"
#include "widgets/nxcubeselectorctrl.h"
#include "widgets/nxdimeditctrl.h"

#include <QListWidget>
#include <QStackedWidget>

namespace {

// The editors of a member step lie on top of one another in a stack; the
// measures editor stands alone.
void bringEditorToFront(NxDimEditCtrl* editor)
{
    if (auto* stack = qobject_cast<QStackedWidget*>(editor->parentWidget()))
        stack->setCurrentWidget(editor);
    editor->setVisible(true);
    editor->raise();
}

}  // namespace

void NxPivotWizardCtrl::lstCubeOptions_Click(int Index)
{
    trap([&] {
        if (loadingMembers)
            return;
        // Refused: the check has put the list back on the current dimension.
        if (!currentDimensionName.isEmpty() && !checkMembersAreSelected(currentDimensionName))
            return;
        const QString name = selectedEntry(lstCubeOptions[Index]);
        std::shared_ptr<olap::Dimension> dimension;
        std::shared_ptr<olap::KDimension> kDimension;
        if (cubeSourceKind == NxCubeSelectorCtrl::StoreCube)
            dimension = loadedCube ? loadedCube->dimensionByName(name.toStdString()) : nullptr;
        else
            kDimension = getKDimension(name);
        if (!dimension && !kDimension)
            return;  // no loaded cube has a dimension of that name
        NxDimEditCtrl* editor = NxDimEditMembers;
        if (Index != 0) {
            currentDimensionName = QString::fromStdString(dimension ? dimension->name() : kDimension->name());
            qint16 pos = 0;
            if (dimControlExists(name, static_cast<quint8>(Index), pos)) {
                bringEditorToFront(memberEditor(Index, pos));
                return;
            }
            editor = memberEditor(Index, pos);
        }
        setUpMemberEditor(editor, dimension, kDimension);
    });
}

void NxPivotWizardCtrl::setUpMemberEditor(NxDimEditCtrl* editor, const std::shared_ptr<olap::Dimension>& dimension,
                                          const std::shared_ptr<olap::KDimension>& kDimension)
{
    editor->setMode(dimension ? NxDimEditCtrl::StoreModel : NxDimEditCtrl::ConnectionModel);
    // Check boxes, checking by the user and the right-click event on; unique
    // names, cascading checks and child counts off.
    for (int option = 1; option <= 6; ++option)
        editor->setOption(option, option <= 3);
    bringEditorToFront(editor);
    if (dimension)
        editor->setDimension(dimension);
    else
        editor->setKDimension(kDimension);
    const DimMembers defaults = dimension ? defaultMembers(*dimension) : defaultMembers(*kDimension);
    editor->checkMembers(defaults, false, true);
}

std::shared_ptr<olap::KDimension> NxPivotWizardCtrl::getKDimension(const QString& aCaption)
{
    std::shared_ptr<olap::KDimension> result;
    trap([&] {
        if (!loadedKCube)
            return;
        const std::string caption = aCaption.toStdString();
        for (const auto& dimension : loadedKCube->dimensions()) {
            if (dimension->name() == caption) {
                result = dimension;
                return;
            }
        }
    });
    return result;
}

QString NxPivotWizardCtrl::attachedDimensionName(const NxDimEditCtrl* editor)
{
    if (editor->dimension())
        return QString::fromStdString(editor->dimension()->name());
    if (editor->kDimension())
        return QString::fromStdString(editor->kDimension()->name());
    return QString();
}

bool NxPivotWizardCtrl::dimControlExists(const QString& dimName, quint8 rowsOrCols, qint16& pos)
{
    bool found = false;
    trap([&] {
        const std::vector<NxDimEditCtrl*>& editors = rowsOrCols == 1 ? NxDimEditRows : NxDimEditCols;
        for (size_t i = 0; i < editors.size(); ++i) {
            if (editors[i]->hasDimension() && attachedDimensionName(editors[i]) == dimName) {
                pos = static_cast<qint16>(i);
                found = true;
                return;
            }
        }
        // The form's own editor serves the first dimension opened.
        const bool formEditorUnused = editors.size() == 1 && !editors[0]->hasDimension();
        pos = formEditorUnused ? 0 : static_cast<qint16>(editors.size());
    });
    return found;
}

NxDimEditCtrl* NxPivotWizardCtrl::memberEditor(int area, qint16 pos)
{
    std::vector<NxDimEditCtrl*>& editors = area == 1 ? NxDimEditRows : NxDimEditCols;
    if (size_t(pos) < editors.size())
        return editors[size_t(pos)];
    // Elements are added one above the upper bound, so indices stay dense.
    auto* stack = qobject_cast<QStackedWidget*>(editors.front()->parentWidget());
    const int index = int(editors.size());
    auto* editor = named(new NxDimEditCtrl, area == 1 ? "NxDimEditRows" : "NxDimEditCols", index);
    stack->addWidget(editor);
    wireMemberEditor(editor, area, index);
    editors.push_back(editor);
    return editor;
}

void NxPivotWizardCtrl::wireMemberEditor(NxDimEditCtrl* editor, int area, int index)
{
    connect(editor, &NxDimEditCtrl::selectedMemberRightClick, this, [this, area, index](const DimMember& member) {
        if (area == 0)
            NxDimEditMembers_selectedMemberRightClick(member);
        else if (area == 1)
            NxDimEditRows_selectedMemberRightClick(index, member);
        else
            NxDimEditCols_selectedMemberRightClick(index, member);
    });
}
