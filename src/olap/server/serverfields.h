// How a server pivot's SQL names its placed fields and leaves out facts:
// shared by the pivot's leaf query (serverquery.cpp) and its distinct counts
// (serverdistinct.cpp). Private to the server provider.
#pragma once

#include "olap/query/querylayout.h"
#include "olap/server/servercatalog.h"

#include <string>
#include <unordered_map>
#include <vector>

namespace olap::server {

// One placed field: its grouping expression (the fact's visible leaf
// member), and the leaf of each member the expression can give.
struct FieldGrouping {
    std::string expression;
    std::unordered_map<uint32_t, uint32_t> leafOfMember;
};

FieldGrouping fieldGrouping(const HierarchyInfo& hierarchy, const std::vector<std::string>& columns,
                            const query::FieldLayout& layout);

// The conditions that leave out the facts beneath hidden members of placed
// fields and those not beneath a selected member of a page field, each
// preceded by " AND "; empty when every fact takes part.
std::string factConditions(const CubeInfo& cube, const ServerCubeTables& tables, const PivotQuery& query);

}  // namespace olap::server
