// The levels of a store dimension's hierarchy.
#pragma once

#include "olap/model/treenodes.h"
#include "olap/store/storedimension.h"

#include <memory>
#include <string>

namespace olap {

// A level of a store hierarchy. Owned by its Dimension (storedimension.h):
// holding a level keeps the dimension alive. Besides what follows:
// LevelType(), levelMemberTotal() (the count of levelMembers()),
// memberCount(), childLevel(), hierarchy(), dimension() (treenodes.h).
class Level : public LevelNode<StoreModel> {
public:
    Level(const Level&) = delete;
    Level& operator=(const Level&) = delete;

    const std::string& name() const { return info().name; }
    // 0 for the top level, 1 for the level below it, and so on.
    int depth() const { return int(mIndex); }

    // The level's members in level order, items 1 .. levelMemberTotal();
    // made as they are asked for.
    Collection<Member> levelMembers() const { return memberList(1, "levelMembers"); }

private:
    friend class ObjectTree<StoreModel>;
    Level(const ObjectTree<StoreModel>& tree, size_t hierarchy, size_t index) : LevelNode(tree, hierarchy, index) {}
};

}  // namespace olap
