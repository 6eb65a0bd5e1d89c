// MemberTreeModel: the member tree of one dimension as a Qt item model, for
// the member tree editor (NxDimEditCtrl).
//
// Made for large levels: the children of a member are loaded when the view
// first expands it (canFetchMore/fetchMore), and loading costs the same for
// ten members as for 100,000, because a row is not an object here. An index
// points at the node of its parent; a node is made only for a member whose
// children someone asks for (an expanded or fetched member), and the cube
// model's member object only when a row is read. One column.
#pragma once

#include "widgets/dimmember.h"
#include "widgets/memberchecks.h"

#include <QAbstractItemModel>

#include <memory>

class MemberTreeModel : public QAbstractItemModel {
    Q_OBJECT

public:
    // DimMember of a row, as a QVariant.
    static constexpr int MemberRole = Qt::UserRole + 1;

    // What the rows show.
    struct Display {
        bool checkBoxes = true;     // a check box per row
        bool userCheckable = true;  // the view may ask to toggle the box (checkRequested)
        bool uniqueNames = false;   // unique names instead of captions
        bool childCounts = false;   // "caption (n)" for a member with n children
    };

    explicit MemberTreeModel(QObject* parent = nullptr);
    ~MemberTreeModel() override;

    // Shows the tree whose top members are `top` in a hierarchy of
    // `levelCount` levels, with check marks from `checks`. Resets the model:
    // every index, loaded child list and expanded mark is gone.
    void setTree(MemberList top, int levelCount, MemberChecks checks);
    // Shows nothing.
    void clear();

    const Display& display() const { return mDisplay; }
    void setDisplay(const Display& display);

    // The check state the rows show. After changing it, call checksChanged().
    MemberChecks& checks() { return mChecks; }
    const MemberChecks& checks() const { return mChecks; }
    // Tells the views that check marks changed on any loaded row.
    void checksChanged();

    // What the row of `member` shows, under the current display.
    QString displayText(const DimMember& member) const;
    // The data of `role` for the row of `member` (its text, tip, check mark
    // and MemberRole), for this model and views of the same members.
    QVariant memberData(const DimMember& member, int role) const;

    // The member of a row; null for an invalid index.
    DimMember member(const QModelIndex& index) const;
    // The row of `member`, loading the child lists of its ancestors on the
    // way; invalid when the member is not in this tree.
    QModelIndex indexOf(const DimMember& member);

    // Marks a row's member as expanded or collapsed (the view's drill state).
    void setExpanded(const QModelIndex& index, bool expanded);
    // The expanded members whose ancestors are all expanded, in tree
    // pre-order: the members the user sees drilled down.
    DimMembers expandedMembers() const;

    QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& index) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    bool hasChildren(const QModelIndex& parent = QModelIndex()) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

Q_SIGNALS:
    // The view asked to check (true) or uncheck `member`. The model changes
    // nothing itself: the editor decides what a click means.
    void checkRequested(const DimMember& member, bool checked);

private:
    struct Node;

    Node* nodeOf(const QModelIndex& index) const;
    Node* childNode(Node* parent, int row) const;
    DimMember memberAt(const Node* parent, int row) const;
    QModelIndex indexOfNode(const Node* node) const;
    void load(Node* node);
    void emitForLoadedRows(const Node* node, const QList<int>& roles);
    void collectExpanded(const Node* node, DimMembers& out) const;

    std::unique_ptr<Node> mRoot;
    int mLevelCount = 0;
    MemberChecks mChecks;
    Display mDisplay;
};
