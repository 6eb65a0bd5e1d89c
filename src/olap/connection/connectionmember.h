// The members of a connection-model dimension.
#pragma once

#include "olap/cube/schema.h"
#include "olap/model/collection.h"

#include <cstdint>
#include <memory>
#include <string>

namespace olap {

class KDimension;
class KLevel;

// A member of a KHierarchy. One object per member, made when first asked for
// and owned by its KDimension (connectiondimension.h): holding a member keeps
// the dimension alive, and members can be compared by identity.
class KMember {
public:
    KMember(const KMember&) = delete;
    KMember& operator=(const KMember&) = delete;

    // The member's name as PivotTables use it: its unique name. For a
    // measure that is the data-field name, "[Measures].[Sales Amount]".
    const std::string& name() const;
    // "[Time].[1997].[Q1]"; "&[...]" marks a part named by key; the "all"
    // member is part of it when the hierarchy has an "all" level.
    const std::string& uniqueName() const;
    // What users see.
    const std::string& caption() const;
    // The depth of the member's level: 0 on the top level.
    int levelDepth() const;

    // The parent member; nothing on the top level.
    std::shared_ptr<KMember> parent() const;
    int childCount() const;
    // The children in order, items 0 .. childCount() - 1, made as they are
    // asked for.
    Collection<KMember> children() const;
    std::shared_ptr<KLevel> level() const;
    std::shared_ptr<KDimension> dimension() const;

private:
    friend class KDimension;
    KMember(KDimension& owner, size_t hierarchy, uint32_t index);
    const MemberInfo& info() const;

    KDimension& mOwner;
    size_t mHierarchy;
    uint32_t mIndex;
};

}  // namespace olap
