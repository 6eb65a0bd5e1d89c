// The definitions of objecttree.h. Included only by the one source file of
// each object model that instantiates them, after the model's four classes
// are complete:
//
//     template class olap::ObjectTree<StoreModel>;
#pragma once

#include "olap/model/objecttree.h"

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

}  // namespace olap
