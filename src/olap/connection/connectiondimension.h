// The dimensions of a connection-model cube (KCube) and their hierarchies.
#pragma once

#include "olap/cube/schema.h"
#include "olap/model/collection.h"

#include <memory>
#include <string>
#include <vector>

namespace olap {

class KCube;
class KHierarchy;
class KLevel;
class KMember;

// A dimension of a KCube. Hierarchies, levels and members are made when
// first asked for and then kept: asking twice gives the same object, so
// callers may compare members by identity. Every object reached from a
// dimension shares its lifetime: holding any of them keeps the dimension and
// its cube's metadata alive. Not thread-safe: use it from one thread.
class KDimension : public std::enable_shared_from_this<KDimension> {
public:
    ~KDimension();
    KDimension(const KDimension&) = delete;
    KDimension& operator=(const KDimension&) = delete;

    // The caption used in every list and to find the dimension again.
    const std::string& name() const;
    // The cube field name, "[" + name + "]", used unchanged for PivotTable fields.
    const std::string& fieldName() const;
    // 0 unknown, 1 time, 2 measure, 3 other.
    DimensionType dimensionType() const;
    // The hierarchies, items 0 .. count() - 1; item 0 is the first.
    Collection<KHierarchy> hierarchies() const;

private:
    friend class KCube;
    friend class KHierarchy;
    friend class KLevel;
    friend class KMember;

    explicit KDimension(std::shared_ptr<const DimensionInfo> info);
    static std::shared_ptr<KDimension> make(std::shared_ptr<const DimensionInfo> info);

    const DimensionInfo& info() const { return *mInfo; }
    std::shared_ptr<KDimension> self() const;
    template <class T>
    std::shared_ptr<T> share(T& object) const
    {
        return std::shared_ptr<T>(self(), &object);
    }
    KHierarchy& hierarchyObject(size_t hierarchy) const;
    KLevel& levelObject(size_t hierarchy, size_t level) const;
    KMember& memberObject(size_t hierarchy, size_t member) const;

    std::shared_ptr<const DimensionInfo> mInfo;
    std::vector<std::unique_ptr<KHierarchy>> mHierarchies;
    mutable std::vector<LazyObjects<KMember>> mMembers;  // per hierarchy
};

// A hierarchy of a KDimension: its levels, top first.
class KHierarchy {
public:
    ~KHierarchy();
    KHierarchy(const KHierarchy&) = delete;
    KHierarchy& operator=(const KHierarchy&) = delete;

    const std::string& name() const;
    // The levels, items 0 .. count() - 1, top first.
    Collection<KLevel> levels() const;
    std::shared_ptr<KDimension> dimension() const;

private:
    friend class KDimension;
    KHierarchy(KDimension& owner, size_t index);

    KDimension& mOwner;
    size_t mIndex;
    std::vector<std::unique_ptr<KLevel>> mLevels;
};

}  // namespace olap
