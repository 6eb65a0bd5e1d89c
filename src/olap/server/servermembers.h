// The members of one hierarchy of a published cube, read from its members
// table on demand, in blocks of neighbouring members: a level shown, or the
// children of a member expanded, are one range of the table's sort key and
// cost one request. Blocks once read are kept as long as the source.
#pragma once

#include "olap/model/membersource.h"
#include "olap/server/serversession.h"

#include <map>
#include <memory>
#include <mutex>

namespace olap::server {

class ServerMemberSource final : public MemberSource {
public:
    // Members of hierarchy `hierarchy` of dimension `dimension` in `membersTable`
    // of the session's database; `levels` are the hierarchy's levels.
    ServerMemberSource(ServerSession session, std::string membersTable, uint32_t dimension, uint32_t hierarchy,
                       std::vector<LevelInfo> levels);

    const MemberInfo& member(uint32_t member) const override;
    std::vector<std::optional<uint32_t>> find(const std::vector<std::string>& names) const override;

    // Members per request.
    static constexpr uint32_t kBlock = 4096;

private:
    using Block = std::vector<MemberInfo>;
    std::unique_ptr<Block> readBlock(uint32_t block) const;
    void checkMember(const MemberInfo& member, uint32_t index) const;

    ServerSession mSession;
    std::string mMembersTable;
    uint32_t mDimension;
    uint32_t mHierarchy;
    std::vector<LevelInfo> mLevels;
    uint32_t mTotal;
    mutable std::mutex mLock;
    mutable std::map<uint32_t, std::unique_ptr<Block>> mBlocks;
};

}  // namespace olap::server
