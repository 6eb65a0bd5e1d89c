#include "widgets/nxdimeditctrl.h"

#include "widgets/membertreemodel.h"
#include "olap/connection/connectionmodel.h"
#include "olap/store/storemodel.h"
#include "platform/core/failure.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>
#include <functional>
#include <string>
#include <unordered_set>

namespace {

// The member menu from the keyboard: the context-menu key and Shift+F10 on
// the tree, whether they arrive as keys or as a context-menu request of
// the keyboard's making.
class MenuKeys : public QObject {
public:
    MenuKeys(QTreeView* tree, std::function<void()> show) : QObject(tree), mShow(std::move(show))
    {
        tree->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            const bool menuKey = key->key() == Qt::Key_Menu && key->modifiers() == Qt::NoModifier;
            const bool shiftF10 = key->key() == Qt::Key_F10 && key->modifiers() == Qt::ShiftModifier;
            if (!menuKey && !shiftF10)
                return false;
        } else if (event->type() != QEvent::ContextMenu ||
                   static_cast<QContextMenuEvent*>(event)->reason() != QContextMenuEvent::Keyboard) {
            return false;
        }
        mShow();
        return true;
    }

private:
    std::function<void()> mShow;
};

}  // namespace

NxDimEditCtrl::NxDimEditCtrl(QWidget* parent) : QWidget(parent)
{
    mModel = new MemberTreeModel(this);
    mTree = new QTreeView(this);
    mTree->setObjectName(QStringLiteral("memberTree"));
    mTree->setHeaderHidden(true);
    // Every row is one line of text: the view can then place 100,000 rows
    // without asking each for its size.
    mTree->setUniformRowHeights(true);
    mTree->setSelectionMode(QAbstractItemView::SingleSelection);
    mTree->setContextMenuPolicy(Qt::CustomContextMenu);
    mTree->setModel(mModel);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(mTree);

    connect(mTree, &QTreeView::expanded, mModel, [this](const QModelIndex& index) { mModel->setExpanded(index, true); });
    connect(mTree, &QTreeView::collapsed, mModel,
            [this](const QModelIndex& index) { mModel->setExpanded(index, false); });
    connect(mTree, &QWidget::customContextMenuRequested, this, &NxDimEditCtrl::showMemberMenu);
    new MenuKeys(mTree, [this] { showMemberMenuFromKeys(); });
    connect(mModel, &MemberTreeModel::checkRequested, this, &NxDimEditCtrl::userToggled);
    applyDisplay();
}

NxDimEditCtrl::~NxDimEditCtrl() = default;

void NxDimEditCtrl::setMode(int mode)
{
    if (mode != StoreModel && mode != ConnectionModel) {
        throw platform::Failure(platform::err::kInvalidCall,
                                "The member editor's mode must be 1 or 3, not " + std::to_string(mode), "widgets");
    }
    mMode = mode;
    if (mode == StoreModel && mKDimension)
        setKDimension(nullptr);
    else if (mode == ConnectionModel && mDimension)
        setDimension(nullptr);
}

void NxDimEditCtrl::setDimension(std::shared_ptr<olap::Dimension> dimension)
{
    if (dimension == mDimension && !mKDimension)
        return;
    mKDimension.reset();
    mDimension = std::move(dimension);
    if (mDimension)
        mMode = StoreModel;
    attach();
}

void NxDimEditCtrl::setKDimension(std::shared_ptr<olap::KDimension> dimension)
{
    if (dimension == mKDimension && !mDimension)
        return;
    mDimension.reset();
    mKDimension = std::move(dimension);
    if (mKDimension)
        mMode = ConnectionModel;
    attach();
}

void NxDimEditCtrl::attach()
{
    if (mDimension) {
        mModel->setTree(MemberList::topMembers(*mDimension), firstHierarchyLevelCount(*mDimension),
                        MemberChecks(mDimension));
    } else if (mKDimension) {
        mModel->setTree(MemberList::topMembers(*mKDimension), firstHierarchyLevelCount(*mKDimension),
                        MemberChecks(mKDimension));
    } else {
        mModel->clear();
    }
    Q_EMIT checkedMembersChanged();
}

bool NxDimEditCtrl::option(int number) const
{
    if (number < 1 || number > int(mOptions.size()))
        olap::throwBadPosition("option", number, 1, int(mOptions.size()));
    return mOptions[size_t(number - 1)];
}

