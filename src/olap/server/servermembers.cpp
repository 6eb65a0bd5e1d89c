#include "olap/server/servermembers.h"

#include "olap/server/serveranswer.h"
#include "olap/server/serversql.h"

#include <algorithm>

namespace olap::server {

ServerMemberSource::ServerMemberSource(ServerSession session, std::string membersTable, uint32_t dimension,
                                       uint32_t hierarchy, std::vector<LevelInfo> levels)
    : mSession(std::move(session)), mMembersTable(std::move(membersTable)), mDimension(dimension),
      mHierarchy(hierarchy), mLevels(std::move(levels)),
      mTotal(mLevels.empty() ? 0 : mLevels.back().firstMember + mLevels.back().memberCount)
{
}

const MemberInfo& ServerMemberSource::member(uint32_t member) const
{
    const std::lock_guard guard(mLock);
    std::unique_ptr<Block>& block = mBlocks[member / kBlock];
    if (!block)
        block = readBlock(member / kBlock);
    return (*block)[member % kBlock];
}

std::unique_ptr<ServerMemberSource::Block> ServerMemberSource::readBlock(uint32_t block) const
{
    const uint32_t first = block * kBlock;
    const uint32_t count = std::min(kBlock, mTotal - std::min(mTotal, first));
    const std::string sql = "SELECT parent, level, name, caption, unique_name, first_child, child_count FROM "
        + quoteName(mMembersTable) + " WHERE dimension = " + std::to_string(mDimension) + " AND hierarchy = "
        + std::to_string(mHierarchy) + " AND member >= " + std::to_string(first) + " AND member < "
        + std::to_string(first + count) + " ORDER BY member FORMAT TabSeparated";
    auto members = std::make_unique<Block>();
    try {
        const auto rows = parseRows(mSession.query(sql), 7, count);
        if (rows.size() != count)
            throw MalformedAnswer{"members " + std::to_string(first) + " to " + std::to_string(first + count - 1)
                                  + " are not all there"};
        members->reserve(count);
        for (const auto& row : rows) {
            MemberInfo member;
            member.parent = int32_t(std::clamp<int64_t>(readInteger(row[0], "a parent"), -1, INT32_MAX));
            member.level = uint16_t(std::min<uint64_t>(readUnsigned(row[1], "a level"), UINT16_MAX));
            member.name = row[2];
            member.caption = row[3];
            member.uniqueName = row[4];
            member.firstChild = uint32_t(std::min<uint64_t>(readUnsigned(row[5], "a first child"), UINT32_MAX));
            member.childCount = uint32_t(std::min<uint64_t>(readUnsigned(row[6], "a child count"), UINT32_MAX));
            checkMember(member, first + uint32_t(members->size()));
            members->push_back(std::move(member));
        }
    } catch (const MalformedAnswer& problem) {
        mSession.malformed(problem.what);
    }
    return members;
}

// Members that would send a walk outside the hierarchy are refused here, so
// that everything above may trust parents, levels and child ranges.
void ServerMemberSource::checkMember(const MemberInfo& member, uint32_t index) const
{
    const bool levelFits = member.level < mLevels.size() && index >= mLevels[member.level].firstMember
                           && index - mLevels[member.level].firstMember < mLevels[member.level].memberCount;
    const bool parentFits = member.level == 0
        ? member.parent == -1
        : member.parent >= 0 && uint32_t(member.parent) - mLevels[member.level - 1].firstMember
                                    < mLevels[member.level - 1].memberCount;
    const bool childrenFit = member.childCount == 0
        || (member.level + 1u < mLevels.size() && member.firstChild >= mLevels[member.level + 1].firstMember
            && uint64_t(member.firstChild) + member.childCount
                   <= uint64_t(mLevels[member.level + 1].firstMember) + mLevels[member.level + 1].memberCount);
    if (!levelFits || !parentFits || !childrenFit)
        throw MalformedAnswer{"member " + std::to_string(index) + " does not fit its hierarchy"};
}

std::vector<std::optional<uint32_t>> ServerMemberSource::find(const std::vector<std::string>& names) const
{
    std::vector<std::optional<uint32_t>> found(names.size());
    std::string list;
    for (const std::string& name : names)
        list += (list.empty() ? "" : ", ") + quoteText(name);
    if (list.empty())
        return found;
    const std::string sql = "SELECT canonical_name, member FROM " + quoteName(mMembersTable)
        + " WHERE dimension = " + std::to_string(mDimension) + " AND hierarchy = " + std::to_string(mHierarchy)
        + " AND canonical_name IN (" + list + ") FORMAT TabSeparated";
    try {
        std::map<std::string, uint32_t> members;
        for (const auto& row : parseRows(mSession.query(sql), 2, names.size() + 1)) {
            const uint64_t member = readUnsigned(row[1], "a member number");
            if (member >= mTotal)
                throw MalformedAnswer{"a member number is out of range"};
            members.emplace(row[0], uint32_t(member));
        }
        for (size_t i = 0; i < names.size(); ++i) {
            if (const auto at = members.find(names[i]); at != members.end() && !names[i].empty())
                found[i] = at->second;
        }
    } catch (const MalformedAnswer& problem) {
        mSession.malformed(problem.what);
    }
    return found;
}

}  // namespace olap::server
