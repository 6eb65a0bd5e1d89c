#include "olap/model/membersource.h"

namespace olap {

uint32_t memberTotal(const HierarchyInfo& hierarchy)
{
    if (!hierarchy.memberSource || hierarchy.levels.empty())
        return uint32_t(hierarchy.members.size());
    const LevelInfo& last = hierarchy.levels.back();
    return last.firstMember + last.memberCount;
}

const MemberInfo& memberOf(const HierarchyInfo& hierarchy, uint32_t member)
{
    if (hierarchy.memberSource)
        return hierarchy.memberSource->member(member);
    return hierarchy.members[member];
}

}  // namespace olap