void NxDimEditCtrl::setOption(int number, bool on)
{
    option(number);  // refuses a number out of range
    mOptions[size_t(number - 1)] = on;
    applyDisplay();
}

void NxDimEditCtrl::applyDisplay()
{
    MemberTreeModel::Display display;
    display.checkBoxes = option1();
    display.userCheckable = option2();
    display.uniqueNames = option4();
    display.childCounts = option6();
    mModel->setDisplay(display);
}

void NxDimEditCtrl::checkMembers(const DimMembers& mems, bool uncheck, bool reveal)
{
    if (mems.empty())
        return;
    MemberChecks& checks = mModel->checks();
    const int changed = uncheck ? checks.remove(mems) : checks.add(mems);
    if (reveal)
        this->reveal(mems);
    if (changed > 0) {
        mModel->checksChanged();
        Q_EMIT checkedMembersChanged();
    }
}

// Expands each distinct parent once: a default selection of 100,000
// children of one member expands one row.
void NxDimEditCtrl::reveal(const DimMembers& members)
{
    std::unordered_set<const void*> seen;
    for (const DimMember& member : members) {
        const DimMember parent = member.parent();
        if (!parent.isNull() && seen.insert(parent.identity()).second)
            setMemberDrilled(parent, true);
    }
}

DimMembers NxDimEditCtrl::checkedMembers() const { return mModel->checks().members(); }
int NxDimEditCtrl::checkedMemberCount() const { return mModel->checks().count(); }
bool NxDimEditCtrl::isChecked(const DimMember& member) const { return mModel->checks().contains(member); }

// A group is the children of one member, or the top level. Each group is
// looked at once, so a default selection of 100,000 children of one member
// walks that level once.
DimMembers NxDimEditCtrl::hiddenMembers() const
{
    const MemberChecks& checks = mModel->checks();
    const DimMembers checked = checks.members();
    DimMembers hidden;
    std::unordered_set<const void*> groupsSeen;
    const auto addUncheckedOf = [&](const DimMember& parent) {
        if (!groupsSeen.insert(parent.identity()).second)
            return;
        const MemberList group = parent.isNull() ? (mDimension ? MemberList::topMembers(*mDimension)
                                                               : MemberList::topMembers(*mKDimension))
                                                 : parent.children();
        for (int i = 0; i < group.count(); ++i) {
            DimMember member = group.at(i);
            if (!checks.contains(member))
                hidden.push_back(std::move(member));
        }
    };
    for (const DimMember& member : checked) {
        addUncheckedOf(member.parent());  // its siblings (the top level for a top member)
        addUncheckedOf(member);           // its children
    }
    return hidden;
}

DimMembers NxDimEditCtrl::drilledMembers() const { return mModel->expandedMembers(); }

void NxDimEditCtrl::setMemberDrilled(const DimMember& member, bool drilled)
{
    const QModelIndex index = mModel->indexOf(member);
    if (!index.isValid())
        return;
    if (!drilled) {
        mTree->collapse(index);
        return;
    }
    for (QModelIndex at = index; at.isValid(); at = at.parent())
        mTree->expand(at);
}

void NxDimEditCtrl::showMemberMenu(const QPoint& position)
{
    if (!option3())
        return;
    const QModelIndex index = mTree->indexAt(position);
    if (!index.isValid())
        return;
    mTree->setCurrentIndex(index);
    mMenuPosition = mTree->viewport()->mapToGlobal(position);
    Q_EMIT selectedMemberRightClick(mModel->member(index));
}

// The menu opens at the current member's row, as if it was right-clicked
// just inside its left end.
void NxDimEditCtrl::showMemberMenuFromKeys()
{
    const QModelIndex index = mTree->currentIndex();
    if (!option3() || !index.isValid())
        return;
    mTree->scrollTo(index);
    const QRect row = mTree->visualRect(index);
    mMenuPosition = mTree->viewport()->mapToGlobal(QPoint(row.left() + 2, row.top() + 2));
    Q_EMIT selectedMemberRightClick(mModel->member(index));
}

void NxDimEditCtrl::userToggled(const DimMember& member, bool checked)
{
    DimMembers group{member};
    if (option5())
        addDescendants(member, group);
    checkMembers(group, !checked);
}

void NxDimEditCtrl::addDescendants(const DimMember& member, DimMembers& out)
{
    const MemberList children = member.children();
    for (int i = 0; i < children.count(); ++i) {
        const DimMember child = children.at(i);
        out.push_back(child);
        addDescendants(child, out);
    }
}
