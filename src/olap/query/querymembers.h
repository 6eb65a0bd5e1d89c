// Finding members by unique name, as pivot renderers and drill lists name them.
//
// A unique name is a dot-separated list of bracketed parts: the hierarchy's
// part, then one part per level from the top ("[Time].[1997].[Q1]"). A "]"
// inside a part is doubled. A part may carry the key marker "&" in front of
// its bracket ("[Time].&[1997].&[Q1]"); lookups ignore the marker, so both
// spellings, and any mix of them, name the same member. Lookups also accept a
// path that includes or leaves out the "all" member ("[Time].[All Time].[1997]"
// and "[Time].[1997]"). Names are compared exactly (case matters).
#pragma once

#include "olap/cube/schema.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace olap {

// `uniqueName` in the one spelling lookups compare: plain bracketed parts
// without key markers, without the part of the "all" member named
// `allMember` (empty: the hierarchy has none). Nothing for a malformed name.
std::optional<std::string> canonicalMemberName(std::string_view uniqueName, const std::string& allMember);

// The name of the hierarchy's "all" member; empty when it has none.
std::string allMemberName(const HierarchyInfo& hierarchy);

// The member of `hierarchy` that `uniqueName` names, as an index into
// hierarchy.members; nullopt when none does or the name is malformed. Reads
// every member: for many lookups in one hierarchy, use MemberNameIndex.
std::optional<uint32_t> findMember(const HierarchyInfo& hierarchy, std::string_view uniqueName);

// The same lookup through a hash index built once; for a hierarchy whose
// members are read on demand, through its member source (one request for
// all the names given to findAll).
class MemberNameIndex {
public:
    // Keeps no reference to `hierarchy`, only to its member source.
    explicit MemberNameIndex(const HierarchyInfo& hierarchy);

    std::optional<uint32_t> find(std::string_view uniqueName) const;
    std::vector<std::optional<uint32_t>> findAll(const std::vector<std::string>& uniqueNames) const;

private:
    std::string mAllMember;  // the "all" member's name; empty when there is none
    std::unordered_map<std::string, uint32_t> mMembers;  // canonical name -> member
    std::shared_ptr<const MemberSource> mSource;
};

}  // namespace olap
