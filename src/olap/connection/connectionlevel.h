// The levels of a connection-model hierarchy.
#pragma once

#include "olap/cube/schema.h"
#include "olap/model/collection.h"

#include <memory>
#include <string>

namespace olap {

class KDimension;
class KHierarchy;
class KMember;

// A level of a KHierarchy. Owned by its KDimension (connectiondimension.h):
// holding a level keeps the dimension alive.
class KLevel {
public:
    KLevel(const KLevel&) = delete;
    KLevel& operator=(const KLevel&) = delete;

    // The level's field name, "[Dimension].[Level]" ("[Dimension.Hierarchy]
    // .[Level]" beyond the first hierarchy): used unchanged as a PivotTable
    // field name.
    const std::string& name() const { return mName; }
    // The level type; LevelType::All (1) marks an "all" level, which holds
    // one member above everything and is always the top level.
    olap::LevelType LevelType() const;
    // The level's position in its hierarchy: 0 for the top level.
    int index() const;

    // The level's members in level order, items 0 .. count() - 1; made as
    // they are asked for.
    Collection<KMember> members() const;
    // The number of items of members().
    int levelMemberTotal() const;
    // The number of members the cube records for this level. Our cube files
    // record exact counts, so it equals levelMemberTotal(); the member checks
    // read it as "1 means a single top member" on the top level.
    int memberCount() const;

    // The next level down; nothing for the last level.
    std::shared_ptr<KLevel> childLevel() const;
    std::shared_ptr<KHierarchy> hierarchy() const;
    std::shared_ptr<KDimension> dimension() const;

private:
    friend class KHierarchy;
    KLevel(KDimension& owner, size_t hierarchy, size_t index);
    const LevelInfo& info() const;

    KDimension& mOwner;
    size_t mHierarchy;
    size_t mIndex;
    std::string mName;
};

}  // namespace olap
