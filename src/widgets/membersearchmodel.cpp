#include "widgets/membersearchmodel.h"

#include "widgets/membertreemodel.h"

#include <unordered_map>

MemberSearchModel::MemberSearchModel(MemberTreeModel* source, QObject* parent)
    : QAbstractItemModel(parent), mSource(source)
{
}

void MemberSearchModel::setTree(MemberList top, int levelCount)
{
    beginResetModel();
    mIndex.setTree(std::move(top), levelCount);
    mNodes.clear();
    mTop.clear();
    mMatchCount = 0;
    endResetModel();
}

void MemberSearchModel::search(const QString& text)
{
    const std::vector<int> found = mIndex.find(text);
    beginResetModel();
    mNodes.clear();
    mTop.clear();
    mMatchCount = 0;
    mNodes.reserve(found.size());
    // Positions come in pre-order, so a parent's node exists before its
    // children's and children arrive in their tree order.
    std::unordered_map<int, int> nodeOf;
    nodeOf.reserve(found.size());
    for (const int position : found) {
        const int parentPosition = mIndex.parent(position);
        const auto parentNode = nodeOf.find(parentPosition);
        Node node{position, parentNode == nodeOf.end() ? -1 : parentNode->second, 0, {}};
        std::vector<int>& siblings = node.parent < 0 ? mTop : mNodes[size_t(node.parent)].children;
        node.row = int(siblings.size());
        siblings.push_back(int(mNodes.size()));
        nodeOf.emplace(position, int(mNodes.size()));
        mNodes.push_back(std::move(node));
    }
    mMatchCount = mIndex.lastMatchCount();
    endResetModel();
}

DimMember MemberSearchModel::member(const QModelIndex& index) const
{
    if (!index.isValid() || index.model() != this)
        return DimMember();
    return mIndex.member(mNodes[size_t(index.internalId())].position);
}

void MemberSearchModel::refresh()
{
    if (mNodes.empty())
        return;
    // The rows of every shown list, one signal per list.
    const auto changed = [this](const std::vector<int>& list) {
        if (!list.empty())
            Q_EMIT dataChanged(createIndex(0, 0, quintptr(list.front())),
                               createIndex(int(list.size()) - 1, 0, quintptr(list.back())));
    };
    changed(mTop);
    for (const Node& node : mNodes)
        changed(node.children);
}

const std::vector<int>& MemberSearchModel::childrenOf(const QModelIndex& parent) const
{
    return parent.isValid() ? mNodes[size_t(parent.internalId())].children : mTop;
}

QModelIndex MemberSearchModel::index(int row, int column, const QModelIndex& parent) const
{
    if (column != 0 || row < 0 || parent.column() > 0)
        return QModelIndex();
    const std::vector<int>& children = childrenOf(parent);
    if (row >= int(children.size()))
        return QModelIndex();
    return createIndex(row, 0, quintptr(children[size_t(row)]));
}

QModelIndex MemberSearchModel::parent(const QModelIndex& index) const
{
    if (!index.isValid())
        return QModelIndex();
    const int parentNode = mNodes[size_t(index.internalId())].parent;
    if (parentNode < 0)
        return QModelIndex();
    return createIndex(mNodes[size_t(parentNode)].row, 0, quintptr(parentNode));
}

int MemberSearchModel::rowCount(const QModelIndex& parent) const
{
    if (parent.column() > 0)
        return 0;
    return int(childrenOf(parent).size());
}

int MemberSearchModel::columnCount(const QModelIndex&) const { return 1; }

QVariant MemberSearchModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return QVariant();
    return mSource->memberData(member(index), role);
}

bool MemberSearchModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::CheckStateRole || !(flags(index) & Qt::ItemIsUserCheckable))
        return false;
    Q_EMIT checkRequested(member(index), value.toInt() == Qt::Checked);
    return true;
}

Qt::ItemFlags MemberSearchModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (mSource->display().checkBoxes && mSource->display().userCheckable)
        flags |= Qt::ItemIsUserCheckable;
    if (mNodes[size_t(index.internalId())].children.empty())
        flags |= Qt::ItemNeverHasChildren;
    return flags;
}
