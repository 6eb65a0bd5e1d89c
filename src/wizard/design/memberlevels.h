// What the member steps read from a dimension's first hierarchy, in either
// cube model: the counts of its top level, the members checked when the
// dimension is opened, and the member groups of the right-click menu.
#pragma once

#include "widgets/dimmember.h"

namespace olap {
class Dimension;
class KDimension;
}  // namespace olap

// The top level of a dimension's first hierarchy.
struct TopLevelCounts {
    int memberCount = 0;        // the members the cube records for the level
    int levelMemberTotal = 0;   // the members the level's collection holds
    bool hasNextLevel = false;  // a level lies below it
};
TopLevelCounts topLevelCounts(const olap::Dimension& dimension);
TopLevelCounts topLevelCounts(const olap::KDimension& dimension);

// The members checked when a dimension is opened: those of its top level in
// level order, or, when the top level is a single member with a level below
// it (an "all" member), the members of that next level.
DimMembers defaultMembers(const olap::Dimension& dimension);
DimMembers defaultMembers(const olap::KDimension& dimension);

// Every member of `member`'s level, in level order. Requires: not null.
DimMembers levelMembersOf(const DimMember& member);
// The members of `list`, in order.
DimMembers membersOf(const MemberList& list);
