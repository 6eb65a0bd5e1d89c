// The shape of one dimension, navigated by index: its hierarchies, each
// hierarchy's levels top first, and its members with their parents and
// children. Both cube object models ask every question about the shape of a
// dimension here and nowhere else, so a dimension whose members are read on
// demand needs only another way to answer them.
//
// Hierarchies and levels are numbered from 0 within their owner; members
// from 0 within their hierarchy. Indices are not checked: the callers hand
// in only indices that this class gave them or that a count bounds.
#pragma once

#include "olap/cube/schema.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <string>

namespace olap {

// Members [first, first + count) of a hierarchy: a level's members, or a
// member's children.
struct MemberRange {
    size_t first = 0;
    size_t count = 0;
};

class DimensionTree {
public:
    // Holds `info` alive as long as the tree.
    explicit DimensionTree(std::shared_ptr<const DimensionInfo> info);

    const DimensionInfo& info() const { return *mInfo; }

    size_t hierarchyCount() const;
    const HierarchyInfo& hierarchy(size_t hierarchy) const;

    size_t levelCount(size_t hierarchy) const;
    const LevelInfo& level(size_t hierarchy, size_t level) const;
    // The level below `level`; nothing for the last level.
    std::optional<size_t> childLevel(size_t hierarchy, size_t level) const;
    MemberRange levelMembers(size_t hierarchy, size_t level) const;

    const MemberInfo& member(size_t hierarchy, size_t member) const;
    // The depth of the member's level: 0 on the top level.
    size_t levelOf(size_t hierarchy, size_t member) const;
    // The parent member; nothing on the top level.
    std::optional<size_t> parentOf(size_t hierarchy, size_t member) const;
    MemberRange children(size_t hierarchy, size_t member) const;

    // The member's own bracketed part of a name path (metadata.h's memberPart).
    std::string memberPart(size_t hierarchy, size_t member) const;
    // The parts of the member and its ancestors from the top, joined by ".".
    std::string namePath(size_t hierarchy, size_t member) const;

private:
    std::shared_ptr<const DimensionInfo> mInfo;
};

}  // namespace olap
