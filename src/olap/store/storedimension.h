// The dimensions of a store cube and their hierarchies.
#pragma once

#include "olap/cube/schema.h"
#include "olap/model/collection.h"
#include "olap/model/treenodes.h"
#include "olap/store/storeselection.h"

#include <memory>

namespace olap {

class Cube;
class Dimension;
class Hierarchy;
class Level;
class Member;

// The store model's classes, as the shared tree makes them (objecttree.h).
struct StoreModel {
    using Dimension = olap::Dimension;
    using Hierarchy = olap::Hierarchy;
    using Level = olap::Level;
    using Member = olap::Member;
};

// A dimension of a store cube (Cube). Hierarchies, levels and members are
// made when first asked for and then kept: asking twice gives the same
// object, so callers may compare members by identity. Every object reached
// from a dimension shares its lifetime: holding any of them keeps the
// dimension and its metadata alive, even after the Cube is gone. Not
// thread-safe: use the model from one thread.
// Besides what follows: name(), fieldName(), dimensionType() (treenodes.h).
class Dimension : public std::enable_shared_from_this<Dimension>, public DimensionNode<StoreModel> {
public:
    ~Dimension();
    Dimension(const Dimension&) = delete;
    Dimension& operator=(const Dimension&) = delete;

    // Set on the measures dimension when the store places the measures in
    // the Rows area, and always on the measure-list dimension; clear on every
    // other dimension. Flagged dimensions are not offered in the layout.
    bool specialFlag() const { return mSpecialFlag; }

    // The hierarchies, items 1 .. count(); item 1 is the first hierarchy.
    Collection<Hierarchy> hierarchyList() const;
    using DimensionNode::hierarchyCount;
    // Hierarchy `number`, 1 .. hierarchyCount(). Throws Failure 9 otherwise.
    std::shared_ptr<Hierarchy> hierarchy(int number) const;

    // The members checked in this dimension's member editor; empty until the
    // editor fills it.
    MemberSelection& selectedMembers() { return mSelected; }
    const MemberSelection& selectedMembers() const { return mSelected; }

private:
    friend class Cube;

    Dimension(std::shared_ptr<const DimensionInfo> info, bool specialFlag);
    static std::shared_ptr<Dimension> make(std::shared_ptr<const DimensionInfo> info, bool specialFlag);

    bool mSpecialFlag;
    MemberSelection mSelected{*this};
};

// A hierarchy of a store dimension: its levels, top first, counted from 1.
// Besides what follows: name(), dimension() (treenodes.h).
class Hierarchy : public HierarchyNode<StoreModel> {
public:
    Hierarchy(const Hierarchy&) = delete;
    Hierarchy& operator=(const Hierarchy&) = delete;

    using HierarchyNode::levelCount;
    // Level `number`, 1 = the top level. Throws Failure 9 outside 1 .. levelCount().
    std::shared_ptr<Level> level(int number) const;
    // The same as level(number), under the name callers use for the top level.
    std::shared_ptr<Level> Levels(int number) const { return level(number); }

private:
    friend class ObjectTree<StoreModel>;
    Hierarchy(const ObjectTree<StoreModel>& tree, size_t index) : HierarchyNode(tree, index) {}
};

}  // namespace olap
