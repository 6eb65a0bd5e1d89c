// The members of a store dimension.
#pragma once

#include "olap/model/treenodes.h"
#include "olap/store/storedimension.h"

#include <memory>
#include <string>

namespace olap {

// A member of a store hierarchy. One object per member, made when first
// asked for and owned by its Dimension (storedimension.h): holding a member
// keeps the dimension alive, and members can be compared by identity.
// Besides what follows: caption(), uniqueName() (the "all" member is part of
// it when the hierarchy has an "all" level), childCount(), parent(),
// level(), dimension() (treenodes.h).
class Member : public MemberNode<StoreModel> {
public:
    Member(const Member&) = delete;
    Member& operator=(const Member&) = delete;

    // The member's own name as unique names spell it: one bracketed part,
    // "[Q1]", "&[1997]" on a level named by key, "[Sales Amount]" for a
    // measure. Appended to "[Measures]." it forms a measure's data-field
    // name: "[Measures].[Sales Amount]".
    std::string name() const { return mTree.shape().memberPart(mHierarchy, mIndex); }
    // The bracketed parts of the member and its ancestors from the top,
    // joined by ".": "[1997].[Q1]" for a member of the second level, with the
    // "all" member as the first part when the hierarchy has an "all" level.
    // The number of parts is the member's level depth + 1.
    std::string namePath() const { return mTree.shape().namePath(mHierarchy, mIndex); }

    // Child `number`, 1 .. childCount(), in order. Throws Failure 9 otherwise.
    std::shared_ptr<Member> child(int number) const;
    // The children, items 1 .. childCount(), made as they are asked for.
    Collection<Member> children() const { return childList(1, "children"); }

private:
    friend class ObjectTree<StoreModel>;
    Member(const ObjectTree<StoreModel>& tree, size_t hierarchy, size_t index) : MemberNode(tree, hierarchy, index) {}
};

}  // namespace olap
