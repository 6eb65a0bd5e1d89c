#include "olap/model/metadata.h"

namespace olap {

std::string bracketed(std::string_view name)
{
    std::string text = "[";
    for (char c : name) {
        text += c;
        if (c == ']')
            text += ']';
    }
    text += ']';
    return text;
}

std::string memberPart(const LevelInfo& level, const MemberInfo& member)
{
    return level.namedByKey ? "&" + bracketed(member.name) : bracketed(member.name);
}

DimensionInfo measuresDimensionInfo(const std::vector<MeasureInfo>& measures, const std::string& name)
{
    DimensionInfo dimension;
    dimension.name = name;
    dimension.fieldName = bracketed(name);
    dimension.type = DimensionType::Measure;
    dimension.keyCount = uint32_t(measures.size());
    HierarchyInfo hierarchy;
    hierarchy.name = name;
    LevelInfo level;
    level.name = kMeasuresLevelName;
    level.memberCount = uint32_t(measures.size());
    hierarchy.levels.push_back(level);
    for (const MeasureInfo& measure : measures) {
        MemberInfo member;
        member.name = measure.name;
        member.caption = measure.name;
        member.uniqueName = dimension.fieldName + "." + bracketed(measure.name);
        hierarchy.memberOfKey.push_back(uint32_t(hierarchy.members.size()));
        hierarchy.members.push_back(std::move(member));
    }
    dimension.hierarchies.push_back(std::move(hierarchy));
    return dimension;
}

namespace {

// Checks that the levels' member ranges follow each other and cover every
// member, and that each member says it is on the level whose range holds it.
std::string checkLevelRanges(const HierarchyInfo& hierarchy)
{
    if (hierarchy.levels.empty())
        return "the hierarchy \"" + hierarchy.name + "\" has no levels";
    size_t next = 0;
    for (size_t l = 0; l < hierarchy.levels.size(); ++l) {
        const LevelInfo& level = hierarchy.levels[l];
        if (level.firstMember != next || next + level.memberCount > hierarchy.members.size())
            return "the members of level \"" + level.name + "\" do not follow the level above";
        for (size_t m = next; m < next + level.memberCount; ++m) {
            if (hierarchy.members[m].level != l)
                return "a member of level \"" + level.name + "\" names another level";
        }
        next += level.memberCount;
    }
    if (next != hierarchy.members.size())
        return "the hierarchy \"" + hierarchy.name + "\" has members on no level";
    return {};
}

}  // namespace

std::string linkChildren(HierarchyInfo& hierarchy)
{
    if (std::string problem = checkLevelRanges(hierarchy); !problem.empty())
        return problem;
    for (MemberInfo& member : hierarchy.members) {
        member.firstChild = 0;
        member.childCount = 0;
    }
    for (size_t m = 0; m < hierarchy.members.size(); ++m) {
        const MemberInfo& member = hierarchy.members[m];
        if (member.level == 0) {
            if (member.parent != -1)
                return "a member of the top level has a parent";
            continue;
        }
        const LevelInfo& above = hierarchy.levels[member.level - 1];
        const int64_t parent = member.parent;
        if (parent < int64_t(above.firstMember) || parent >= int64_t(above.firstMember) + above.memberCount)
            return "the parent of member \"" + member.name + "\" is not on the level above";
        MemberInfo& owner = hierarchy.members[size_t(parent)];
        if (owner.childCount == 0)
            owner.firstChild = uint32_t(m);
        else if (owner.firstChild + owner.childCount != m)
            return "the children of member \"" + owner.name + "\" are not next to each other";
        ++owner.childCount;
    }
    return {};
}

}  // namespace olap
