// Members read on demand. A hierarchy of a cube on a server does not hold its
// members: a dimension of a million customers opens as quickly as a small
// one, and a member is read when something asks for it (the member editor
// showing a level, a member expanded, a report's labels). Everything that
// asks about members goes through memberOf(), which answers from memory for
// cube files and from the hierarchy's MemberSource otherwise.
#pragma once

#include "olap/cube/schema.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace olap {

class MemberSource {
public:
    virtual ~MemberSource() = default;

    // Member `member` (below the hierarchy's member total), read first when
    // needed together with its neighbours. The reference stays valid as long
    // as this source. Throws Failure when it cannot be read.
    virtual const MemberInfo& member(uint32_t member) const = 0;

    // The members whose canonical unique names (querymembers.h) are `names`,
    // one entry per name, nothing where no member has it. Throws Failure when
    // they cannot be read.
    virtual std::vector<std::optional<uint32_t>> find(const std::vector<std::string>& names) const = 0;
};

// The number of members of `hierarchy`, in memory or not.
uint32_t memberTotal(const HierarchyInfo& hierarchy);

// Member `member` of `hierarchy`. Requires: member < memberTotal(hierarchy).
// The reference stays valid as long as the hierarchy (and its source).
const MemberInfo& memberOf(const HierarchyInfo& hierarchy, uint32_t member);

}  // namespace olap
