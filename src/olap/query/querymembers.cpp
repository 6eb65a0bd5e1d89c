// Unique names reduced to one canonical spelling: plain bracketed parts
// without key markers, and without the "all" member's part.
#include "olap/query/querymembers.h"

#include "olap/model/membersource.h"

#include <vector>

namespace olap {

namespace {

// The bracketed parts of `name` without their key markers; nullopt when the
// name is not a list of bracketed parts.
std::optional<std::vector<std::string>> parseParts(std::string_view name)
{
    std::vector<std::string> parts;
    size_t at = 0;
    while (true) {
        if (at < name.size() && name[at] == '&')
            ++at;
        if (at >= name.size() || name[at] != '[')
            return std::nullopt;
        std::string part;
        for (++at;; ++at) {
            if (at >= name.size())
                return std::nullopt;
            if (name[at] == ']') {
                if (at + 1 < name.size() && name[at + 1] == ']') {
                    part += ']';
                    ++at;
                    continue;
                }
                break;
            }
            part += name[at];
        }
        parts.push_back(std::move(part));
        if (++at == name.size())
            return parts;
        if (name[at] != '.')
            return std::nullopt;
        ++at;
    }
}

// The canonical spelling, or nullopt for a malformed name. A path below the
// "all" member drops it, so that paths with and without it meet.
}  // namespace

std::string allMemberName(const HierarchyInfo& hierarchy)
{
    if (hierarchy.levels.empty() || hierarchy.levels[0].type != LevelType::All || memberTotal(hierarchy) == 0)
        return {};
    return memberOf(hierarchy, 0).name;
}

std::optional<std::string> canonicalMemberName(std::string_view name, const std::string& allMember)
{
    auto parts = parseParts(name);
    if (!parts)
        return std::nullopt;
    std::string result;
    for (size_t i = 0; i < parts->size(); ++i) {
        const bool allStep = i == 1 && parts->size() > 2 && !allMember.empty() && (*parts)[1] == allMember;
        if (allStep)
            continue;
        if (!result.empty())
            result += '.';
        result += '[';
        for (char c : (*parts)[i])
            result.append(c == ']' ? 2 : 1, c);
        result += ']';
    }
    return result;
}

namespace {

std::optional<std::string> canonical(std::string_view name, const std::string& allMember)
{
    return canonicalMemberName(name, allMember);
}

}  // namespace

std::optional<uint32_t> findMember(const HierarchyInfo& hierarchy, std::string_view uniqueName)
{
    if (hierarchy.memberSource)
        return MemberNameIndex(hierarchy).find(uniqueName);
    const std::string allMember = allMemberName(hierarchy);
    const auto wanted = canonical(uniqueName, allMember);
    if (!wanted)
        return std::nullopt;
    for (uint32_t m = 0; m < hierarchy.members.size(); ++m) {
        if (canonical(hierarchy.members[m].uniqueName, allMember) == wanted)
            return m;
    }
    return std::nullopt;
}

MemberNameIndex::MemberNameIndex(const HierarchyInfo& hierarchy)
    : mAllMember(allMemberName(hierarchy)), mSource(hierarchy.memberSource)
{
    mMembers.reserve(hierarchy.members.size());
    for (uint32_t m = 0; m < hierarchy.members.size(); ++m) {
        if (auto name = canonical(hierarchy.members[m].uniqueName, mAllMember))
            mMembers.try_emplace(std::move(*name), m);
    }
}

std::vector<std::optional<uint32_t>> MemberNameIndex::findAll(const std::vector<std::string>& uniqueNames) const
{
    if (!mSource) {
        std::vector<std::optional<uint32_t>> found;
        for (const std::string& name : uniqueNames)
            found.push_back(find(name));
        return found;
    }
    // Malformed names ask for an empty name, which no member has.
    std::vector<std::string> wanted;
    for (const std::string& name : uniqueNames)
        wanted.push_back(canonical(name, mAllMember).value_or(std::string()));
    return mSource->find(wanted);
}

std::optional<uint32_t> MemberNameIndex::find(std::string_view uniqueName) const
{
    if (mSource)
        return findAll({std::string(uniqueName)}).at(0);
    const auto wanted = canonical(uniqueName, mAllMember);
    if (!wanted)
        return std::nullopt;
    const auto found = mMembers.find(*wanted);
    if (found == mMembers.end())
        return std::nullopt;
    return found->second;
}

}  // namespace olap
