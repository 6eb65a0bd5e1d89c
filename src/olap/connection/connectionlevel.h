// The levels of a connection-model hierarchy.
#pragma once

#include "olap/connection/connectiondimension.h"
#include "olap/model/treenodes.h"

#include <memory>
#include <string>

namespace olap {

// A level of a KHierarchy. Owned by its KDimension (connectiondimension.h):
// holding a level keeps the dimension alive. Besides what follows:
// LevelType(), levelMemberTotal() (the count of members()), memberCount(),
// childLevel(), hierarchy(), dimension() (treenodes.h).
class KLevel : public LevelNode<ConnectionModel> {
public:
    KLevel(const KLevel&) = delete;
    KLevel& operator=(const KLevel&) = delete;

    // The level's field name, "[Dimension].[Level]" ("[Dimension.Hierarchy]
    // .[Level]" beyond the first hierarchy): used unchanged as a PivotTable
    // field name.
    const std::string& name() const { return mName; }
    // The level's position in its hierarchy: 0 for the top level.
    int index() const { return int(mIndex); }

    // The level's members in level order, items 0 .. count() - 1; made as
    // they are asked for.
    Collection<KMember> members() const { return memberList(0, "members"); }

private:
    friend class ObjectTree<ConnectionModel>;
    KLevel(const ObjectTree<ConnectionModel>& tree, size_t hierarchy, size_t index);

    std::string mName;
};

}  // namespace olap
