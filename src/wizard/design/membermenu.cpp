// The right-click menu of the member editors: check or uncheck a member's
// siblings, children or all descendants in one go.
#include "wizard/control/nxpivotwizardctrl.h"

#include "wizard/design/memberlevels.h"
#include "widgets/nxdimeditctrl.h"

#include <QAction>
#include <QMenu>

namespace {

constexpr qint16 kMeasuresStep = 3, kRowMembersStep = 4, kColumnMembersStep = 5;

}  // namespace

void NxPivotWizardCtrl::NxDimEditMembers_selectedMemberRightClick(const DimMember& theMember)
{
    trap([&] {
        menuMember = theMember;
        menuPosition = NxDimEditMembers->memberMenuPosition();
        ShowMenu(menuMember);
    });
}

void NxPivotWizardCtrl::NxDimEditRows_selectedMemberRightClick(int Index, const DimMember& theMember)
{
    trap([&] {
        menuMember = theMember;
        menuEditorIndex = static_cast<qint16>(Index);
        menuPosition = NxDimEditRows.at(size_t(Index))->memberMenuPosition();
        ShowMenu(menuMember);
    });
}

void NxPivotWizardCtrl::NxDimEditCols_selectedMemberRightClick(int Index, const DimMember& theMember)
{
    trap([&] {
        menuMember = theMember;
        menuEditorIndex = static_cast<qint16>(Index);
        menuPosition = NxDimEditCols.at(size_t(Index))->memberMenuPosition();
        ShowMenu(menuMember);
    });
}

void NxPivotWizardCtrl::ShowMenu(const DimMember& aMember)
{
    trap([&] {
        wireCheckOptionsMenu();
        const bool hasChildren = aMember.childCount() > 0;
        for (const char* name : {"mnuSelectChildren", "mnuDeselectChildren", "mnuSelectAllDescendants",
                                 "mnuDeselectAllDescendants"})
            mnuCheckOptions->findChild<QAction*>(QString::fromLatin1(name))->setVisible(hasChildren);
        mnuCheckOptions->popup(menuPosition);
    });
}

// The menu is built with the window's common parts, after the step frames;
// its items are connected the first time it is shown.
void NxPivotWizardCtrl::wireCheckOptionsMenu()
{
    if (checkOptionsWired)
        return;
    checkOptionsWired = true;
    const struct {
        const char* name;
        void (NxPivotWizardCtrl::*select)(bool);
        bool uncheck;
    } items[] = {{"mnuSelectSiblings", &NxPivotWizardCtrl::SelectSiblings, false},
                 {"mnuSelectChildren", &NxPivotWizardCtrl::SelectChildren, false},
                 {"mnuSelectAllDescendants", &NxPivotWizardCtrl::SelectAllDescendants, false},
                 {"mnuDeselectSiblings", &NxPivotWizardCtrl::SelectSiblings, true},
                 {"mnuDeselectChildren", &NxPivotWizardCtrl::SelectChildren, true},
                 {"mnuDeselectAllDescendants", &NxPivotWizardCtrl::SelectAllDescendants, true}};
    for (const auto& item : items) {
        QAction* action = mnuCheckOptions->findChild<QAction*>(QString::fromLatin1(item.name));
        connect(action, &QAction::triggered, this,
                [this, select = item.select, uncheck = item.uncheck] { (this->*select)(uncheck); });
    }
}

void NxPivotWizardCtrl::SelectChildren(bool uncheck)
{
    trap([&] {
        if (menuMember.childCount() == 0)
            return;
        CheckMembers(membersOf(menuMember.children()), uncheck);
    });
}

// A top-level member's siblings are its whole level; the member is one of them.
void NxPivotWizardCtrl::SelectSiblings(bool uncheck)
{
    trap([&] {
        const DimMember parent = menuMember.parent();
        const DimMembers mems = parent.isNull() ? levelMembersOf(menuMember) : membersOf(parent.children());
        if (!mems.empty())
            CheckMembers(mems, uncheck);
    });
}

void NxPivotWizardCtrl::SelectAllDescendants(bool uncheck)
{
    trap([&] {
        if (menuMember.childCount() == 0)
            return;
        DimMembers mems;
        addChildrenToCollection(mems, menuMember);
        CheckMembers(mems, uncheck);
    });
}

// Depth first, each child before its own descendants, the member itself not included.
void NxPivotWizardCtrl::addChildrenToCollection(DimMembers& mems, const DimMember& aMember)
{
    const MemberList children = aMember.children();
    for (int i = 0; i < children.count(); ++i) {
        const DimMember child = children.at(i);
        mems.push_back(child);
        if (child.childCount() > 0)
            addChildrenToCollection(mems, child);
    }
}

void NxPivotWizardCtrl::CheckMembers(const DimMembers& mems, bool uncheck)
{
    trap([&] {
        switch (mCurrentStep) {
        case kMeasuresStep: NxDimEditMembers->checkMembers(mems, uncheck); break;
        case kRowMembersStep: NxDimEditRows.at(size_t(menuEditorIndex))->checkMembers(mems, uncheck); break;
        case kColumnMembersStep: NxDimEditCols.at(size_t(menuEditorIndex))->checkMembers(mems, uncheck); break;
        default: break;  // the menu belongs to the member steps only
        }
    });
}
