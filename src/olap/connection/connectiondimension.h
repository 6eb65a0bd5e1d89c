// The dimensions of a connection-model cube (KCube) and their hierarchies.
#pragma once

#include "olap/cube/schema.h"
#include "olap/model/collection.h"
#include "olap/model/treenodes.h"

#include <memory>
#include <string>

namespace olap {

class KCube;
class KDimension;
class KHierarchy;
class KLevel;
class KMember;

// The connection model's classes, as the shared tree makes them (objecttree.h).
struct ConnectionModel {
    using Dimension = KDimension;
    using Hierarchy = KHierarchy;
    using Level = KLevel;
    using Member = KMember;
};

// A dimension of a KCube. Hierarchies, levels and members are made when
// first asked for and then kept: asking twice gives the same object, so
// callers may compare members by identity. Every object reached from a
// dimension shares its lifetime: holding any of them keeps the dimension and
// its cube's metadata alive. Not thread-safe: use it from one thread.
// Besides what follows: name(), fieldName(), dimensionType() (treenodes.h).
class KDimension : public std::enable_shared_from_this<KDimension>, public DimensionNode<ConnectionModel> {
public:
    ~KDimension();
    KDimension(const KDimension&) = delete;
    KDimension& operator=(const KDimension&) = delete;

    // The hierarchies, items 0 .. count() - 1; item 0 is the first.
    Collection<KHierarchy> hierarchies() const { return mTree.hierarchies(0, "hierarchies"); }

private:
    friend class KCube;
    explicit KDimension(std::shared_ptr<const DimensionInfo> info);
    static std::shared_ptr<KDimension> make(std::shared_ptr<const DimensionInfo> info);
};

// A hierarchy of a KDimension: its levels, top first.
// Besides what follows: name(), dimension() (treenodes.h).
class KHierarchy : public HierarchyNode<ConnectionModel> {
public:
    KHierarchy(const KHierarchy&) = delete;
    KHierarchy& operator=(const KHierarchy&) = delete;

    // The levels, items 0 .. count() - 1, top first.
    Collection<KLevel> levels() const { return mTree.levels(mIndex, 0, "levels"); }

private:
    friend class ObjectTree<ConnectionModel>;
    KHierarchy(const ObjectTree<ConnectionModel>& tree, size_t index) : HierarchyNode(tree, index) {}
};

}  // namespace olap
