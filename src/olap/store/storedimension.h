// The dimensions of a store cube and their hierarchies.
#pragma once

#include "olap/cube/schema.h"
#include "olap/model/collection.h"
#include "olap/store/storeselection.h"

#include <memory>
#include <string>
#include <vector>

namespace olap {

class Cube;
class Hierarchy;
class Level;
class Member;

// A dimension of a store cube (Cube). Hierarchies, levels and members are
// made when first asked for and then kept: asking twice gives the same
// object, so callers may compare members by identity. Every object reached
// from a dimension shares its lifetime: holding any of them keeps the
// dimension and its metadata alive, even after the Cube is gone. Not
// thread-safe: use the model from one thread.
class Dimension : public std::enable_shared_from_this<Dimension> {
public:
    ~Dimension();
    Dimension(const Dimension&) = delete;
    Dimension& operator=(const Dimension&) = delete;

    // The caption used in every list and to find the dimension again.
    const std::string& name() const;
    // "[" + name + "]": the cube field that shows this dimension.
    const std::string& fieldName() const;
    // 0 unknown, 1 time, 2 measure, 3 other.
    DimensionType dimensionType() const;
    // Set on the measures dimension when the store places the measures in
    // the Rows area, and always on the measure-list dimension; clear on every
    // other dimension. Flagged dimensions are not offered in the layout.
    bool specialFlag() const;

    // The hierarchies, items 1 .. count(); item 1 is the first hierarchy.
    Collection<Hierarchy> hierarchyList() const;
    int hierarchyCount() const;
    // Hierarchy `number`, 1 .. hierarchyCount(). Throws Failure 9 otherwise.
    std::shared_ptr<Hierarchy> hierarchy(int number) const;

    // The members checked in this dimension's member editor; empty until the
    // editor fills it.
    MemberSelection& selectedMembers() { return mSelected; }
    const MemberSelection& selectedMembers() const { return mSelected; }

private:
    friend class Cube;
    friend class Hierarchy;
    friend class Level;
    friend class Member;
    friend class MemberSelection;

    Dimension(std::shared_ptr<const DimensionInfo> info, bool specialFlag);
    static std::shared_ptr<Dimension> make(std::shared_ptr<const DimensionInfo> info, bool specialFlag);

    const DimensionInfo& info() const { return *mInfo; }
    std::shared_ptr<Dimension> self() const;
    // A pointer to an object owned by this dimension that keeps it alive.
    template <class T>
    std::shared_ptr<T> share(T& object) const
    {
        return std::shared_ptr<T>(self(), &object);
    }
    Hierarchy& hierarchyObject(size_t hierarchy) const;
    Level& levelObject(size_t hierarchy, size_t level) const;
    Member& memberObject(size_t hierarchy, size_t member) const;

    std::shared_ptr<const DimensionInfo> mInfo;
    bool mSpecialFlag;
    std::vector<std::unique_ptr<Hierarchy>> mHierarchies;
    mutable std::vector<LazyObjects<Member>> mMembers;  // per hierarchy
    MemberSelection mSelected{*this};
};

// A hierarchy of a store dimension: its levels, top first, counted from 1.
class Hierarchy {
public:
    ~Hierarchy();
    Hierarchy(const Hierarchy&) = delete;
    Hierarchy& operator=(const Hierarchy&) = delete;

    const std::string& name() const;
    int levelCount() const;
    // Level `number`, 1 = the top level. Throws Failure 9 outside 1 .. levelCount().
    std::shared_ptr<Level> level(int number) const;
    // The same as level(number), under the name callers use for the top level.
    std::shared_ptr<Level> Levels(int number) const { return level(number); }
    std::shared_ptr<Dimension> dimension() const;

private:
    friend class Dimension;
    Hierarchy(Dimension& owner, size_t index);

    Dimension& mOwner;
    size_t mIndex;
    std::vector<std::unique_ptr<Level>> mLevels;
};

}  // namespace olap
