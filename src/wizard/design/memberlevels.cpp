#include "wizard/design/memberlevels.h"

#include "olap/connection/connectionmodel.h"
#include "olap/store/storemodel.h"
#include "platform/core/failure.h"

namespace {

template <class Range>
DimMembers collect(const Range& members)
{
    DimMembers out;
    out.reserve(size_t(members.count()));
    for (const auto& member : members)
        out.emplace_back(member);
    return out;
}

std::shared_ptr<olap::Level> topLevel(const olap::Dimension& dimension)
{
    return dimension.hierarchyList().item(1)->Levels(1);
}

std::shared_ptr<olap::KLevel> topLevel(const olap::KDimension& dimension)
{
    return dimension.hierarchies().item(0)->levels().item(0);
}

}  // namespace

TopLevelCounts topLevelCounts(const olap::Dimension& dimension)
{
    const auto top = topLevel(dimension);
    return {top->memberCount(), top->levelMemberTotal(), top->childLevel() != nullptr};
}

TopLevelCounts topLevelCounts(const olap::KDimension& dimension)
{
    const auto top = topLevel(dimension);
    const int levelCount = top->hierarchy()->levels().count();
    return {top->memberCount(), top->levelMemberTotal(), top->index() + 1 != levelCount};
}

DimMembers defaultMembers(const olap::Dimension& dimension)
{
    const auto top = topLevel(dimension);
    const auto next = top->childLevel();
    return collect(top->memberCount() == 1 && next ? next->levelMembers() : top->levelMembers());
}

DimMembers defaultMembers(const olap::KDimension& dimension)
{
    const auto top = topLevel(dimension);
    const auto next = top->childLevel();
    return collect(top->memberCount() == 1 && next ? next->members() : top->members());
}

DimMembers levelMembersOf(const DimMember& member)
{
    if (member.member())
        return collect(member.member()->level()->levelMembers());
    return collect(platform::requireObject(member.kMember().get(), "member").level()->members());
}

DimMembers membersOf(const MemberList& list)
{
    DimMembers out;
    out.reserve(size_t(list.count()));
    for (int i = 0; i < list.count(); ++i)
        out.push_back(list.at(i));
    return out;
}
