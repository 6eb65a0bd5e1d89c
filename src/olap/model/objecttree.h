// The objects of one dimension as a cube object model shows them: one
// object per hierarchy, level and member, made the first time it is asked
// for and kept, so asking twice gives the same object and callers may
// compare members by identity. Both object models (the store model and the
// connection model) keep their objects here; their classes are thin facades
// over the nodes of treenodes.h.
//
// A Model names the four classes of one object model:
//
//     struct StoreModel {
//         using Dimension = olap::Dimension;  // derives from std::enable_shared_from_this<Dimension>
//         using Hierarchy = olap::Hierarchy;
//         using Level = olap::Level;
//         using Member = olap::Member;
//     };
//
// The dimension object owns its tree. Hierarchy, Level and Member have
// constructors (const ObjectTree<Model>&, size_t hierarchy[, size_t index])
// open to the tree. Every pointer the tree gives shares the dimension's
// ownership: holding any object keeps the dimension alive.
//
// The definitions are in objecttreeimpl.h, instantiated once per model;
// the node templates of treenodes.h need none of their own.
// Not thread-safe: the models are used from one thread.
#pragma once

#include "olap/model/collection.h"
#include "olap/model/dimensiontree.h"

#include <memory>
#include <vector>

namespace olap {

template <class Model>
class ObjectTree {
public:
    using Dimension = typename Model::Dimension;
    using Hierarchy = typename Model::Hierarchy;
    using Level = typename Model::Level;
    using Member = typename Model::Member;

    // `owner` holds this tree; it must be owned by a std::shared_ptr before
    // anything below is asked for.
    ObjectTree(Dimension& owner, std::shared_ptr<const DimensionInfo> info);
    ~ObjectTree();
    ObjectTree(const ObjectTree&) = delete;
    ObjectTree& operator=(const ObjectTree&) = delete;

    // Where every question about the dimension's shape is answered.
    const DimensionTree& shape() const { return mShape; }

    std::shared_ptr<Dimension> dimension() const;
    // Requires, for the three below: indices within the shape's counts.
    std::shared_ptr<Hierarchy> hierarchy(size_t hierarchy) const;
    std::shared_ptr<Level> level(size_t hierarchy, size_t level) const;
    std::shared_ptr<Member> member(size_t hierarchy, size_t member) const;

    // Collections of the objects above, items first .. first + count - 1,
    // named `what` (a string literal) in their failures. A collection keeps
    // the dimension alive.
    Collection<Hierarchy> hierarchies(int first, const char* what) const;
    Collection<Level> levels(size_t hierarchy, int first, const char* what) const;
    Collection<Member> members(size_t hierarchy, MemberRange range, int first, const char* what) const;

private:
    std::shared_ptr<const ObjectTree> self() const;
    template <class T>
    std::shared_ptr<T> share(T& object) const;

    Dimension& mOwner;
    DimensionTree mShape;
    mutable LazyObjects<Hierarchy> mHierarchies;
    mutable std::vector<LazyObjects<Level>> mLevels;    // per hierarchy
    mutable std::vector<LazyObjects<Member>> mMembers;  // per hierarchy
};

}  // namespace olap
