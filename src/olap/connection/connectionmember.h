// The members of a connection-model dimension.
#pragma once

#include "olap/connection/connectiondimension.h"
#include "olap/model/treenodes.h"

#include <memory>
#include <string>

namespace olap {

// A member of a KHierarchy. One object per member, made when first asked for
// and owned by its KDimension (connectiondimension.h): holding a member keeps
// the dimension alive, and members can be compared by identity. Besides what
// follows: uniqueName(), caption(), childCount(), parent(), level(),
// dimension() (treenodes.h).
class KMember : public MemberNode<ConnectionModel> {
public:
    KMember(const KMember&) = delete;
    KMember& operator=(const KMember&) = delete;

    // The member's name as PivotTables use it: its unique name. For a
    // measure that is the data-field name, "[Measures].[Sales Amount]".
    const std::string& name() const { return uniqueName(); }
    // The depth of the member's level: 0 on the top level.
    int levelDepth() const { return depth(); }

    // The children in order, items 0 .. childCount() - 1, made as they are
    // asked for.
    Collection<KMember> children() const { return childList(0, "children"); }

private:
    friend class ObjectTree<ConnectionModel>;
    KMember(const ObjectTree<ConnectionModel>& tree, size_t hierarchy, size_t index)
        : MemberNode(tree, hierarchy, index)
    {
    }
};

}  // namespace olap
