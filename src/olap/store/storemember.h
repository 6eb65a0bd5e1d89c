// The members of a store dimension.
#pragma once

#include "olap/cube/schema.h"
#include "olap/model/collection.h"

#include <cstdint>
#include <memory>
#include <string>

namespace olap {

class Dimension;
class Level;

// A member of a store hierarchy. One object per member, made when first
// asked for and owned by its Dimension (storedimension.h): holding a member
// keeps the dimension alive, and members can be compared by identity.
class Member {
public:
    Member(const Member&) = delete;
    Member& operator=(const Member&) = delete;

    // The member's own name as unique names spell it: one bracketed part,
    // "[Q1]", "&[1997]" on a level named by key, "[Sales Amount]" for a
    // measure. Appended to "[Measures]." it forms a measure's data-field
    // name: "[Measures].[Sales Amount]".
    std::string name() const;
    // What users see.
    const std::string& caption() const;
    // "[Time].[1997].[Q1]"; the "all" member is part of it when the
    // hierarchy has an "all" level.
    const std::string& uniqueName() const;
    // The bracketed parts of the member and its ancestors from the top,
    // joined by ".": "[1997].[Q1]" for a member of the second level, with the
    // "all" member as the first part when the hierarchy has an "all" level.
    // The number of parts is the member's level depth + 1.
    std::string namePath() const;

    int childCount() const;
    // Child `number`, 1 .. childCount(), in order. Throws Failure 9 otherwise.
    std::shared_ptr<Member> child(int number) const;
    // The children, items 1 .. childCount(), made as they are asked for.
    Collection<Member> children() const;
    // The parent member; nothing on the top level.
    std::shared_ptr<Member> parent() const;
    std::shared_ptr<Level> level() const;
    std::shared_ptr<Dimension> dimension() const;

private:
    friend class Dimension;
    Member(Dimension& owner, size_t hierarchy, uint32_t index);
    const MemberInfo& info() const;

    Dimension& mOwner;
    size_t mHierarchy;
    uint32_t mIndex;
};

}  // namespace olap
