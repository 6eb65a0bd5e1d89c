// The definitions of objecttree.h and treenodes.h. Included only by the one
// source file of each object model that instantiates them, after the
// model's four classes are complete:
//
//     template class olap::ObjectTree<StoreModel>;
//     template class olap::DimensionNode<StoreModel>;  // and the other nodes
#pragma once

#include "olap/model/objecttree.h"
#include "olap/model/treenodes.h"

namespace olap {

template <class Model>
ObjectTree<Model>::ObjectTree(Dimension& owner, std::shared_ptr<const DimensionInfo> info)
    : mOwner(owner), mShape(std::move(info)), mLevels(mShape.hierarchyCount()), mMembers(mShape.hierarchyCount())
{
}

template <class Model>
ObjectTree<Model>::~ObjectTree() = default;

template <class Model>
std::shared_ptr<const ObjectTree<Model>> ObjectTree<Model>::self() const
{
    return std::shared_ptr<const ObjectTree>(mOwner.shared_from_this(), this);
}

template <class Model>
template <class T>
std::shared_ptr<T> ObjectTree<Model>::share(T& object) const
{
    return std::shared_ptr<T>(mOwner.shared_from_this(), &object);
}

template <class Model>
auto ObjectTree<Model>::dimension() const -> std::shared_ptr<Dimension>
{
    return share(mOwner);
}

template <class Model>
auto ObjectTree<Model>::hierarchy(size_t hierarchy) const -> std::shared_ptr<Hierarchy>
{
    return share(
        mHierarchies.get(hierarchy, [&] { return std::unique_ptr<Hierarchy>(new Hierarchy(*this, hierarchy)); }));
}

template <class Model>
auto ObjectTree<Model>::level(size_t hierarchy, size_t level) const -> std::shared_ptr<Level>
{
    return share(
        mLevels[hierarchy].get(level, [&] { return std::unique_ptr<Level>(new Level(*this, hierarchy, level)); }));
}

template <class Model>
auto ObjectTree<Model>::member(size_t hierarchy, size_t member) const -> std::shared_ptr<Member>
{
    return share(
        mMembers[hierarchy].get(member, [&] { return std::unique_ptr<Member>(new Member(*this, hierarchy, member)); }));
}

template <class Model>
auto ObjectTree<Model>::hierarchies(int first, const char* what) const -> Collection<Hierarchy>
{
    return Collection<Hierarchy>(
        int(mShape.hierarchyCount()), first, [tree = self()](int k) { return tree->hierarchy(size_t(k)); }, what);
}

template <class Model>
auto ObjectTree<Model>::levels(size_t hierarchy, int first, const char* what) const -> Collection<Level>
{
    return Collection<Level>(
        int(mShape.levelCount(hierarchy)), first,
        [tree = self(), hierarchy](int k) { return tree->level(hierarchy, size_t(k)); }, what);
}

template <class Model>
auto ObjectTree<Model>::members(size_t hierarchy, MemberRange range, int first, const char* what) const
    -> Collection<Member>
{
    return Collection<Member>(
        int(range.count), first,
        [tree = self(), hierarchy, start = range.first](int k) { return tree->member(hierarchy, start + size_t(k)); },
        what);
}

template <class Model>
DimensionNode<Model>::DimensionNode(typename Model::Dimension& self, std::shared_ptr<const DimensionInfo> info)
    : mTree(self, std::move(info))
{
}

template <class Model>
DimensionNode<Model>::~DimensionNode() = default;

template <class Model>
const std::string& DimensionNode<Model>::name() const
{
    return mTree.shape().info().name;
}

template <class Model>
const std::string& DimensionNode<Model>::fieldName() const
{
    return mTree.shape().info().fieldName;
}

template <class Model>
DimensionType DimensionNode<Model>::dimensionType() const
{
    return mTree.shape().info().type;
}

template <class Model>
int DimensionNode<Model>::hierarchyCount() const
{
    return int(mTree.shape().hierarchyCount());
}

template <class Model>
const std::string& HierarchyNode<Model>::name() const
{
    return mTree.shape().hierarchy(mIndex).name;
}

template <class Model>
std::shared_ptr<typename Model::Dimension> HierarchyNode<Model>::dimension() const
{
    return mTree.dimension();
}

template <class Model>
int HierarchyNode<Model>::levelCount() const
{
    return int(mTree.shape().levelCount(mIndex));
}

template <class Model>
const LevelInfo& LevelNode<Model>::info() const
{
    return mTree.shape().level(mHierarchy, mIndex);
}

template <class Model>
olap::LevelType LevelNode<Model>::LevelType() const
{
    return info().type;
}

template <class Model>
int LevelNode<Model>::levelMemberTotal() const
{
    return int(mTree.shape().levelMembers(mHierarchy, mIndex).count);
}

template <class Model>
int LevelNode<Model>::memberCount() const
{
    return int(info().memberCount);
}

template <class Model>
std::shared_ptr<typename Model::Level> LevelNode<Model>::childLevel() const
{
    const std::optional<size_t> below = mTree.shape().childLevel(mHierarchy, mIndex);
    return below ? mTree.level(mHierarchy, *below) : nullptr;
}

template <class Model>
std::shared_ptr<typename Model::Hierarchy> LevelNode<Model>::hierarchy() const
{
    return mTree.hierarchy(mHierarchy);
}

template <class Model>
std::shared_ptr<typename Model::Dimension> LevelNode<Model>::dimension() const
{
    return mTree.dimension();
}

template <class Model>
Collection<typename Model::Member> LevelNode<Model>::memberList(int first, const char* what) const
{
    return mTree.members(mHierarchy, mTree.shape().levelMembers(mHierarchy, mIndex), first, what);
}

template <class Model>
const std::string& MemberNode<Model>::caption() const
{
    return mTree.shape().member(mHierarchy, mIndex).caption;
}

template <class Model>
const std::string& MemberNode<Model>::uniqueName() const
{
    return mTree.shape().member(mHierarchy, mIndex).uniqueName;
}

template <class Model>
int MemberNode<Model>::childCount() const
{
    return int(mTree.shape().children(mHierarchy, mIndex).count);
}

template <class Model>
std::shared_ptr<typename Model::Member> MemberNode<Model>::parent() const
{
    const std::optional<size_t> parent = mTree.shape().parentOf(mHierarchy, mIndex);
    return parent ? mTree.member(mHierarchy, *parent) : nullptr;
}

template <class Model>
std::shared_ptr<typename Model::Level> MemberNode<Model>::level() const
{
    return mTree.level(mHierarchy, mTree.shape().levelOf(mHierarchy, mIndex));
}

template <class Model>
std::shared_ptr<typename Model::Dimension> MemberNode<Model>::dimension() const
{
    return mTree.dimension();
}

template <class Model>
int MemberNode<Model>::depth() const
{
    return int(mTree.shape().levelOf(mHierarchy, mIndex));
}

template <class Model>
Collection<typename Model::Member> MemberNode<Model>::childList(int first, const char* what) const
{
    return mTree.members(mHierarchy, mTree.shape().children(mHierarchy, mIndex), first, what);
}

}  // namespace olap
