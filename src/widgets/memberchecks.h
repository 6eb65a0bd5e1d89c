// MemberChecks: the check state of a member tree editor, as an ordered set of
// the checked members in the order they were checked.
#pragma once

#include "widgets/dimmember.h"

#include <memory>
#include <unordered_set>

namespace olap {
class Dimension;
class KDimension;
}

// For a store dimension the set is the dimension's own selectedMembers(): the
// editor's check boxes and what the PivotTable build reads are one state, and
// a selection the dimension already holds shows as checked. For a connection
// dimension the set is held here. Members are compared by identity.
class MemberChecks {
public:
    // An empty set for no dimension: it stays empty.
    MemberChecks() = default;
    // The selection of `dimension`, which this keeps alive. Requires: not null.
    explicit MemberChecks(std::shared_ptr<olap::Dimension> dimension);
    // An empty set of its own for members of `dimension`, which this keeps
    // alive. Requires: not null.
    explicit MemberChecks(std::shared_ptr<olap::KDimension> dimension);

    int count() const;
    bool contains(const DimMember& member) const;
    // The checked members, in the order they were checked.
    DimMembers members() const;

    // Adds the members not yet checked, at the end, in the given order.
    // Returns how many were added. Throws Failure 5 when a member is not one
    // of the dimension's (of the other model, of another dimension, or
    // nothing): nothing is added then.
    int add(const DimMembers& members);
    // Removes the given members; the rest keep their order. Returns how many
    // were removed. Refuses members as add() does.
    int remove(const DimMembers& members);
    void clear();

private:
    void requireOwnMembers(const DimMembers& members) const;
    int removeFromSelection(const DimMembers& members);

    std::shared_ptr<olap::Dimension> mDimension;    // store model; null otherwise
    std::shared_ptr<olap::KDimension> mKDimension;  // connection model; null otherwise
    DimMembers mOrder;                            // connection model
    std::unordered_set<const void*> mSet;         // connection model
};
