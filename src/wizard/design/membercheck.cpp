// The check that a row or column dimension has members chosen, run before
// the member step is left and before another dimension is opened.
#include "wizard/control/nxpivotwizardctrl.h"

#include "wizard/design/memberlevels.h"
#include "olap/connection/connectionmodel.h"
#include "olap/store/storemodel.h"
#include "platform/core/failure.h"
#include "widgets/nxcubeselectorctrl.h"
#include "widgets/nxdimeditctrl.h"

#include <QListWidget>

namespace {

constexpr qint16 kRowMembersStep = 4;

struct MemberRule {
    bool valid = true;
    qint32 code = 0;
    const char* title = "";
};

// First match wins. Below a single top member (an "all" member) the top
// member alone is not a choice: a member of the level below must be checked
// too, hence two.
MemberRule memberRule(const TopLevelCounts& top, int checked)
{
    if (top.levelMemberTotal >= 2)
        return {checked >= 1, 50016, "Select Member"};
    if (!top.hasNextLevel)
        return {checked >= 1, 50016, "Select Member"};
    if (top.memberCount != 1)
        return {checked >= 1, 50016, "Select Members"};
    return {checked >= 2, 50017, "Select Members"};
}

}  // namespace

bool NxPivotWizardCtrl::checkMembersAreSelected(const QString& aDimension)
{
    bool result = false;
    trap([&] {
        const quint8 area = mCurrentStep == kRowMembersStep ? 1 : 2;
        qint16 pos = 0;
        if (!dimControlExists(aDimension, area, pos)) {
            result = true;  // never opened: nothing to check
            return;
        }
        NxDimEditCtrl* editor = (area == 1 ? NxDimEditRows : NxDimEditCols).at(size_t(pos));
        TopLevelCounts top;
        int checked = 0;
        if (cubeSourceKind == NxCubeSelectorCtrl::StoreCube) {
            const olap::Dimension& dimension = platform::requireObject(editor->dimension().get(), "dimension");
            top = topLevelCounts(dimension);
            checked = dimension.selectedMembers().count();
        } else {
            top = topLevelCounts(platform::requireObject(editor->kDimension().get(), "dimension"));
            checked = editor->checkedMemberCount();
        }
        const MemberRule rule = memberRule(top, checked);
        if (rule.valid) {
            result = true;
            return;
        }
        // A refusal of the choice, not a failure: the warning icon.
        showCatalogueMessage(rule.code, QString(), QString::fromLatin1(rule.title), MessageIcon::Exclamation);
        // Show the offending dimension again without opening anything.
        QListWidget* list = lstCubeOptions[area];
        const QList<QListWidgetItem*> entries = list->findItems(aDimension, Qt::MatchExactly);
        if (!entries.isEmpty()) {
            loadingMembers = true;
            list->setCurrentItem(entries.front());
            loadingMembers = false;
        }
    });
    return result;
}
