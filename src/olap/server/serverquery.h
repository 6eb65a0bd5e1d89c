// Pivots computed on the server. One SQL query per pivot groups the facts by
// the visible leaf member of every placed field (an expression over the
// fact's members on each level: the first of its ancestors, from the top,
// that the pivot shows closed), leaves out hidden members and what is not
// selected on page fields with IN tests, and returns per group and measure
// the aggregate and the count of values. So the server sends one row per
// non-empty leaf cell of the pivot, however many facts lie beneath; the
// subtotals and grand totals are then merged from those exact leaf
// aggregates by the same code as the local engine's (never by the server's
// WITH ROLLUP), with the same visual-total and empty rules (query.h).
#pragma once

#include "olap/query/query.h"
#include "olap/server/servercatalog.h"

#include <string>

namespace olap::server {

// Computes `query` on cube `cube` of `catalog`. Throws the query's own
// failures (query.h) and the session's.
QueryResult runServerQuery(const ServerCatalog& catalog, size_t cube, const PivotQuery& query);

}  // namespace olap::server
