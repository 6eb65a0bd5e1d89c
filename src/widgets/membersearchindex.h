// MemberSearchIndex: every member of one dimension's tree, flattened in tree
// pre-order with its caption folded for searching, so that a search is one
// pass over plain strings rather than a walk through the cube model.
#pragma once

#include "widgets/dimmember.h"

#include <QString>

#include <vector>

// `text` as searches compare it: accents dropped (compatibility
// decomposition, non-spacing marks removed) and case folded, so "CREME"
// finds "Crème".
QString foldForSearch(const QString& text);

class MemberSearchIndex {
public:
    // Forgets every member: the next find() walks the tree given here. The
    // walk is deferred because an editor that is never searched should cost
    // nothing.
    void setTree(MemberList top, int levelCount);
    void clear() { setTree(MemberList(), 0); }

    // The positions of the members whose caption holds `text` (as folded
    // by foldForSearch) and of all their ancestors, in tree pre-order, each
    // once. Empty for an empty `text`. Typing on (a text that holds the last
    // one) searches only the last matches.
    std::vector<int> find(const QString& text);

    // How many members' own captions matched the last find().
    int lastMatchCount() const { return int(mLastMatches.size()); }
    // Valid positions: 0 .. size() - 1, after a find().
    int size() const { return int(mMembers.size()); }
    const DimMember& member(int position) const { return mMembers[size_t(position)]; }
    // The parent's position; -1 on the top level.
    int parent(int position) const { return mParents[size_t(position)]; }

private:
    void build();
    void add(const MemberList& members, int parent, int depth);

    MemberList mTop;
    int mLevelCount = 0;
    bool mBuilt = false;
    std::vector<DimMember> mMembers;
    std::vector<int> mParents;
    std::vector<QString> mFolded;
    QString mLastText;
    std::vector<int> mLastMatches;  // positions whose own caption matched mLastText
};
