#include "widgets/membertreemodel.h"

#include <map>

// A member whose children were asked for, or the invisible root above the
// top level. Nodes live until the next reset; indexes point at them.
struct MemberTreeModel::Node {
    Node* parent = nullptr;
    int row = 0;     // position under the parent
    int depth = -1;  // level depth of the member; -1 for the root
    DimMember member;
    MemberList children;
    bool loaded = false;    // the children were reported to the views
    bool expanded = false;  // the view shows the children
    std::map<int, std::unique_ptr<Node>> nodes;  // child nodes made so far, by row
};

MemberTreeModel::MemberTreeModel(QObject* parent) : QAbstractItemModel(parent), mRoot(std::make_unique<Node>()) {}

MemberTreeModel::~MemberTreeModel() = default;

void MemberTreeModel::setTree(MemberList top, int levelCount, MemberChecks checks)
{
    beginResetModel();
    mRoot = std::make_unique<Node>();
    mRoot->children = std::move(top);
    mLevelCount = levelCount;
    mChecks = std::move(checks);
    endResetModel();
}

void MemberTreeModel::clear() { setTree(MemberList(), 0, MemberChecks()); }

void MemberTreeModel::setDisplay(const Display& display)
{
    mDisplay = display;
    emitForLoadedRows(mRoot.get(), {});
}

void MemberTreeModel::checksChanged() { emitForLoadedRows(mRoot.get(), {Qt::CheckStateRole}); }

// One signal per loaded child list: the views repaint what they show, and
// the cost does not grow with the number of rows.
void MemberTreeModel::emitForLoadedRows(const Node* node, const QList<int>& roles)
{
    if (node->loaded && node->children.count() > 0) {
        const QModelIndex parent = indexOfNode(node);
        Q_EMIT dataChanged(index(0, 0, parent), index(node->children.count() - 1, 0, parent), roles);
    }
    for (const auto& [row, child] : node->nodes)
        emitForLoadedRows(child.get(), roles);
}

MemberTreeModel::Node* MemberTreeModel::nodeOf(const QModelIndex& index) const
{
    if (!index.isValid())
        return mRoot.get();
    return childNode(static_cast<Node*>(index.internalPointer()), index.row());
}

MemberTreeModel::Node* MemberTreeModel::childNode(Node* parent, int row) const
{
    std::unique_ptr<Node>& slot = parent->nodes[row];
    if (!slot) {
        slot = std::make_unique<Node>();
        slot->parent = parent;
        slot->row = row;
        slot->depth = parent->depth + 1;
        slot->member = parent->children.at(row);
        slot->children = slot->member.children();
    }
    return slot.get();
}

DimMember MemberTreeModel::memberAt(const Node* parent, int row) const
{
    const auto found = parent->nodes.find(row);
    if (found != parent->nodes.end())
        return found->second->member;
    return parent->children.at(row);
}

QModelIndex MemberTreeModel::indexOfNode(const Node* node) const
{
    if (!node->parent)
        return QModelIndex();
    return createIndex(node->row, 0, node->parent);
}

DimMember MemberTreeModel::member(const QModelIndex& index) const
{
    if (!index.isValid() || index.model() != this)
        return DimMember();
    return memberAt(static_cast<const Node*>(index.internalPointer()), index.row());
}

void MemberTreeModel::load(Node* node)
{
    if (node->loaded || node->children.count() == 0)
        return;
    beginInsertRows(indexOfNode(node), 0, node->children.count() - 1);
    node->loaded = true;
    endInsertRows();
}

QModelIndex MemberTreeModel::indexOf(const DimMember& member)
{
    DimMembers line;  // the member and its ancestors, bottom up
    for (DimMember at = member; !at.isNull(); at = at.parent())
        line.push_back(at);
    Node* node = mRoot.get();
    QModelIndex found;
    for (auto it = line.rbegin(); it != line.rend(); ++it) {
        if (found.isValid())
            node = childNode(node, found.row());
        load(node);
        int row = 0;
        while (row < node->children.count() && !(memberAt(node, row) == *it))
            ++row;
        if (row == node->children.count())
            return QModelIndex();
        found = createIndex(row, 0, node);
    }
    return found;
}

