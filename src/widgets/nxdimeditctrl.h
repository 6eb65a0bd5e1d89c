// NxDimEditCtrl: the member tree editor. Shows the member tree of one
// dimension, top level first, with a check box per member; the wizard reads
// which members are checked (to include and drill) and which are to be hidden.
//
// It works with either cube model: a store dimension (olap::Dimension, mode 1)
// or a connection dimension (olap::KDimension, mode 3). Members go in and out
// as DimMember (dimmember.h), holding a member of the attached model.
//
// Check state:
// - Checking a member checks that member only, never its children or
//   parents; callers that want a group (children, descendants) pass the group.
//   (Option 5 makes a user's click an exception; see below.)
// - Store model: the check state is the attached Dimension's
//   selectedMembers(), kept in step with the boxes both ways: a selection the
//   dimension holds when attached shows checked, and every change here is a
//   change there. Detaching leaves the selection in the dimension. A change
//   made to the selection directly, not through the editor, shows at the
//   next repaint and raises no signal.
// - Connection model: the check state is held here, from empty when a
//   KDimension is attached; read it with checkedMembers().
//
// hiddenMembers(), the members the PivotTable should hide: every unchecked
// member whose parent is checked or one of whose siblings is checked (for a
// top-level member: another top-level member). So an unchecked member never
// shows beside checked ones, whether or not their parent (an "all" member,
// say) is checked. An unchecked member whose parent and siblings are all
// unchecked is not listed: nothing of its group was chosen.
//
// Drill state: a member is drilled when its row is expanded in the tree and
// every ancestor row is expanded too (drilledMembers()).
//
// Option flags, each on or off; a new editor starts with 1-3 on and 4-6 off:
//   option1  check boxes are shown (off: a plain tree; the check state is
//            still kept and changed by checkMembers)
//   option2  the user may check and uncheck members with the mouse or keyboard
//   option3  a right-click on a member, or the context-menu key or
//            Shift+F10 on the current member, raises selectedMemberRightClick
//   option4  rows show members' unique names instead of their captions
//   option5  a user's check or uncheck also applies to all descendants of
//            the member (checkMembers never cascades)
//   option6  rows show a member's number of children after its caption
#pragma once

#include "widgets/dimmember.h"

#include <QWidget>

#include <array>
#include <memory>
#include <type_traits>

namespace olap {
class Dimension;
class KDimension;
}  // namespace olap

class MemberTreeModel;
class QTreeView;

class NxDimEditCtrl : public QWidget {
    Q_OBJECT

public:
    enum Mode : int { StoreModel = 1, ConnectionModel = 3 };

    explicit NxDimEditCtrl(QWidget* parent = nullptr);
    ~NxDimEditCtrl() override;

    // 1: store model, 3: connection model. Attaching a dimension sets the
    // mode of its model; setting the other mode detaches the dimension.
    // Throws Failure 5 for any other value.
    int mode() const { return mMode; }
    void setMode(int mode);

    // The attached store dimension; nothing when none (or a KDimension) is
    // attached. Setting one replaces what was attached; nothing detaches.
    std::shared_ptr<olap::Dimension> dimension() const { return mDimension; }
    void setDimension(std::shared_ptr<olap::Dimension> dimension);
    // The attached connection dimension, likewise.
    std::shared_ptr<olap::KDimension> kDimension() const { return mKDimension; }
    void setKDimension(std::shared_ptr<olap::KDimension> dimension);
    // True while a dimension of either model is attached.
    bool hasDimension() const { return mDimension || mKDimension; }

    // Option flag `number`, 1 .. 6 (meanings above). Throws Failure 9 for
    // another number.
    bool option(int number) const;
    void setOption(int number, bool on);
    bool option1() const { return option(1); }
    bool option2() const { return option(2); }
    bool option3() const { return option(3); }
    bool option4() const { return option(4); }
    bool option5() const { return option(5); }
    bool option6() const { return option(6); }
    void setOption1(bool on) { setOption(1, on); }
    void setOption2(bool on) { setOption(2, on); }
    void setOption3(bool on) { setOption(3, on); }
    void setOption4(bool on) { setOption(4, on); }
    void setOption5(bool on) { setOption(5, on); }
    void setOption6(bool on) { setOption(6, on); }

    // Checks (uncheck false) or unchecks (true) exactly `mems`, no other
    // member. With `reveal`, the rows of `mems` are also made visible by
    // expanding their ancestors, so a default selection below a single top
    // member shows at once. Newly checked members join checkedMembers() at
    // the end, in the order given. Throws Failure 5 when a member is not one
    // of the attached dimension (nothing changes then); with no dimension
    // attached every member is refused, and an empty `mems` does nothing.
    void checkMembers(const DimMembers& mems, bool uncheck, bool reveal = false);
    // The same for any range of members of the attached model: a vector of
    // shared pointers, a level's or member's collection, a selection.
    template <class Range>
        requires(!std::is_same_v<std::remove_cvref_t<Range>, DimMembers>)
    void checkMembers(const Range& mems, bool uncheck, bool reveal = false)
    {
        DimMembers members;
        for (const auto& member : mems)
            members.emplace_back(member);
        checkMembers(members, uncheck, reveal);
    }

    // The checked members in the order they were checked. A new list; valid
    // as long as the caller holds it (it keeps the members alive).
    DimMembers checkedMembers() const;
    int checkedMemberCount() const;
    bool isChecked(const DimMember& member) const;
    // The members to hide (see above): for each checked member, in check
    // order, the unchecked members of its own group (its siblings), then its
    // unchecked children; each group once, in its own order.
    DimMembers hiddenMembers() const;
    // The drilled (expanded) members, in tree order, parents before children.
    DimMembers drilledMembers() const;
    // Expands (drilled true, ancestors too) or collapses the row of `member`.
    // Does nothing for a member that is not in the tree.
    void setMemberDrilled(const DimMember& member, bool drilled);

    // The view and its model, for callers that place or inspect rows. Owned
    // by the editor; valid as long as it.
    QTreeView* treeView() const { return mTree; }
    MemberTreeModel* treeModel() const { return mModel; }
    // Where the last member menu was asked for, on the screen: the pointer
    // for a right-click, the member's row for a key.
    QPoint memberMenuPosition() const { return mMenuPosition; }

Q_SIGNALS:
    // The user right-clicked `theMember` (with option 3 on).
    void selectedMemberRightClick(const DimMember& theMember);
    // The check state changed, by the user or by checkMembers.
    void checkedMembersChanged();

private:
    void attach();
    void applyDisplay();
    void showMemberMenu(const QPoint& position);
    void showMemberMenuFromKeys();
    void userToggled(const DimMember& member, bool checked);
    void reveal(const DimMembers& members);
    static void addDescendants(const DimMember& member, DimMembers& out);

    int mMode = StoreModel;
    std::shared_ptr<olap::Dimension> mDimension;
    std::shared_ptr<olap::KDimension> mKDimension;
    std::array<bool, 6> mOptions{true, true, true, false, false, false};
    QTreeView* mTree = nullptr;
    MemberTreeModel* mModel = nullptr;
    QPoint mMenuPosition;
};
