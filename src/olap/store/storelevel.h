// The levels of a store dimension's hierarchy.
#pragma once

#include "olap/cube/schema.h"
#include "olap/model/collection.h"

#include <memory>
#include <string>

namespace olap {

class Dimension;
class Hierarchy;
class Member;

// A level of a store hierarchy. Owned by its Dimension (storedimension.h):
// holding a level keeps the dimension alive.
class Level {
public:
    Level(const Level&) = delete;
    Level& operator=(const Level&) = delete;

    const std::string& name() const;
    // The level type; LevelType::All (1) marks an "all" level, which holds
    // one member above everything and is always the top level.
    olap::LevelType LevelType() const;
    // 0 for the top level, 1 for the level below it, and so on.
    int depth() const;

    // The level's members in level order, items 1 .. levelMemberTotal();
    // made as they are asked for.
    Collection<Member> levelMembers() const;
    // The number of items of levelMembers().
    int levelMemberTotal() const;
    // The number of members the cube records for this level. Our cube files
    // record exact counts, so it equals levelMemberTotal(); the member checks
    // read it as "1 means a single top member" on the top level.
    int memberCount() const;

    // The next level down; nothing for the last level.
    std::shared_ptr<Level> childLevel() const;
    std::shared_ptr<Hierarchy> hierarchy() const;
    std::shared_ptr<Dimension> dimension() const;

private:
    friend class Hierarchy;
    Level(Dimension& owner, size_t hierarchy, size_t index);
    const LevelInfo& info() const;

    Dimension& mOwner;
    size_t mHierarchy;
    size_t mIndex;
};

}  // namespace olap