void MemberTreeModel::setExpanded(const QModelIndex& index, bool expanded)
{
    if (index.isValid() && index.model() == this)
        nodeOf(index)->expanded = expanded;
}

DimMembers MemberTreeModel::expandedMembers() const
{
    DimMembers out;
    collectExpanded(mRoot.get(), out);
    return out;
}

void MemberTreeModel::collectExpanded(const Node* node, DimMembers& out) const
{
    for (const auto& [row, child] : node->nodes) {
        if (!child->expanded)
            continue;
        out.push_back(child->member);
        collectExpanded(child.get(), out);
    }
}

QModelIndex MemberTreeModel::index(int row, int column, const QModelIndex& parent) const
{
    if (column != 0 || row < 0 || parent.column() > 0)
        return QModelIndex();
    Node* node = nodeOf(parent);
    if (!node->loaded || row >= node->children.count())
        return QModelIndex();
    return createIndex(row, column, node);
}

QModelIndex MemberTreeModel::parent(const QModelIndex& index) const
{
    if (!index.isValid())
        return QModelIndex();
    return indexOfNode(static_cast<const Node*>(index.internalPointer()));
}

int MemberTreeModel::rowCount(const QModelIndex& parent) const
{
    if (parent.column() > 0)
        return 0;
    const Node* node = nodeOf(parent);
    return node->loaded ? node->children.count() : 0;
}

int MemberTreeModel::columnCount(const QModelIndex&) const { return 1; }

// Asked for every row when the view lays out a level, so it must not make
// objects: a member of the deepest level has no children, whatever it is.
bool MemberTreeModel::hasChildren(const QModelIndex& parent) const
{
    if (!parent.isValid())
        return mRoot->children.count() > 0;
    if (parent.column() > 0)
        return false;
    const auto* node = static_cast<const Node*>(parent.internalPointer());
    if (node->depth + 2 >= mLevelCount)
        return false;
    return memberAt(node, parent.row()).childCount() > 0;
}

bool MemberTreeModel::canFetchMore(const QModelIndex& parent) const
{
    if (parent.isValid() && !hasChildren(parent))
        return false;
    const Node* node = nodeOf(parent);
    return !node->loaded && node->children.count() > 0;
}

void MemberTreeModel::fetchMore(const QModelIndex& parent)
{
    if (parent.isValid() && !hasChildren(parent))
        return;
    load(nodeOf(parent));
}

QString MemberTreeModel::displayText(const DimMember& member) const
{
    QString text = QString::fromStdString(mDisplay.uniqueNames ? member.uniqueName() : member.caption());
    if (mDisplay.childCounts) {
        const int children = member.childCount();
        if (children > 0)
            text += QStringLiteral(" (%1)").arg(children);
    }
    return text;
}

QVariant MemberTreeModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.column() != 0)
        return QVariant();
    return memberData(memberAt(static_cast<const Node*>(index.internalPointer()), index.row()), role);
}

QVariant MemberTreeModel::memberData(const DimMember& member, int role) const
{
    switch (role) {
    case Qt::DisplayRole:
        return displayText(member);
    case Qt::ToolTipRole:
        return QString::fromStdString(member.uniqueName());
    case Qt::CheckStateRole:
        if (!mDisplay.checkBoxes)
            return QVariant();
        return mChecks.contains(member) ? Qt::Checked : Qt::Unchecked;
    case MemberRole:
        return QVariant::fromValue(member);
    default:
        return QVariant();
    }
}

bool MemberTreeModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::CheckStateRole || !(flags(index) & Qt::ItemIsUserCheckable))
        return false;
    Q_EMIT checkRequested(member(index), value.toInt() == Qt::Checked);
    return true;
}

Qt::ItemFlags MemberTreeModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (mDisplay.checkBoxes && mDisplay.userCheckable)
        flags |= Qt::ItemIsUserCheckable;
    if (static_cast<const Node*>(index.internalPointer())->depth + 2 >= mLevelCount)
        flags |= Qt::ItemNeverHasChildren;
    return flags;
}
