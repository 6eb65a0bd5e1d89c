// MemberSearchModel: the result of a member search as a tree model, for the
// member tree editor's search field. Shows the members whose caption holds
// the search text with their ancestors (so every match sits where it sits in
// the full tree), with the check marks and display of the full tree's model.
// Checking a row raises checkRequested as the full tree's model does, for
// the editor to treat a check here as one there.
#pragma once

#include "widgets/membersearchindex.h"

#include <QAbstractItemModel>

#include <vector>

class MemberTreeModel;

class MemberSearchModel : public QAbstractItemModel {
    Q_OBJECT

public:
    // Shows members of the tree `source` shows; `source` must outlive this.
    explicit MemberSearchModel(MemberTreeModel* source, QObject* parent = nullptr);

    // The tree to search, as given to the source model. Empties the result.
    void setTree(MemberList top, int levelCount);
    // Shows the matches of `text` (see MemberSearchIndex::find); nothing for
    // an empty text. Resets the model.
    void search(const QString& text);
    // How many members matched the last search (ancestors not counted).
    int matchCount() const { return mMatchCount; }

    DimMember member(const QModelIndex& index) const;
    // Tells the views that check marks or the display changed.
    void refresh();

    QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& index) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

Q_SIGNALS:
    // The view asked to check (true) or uncheck `member`.
    void checkRequested(const DimMember& member, bool checked);

private:
    // A shown member: its place in the index, its parent's node (-1 on top),
    // its row under that parent and its shown children's nodes.
    struct Node {
        int position = 0;
        int parent = -1;
        int row = 0;
        std::vector<int> children;
    };
    const std::vector<int>& childrenOf(const QModelIndex& parent) const;

    MemberTreeModel* mSource;
    MemberSearchIndex mIndex;
    std::vector<Node> mNodes;
    std::vector<int> mTop;
    int mMatchCount = 0;
};
