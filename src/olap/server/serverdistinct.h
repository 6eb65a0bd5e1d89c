// Distinct counts computed on the server. A distinct count cannot be rolled
// up from leaf cells (a customer who bought in two quarters counts once in
// the year), so every tuple of an axis is grouped on its own: a tuple shows
// the leaf members of the fields before one field, a member of that field
// (on some level) and every member of the fields after it. Per pair of such
// groupings, one for each axis, one query groups the facts by the leaf
// expressions of the fields before and the level column of the field, and
// counts each distinct column's different ids (uniqExact; id 0 is no value)
// under the pivot's hidden-member and page conditions. Each answer row is a
// pair of leaf ranges, which gives the cells of the tuples with those ranges.
#pragma once

#include "olap/query/querypivot.h"
#include "olap/server/servercatalog.h"

#include <vector>

namespace olap::server {

// The cells of every distinct count measure of `query` (none when it has
// none). Throws the session's failures; kServerMalformed for an answer that
// names groups the pivot cannot have.
std::vector<query::DistinctCells> serverDistinctCounts(const ServerCatalog& catalog, size_t cube,
                                                       const PivotQuery& query, const query::PivotLayout& layout);

}  // namespace olap::server
