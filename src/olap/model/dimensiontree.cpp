#include "olap/model/dimensiontree.h"

#include "olap/model/membersource.h"
#include "olap/model/metadata.h"

#include <vector>

namespace olap {

DimensionTree::DimensionTree(std::shared_ptr<const DimensionInfo> info) : mInfo(std::move(info)) {}

size_t DimensionTree::hierarchyCount() const { return mInfo->hierarchies.size(); }

const HierarchyInfo& DimensionTree::hierarchy(size_t hierarchy) const { return mInfo->hierarchies[hierarchy]; }

size_t DimensionTree::levelCount(size_t hierarchy) const { return this->hierarchy(hierarchy).levels.size(); }

const LevelInfo& DimensionTree::level(size_t hierarchy, size_t level) const
{
    return this->hierarchy(hierarchy).levels[level];
}

std::optional<size_t> DimensionTree::childLevel(size_t hierarchy, size_t level) const
{
    if (level + 1 >= levelCount(hierarchy))
        return std::nullopt;
    return level + 1;
}

MemberRange DimensionTree::levelMembers(size_t hierarchy, size_t level) const
{
    const LevelInfo& info = this->level(hierarchy, level);
    return {info.firstMember, info.memberCount};
}

const MemberInfo& DimensionTree::member(size_t hierarchy, size_t member) const
{
    return memberOf(this->hierarchy(hierarchy), uint32_t(member));
}

size_t DimensionTree::levelOf(size_t hierarchy, size_t member) const { return this->member(hierarchy, member).level; }

std::optional<size_t> DimensionTree::parentOf(size_t hierarchy, size_t member) const
{
    const int32_t parent = this->member(hierarchy, member).parent;
    if (parent < 0)
        return std::nullopt;
    return size_t(parent);
}

MemberRange DimensionTree::children(size_t hierarchy, size_t member) const
{
    const MemberInfo& info = this->member(hierarchy, member);
    return {info.firstChild, info.childCount};
}

std::string DimensionTree::memberPart(size_t hierarchy, size_t member) const
{
    return olap::memberPart(level(hierarchy, levelOf(hierarchy, member)), this->member(hierarchy, member));
}

std::string DimensionTree::namePath(size_t hierarchy, size_t member) const
{
    std::vector<size_t> line{member};  // the member and its ancestors, bottom up
    while (std::optional<size_t> parent = parentOf(hierarchy, line.back()))
        line.push_back(*parent);
    std::string path;
    for (auto it = line.rbegin(); it != line.rend(); ++it) {
        if (!path.empty())
            path += '.';
        path += memberPart(hierarchy, *it);
    }
    return path;
}

}  // namespace olap
