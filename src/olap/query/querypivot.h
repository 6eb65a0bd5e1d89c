// The steps of a pivot that do not depend on where the facts are: checking
// the query, laying out both axes, and turning leaf accumulators into the
// result. The local engine fills the leaves by scanning facts in memory; the
// server provider fills them from the server's GROUP BY.
#pragma once

#include "olap/query/querylayout.h"
#include "olap/query/queryrollup.h"
#include "olap/query/queryscan.h"

#include <span>

namespace olap::query {

struct PivotLayout {
    AxisLayout rows;
    AxisLayout columns;
    // Cells of the leaf accumulators: rows.leafCount * columns.leafCount.
    uint32_t cellCount() const { return uint32_t(rows.leafCount * columns.leafCount); }
};

// Checks `query` against `cube` and lays out both axes with their tuples.
// With `mapKeys`, each field also maps every key to its leaf (for a scan).
// Throws runQuery's failures.
PivotLayout layOutPivot(const CubeInfo& cube, const PivotQuery& query, bool mapKeys);

// The measures of `query` whose cells are rolled up from leaf accumulators:
// all but the distinct counts, in the query's order.
std::vector<uint32_t> leafMeasures(const CubeInfo& cube, const PivotQuery& query);

// The result from the leaf accumulators of `layout` (cellCount() + 1 cells,
// the leafMeasures() of the query side by side, row-leaf major), and the
// cells of every distinct count measure of the query. Consumes the layout's
// tuples. `threads` as QueryOptions::threads; the result does not depend on it.
QueryResult finishPivot(PivotLayout& layout, const CubeInfo& cube, const PivotQuery& query,
                        const LeafAccumulators& leaves, std::span<const DistinctCells> distinct = {},
                        unsigned threads = 0);

}  // namespace olap::query
