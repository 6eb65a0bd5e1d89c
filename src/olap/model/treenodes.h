// What the dimensions, hierarchies, levels and members of both cube object
// models have in common, over the shared ObjectTree (objecttree.h). Each
// model's class derives publicly from its node, so both models show what a
// node makes public under the same names; what differs between the models
// (counting from 1 or 0, how a name is spelt) stays in the model's class,
// built on the node's protected part. Nodes are never used on their own:
// their constructors and destructors are for the models' classes.
#pragma once

#include "olap/model/objecttree.h"

#include <memory>
#include <optional>
#include <string>

namespace olap {

// A dimension: owns the tree of its objects.
template <class Model>
class DimensionNode {
public:
    // The caption used in every list and to find the dimension again.
    const std::string& name() const { return mTree.shape().info().name; }
    // "[" + name + "]": the cube field that shows the dimension, used
    // unchanged for PivotTable fields.
    const std::string& fieldName() const { return mTree.shape().info().fieldName; }
    // 0 unknown, 1 time, 2 measure, 3 other.
    DimensionType dimensionType() const { return mTree.shape().info().type; }

protected:
    // `self` is the dimension object deriving from this node.
    DimensionNode(typename Model::Dimension& self, std::shared_ptr<const DimensionInfo> info)
        : mTree(self, std::move(info))
    {
    }
    ~DimensionNode() = default;
    int hierarchyCount() const { return int(mTree.shape().hierarchyCount()); }

    ObjectTree<Model> mTree;
};

// A hierarchy: hierarchy `mIndex` of its dimension.
template <class Model>
class HierarchyNode {
public:
    const std::string& name() const { return mTree.shape().hierarchy(mIndex).name; }
    std::shared_ptr<typename Model::Dimension> dimension() const { return mTree.dimension(); }

protected:
    HierarchyNode(const ObjectTree<Model>& tree, size_t index) : mTree(tree), mIndex(index) {}
    ~HierarchyNode() = default;
    int levelCount() const { return int(mTree.shape().levelCount(mIndex)); }

    const ObjectTree<Model>& mTree;
    size_t mIndex;
};

// A level: level `mIndex` (0 = the top) of hierarchy `mHierarchy`.
template <class Model>
class LevelNode {
public:
    // The level type; LevelType::All (1) marks an "all" level, which holds
    // one member above everything and is always the top level.
    olap::LevelType LevelType() const { return info().type; }
    // The number of items of the level's member collection.
    int levelMemberTotal() const { return int(memberRange().count); }
    // The number of members the cube records for this level. Our cube files
    // record exact counts, so it equals levelMemberTotal(); the member checks
    // read it as "1 means a single top member" on the top level.
    int memberCount() const { return int(info().memberCount); }
    // The next level down; nothing for the last level.
    std::shared_ptr<typename Model::Level> childLevel() const
    {
        const std::optional<size_t> below = mTree.shape().childLevel(mHierarchy, mIndex);
        return below ? mTree.level(mHierarchy, *below) : nullptr;
    }
    std::shared_ptr<typename Model::Hierarchy> hierarchy() const { return mTree.hierarchy(mHierarchy); }
    std::shared_ptr<typename Model::Dimension> dimension() const { return mTree.dimension(); }

protected:
    LevelNode(const ObjectTree<Model>& tree, size_t hierarchy, size_t index)
        : mTree(tree), mHierarchy(hierarchy), mIndex(index)
    {
    }
    ~LevelNode() = default;
    const LevelInfo& info() const { return mTree.shape().level(mHierarchy, mIndex); }
    MemberRange memberRange() const { return mTree.shape().levelMembers(mHierarchy, mIndex); }
    // The level's members in level order.
    Collection<typename Model::Member> memberList(int first, const char* what) const
    {
        return mTree.members(mHierarchy, memberRange(), first, what);
    }

    const ObjectTree<Model>& mTree;
    size_t mHierarchy;
    size_t mIndex;
};

// A member: member `mIndex` of hierarchy `mHierarchy`.
template <class Model>
class MemberNode {
public:
    // What users see.
    const std::string& caption() const { return info().caption; }
    // "[Time].[1997].[Q1]"; "&[...]" marks a part named by key; the "all"
    // member is part of it when the hierarchy has an "all" level.
    const std::string& uniqueName() const { return info().uniqueName; }
    int childCount() const { return int(childRange().count); }
    // The parent member; nothing on the top level.
    std::shared_ptr<typename Model::Member> parent() const
    {
        const std::optional<size_t> parent = mTree.shape().parentOf(mHierarchy, mIndex);
        return parent ? mTree.member(mHierarchy, *parent) : nullptr;
    }
    std::shared_ptr<typename Model::Level> level() const { return mTree.level(mHierarchy, size_t(depth())); }
    std::shared_ptr<typename Model::Dimension> dimension() const { return mTree.dimension(); }

protected:
    MemberNode(const ObjectTree<Model>& tree, size_t hierarchy, size_t index)
        : mTree(tree), mHierarchy(hierarchy), mIndex(index)
    {
    }
    ~MemberNode() = default;
    const MemberInfo& info() const { return mTree.shape().member(mHierarchy, mIndex); }
    // The depth of the member's level: 0 on the top level.
    int depth() const { return int(mTree.shape().levelOf(mHierarchy, mIndex)); }
    MemberRange childRange() const { return mTree.shape().children(mHierarchy, mIndex); }
    // The children in order.
    Collection<typename Model::Member> childList(int first, const char* what) const
    {
        return mTree.members(mHierarchy, childRange(), first, what);
    }

    const ObjectTree<Model>& mTree;
    size_t mHierarchy;
    size_t mIndex;
};

}  // namespace olap
