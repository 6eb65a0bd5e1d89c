// From leaf accumulators to the cells of every tuple. Private to the query
// engine.
#pragma once

#include "olap/query/querylayout.h"
#include "olap/query/queryscan.h"

namespace olap::query {

// Fills result.cells from the leaf accumulators: a tuple pair's cell merges the
// leaves of its row range with those of its column range, first along the
// rows, then along the columns; a large pivot's rows are shared between two
// threads, each row's merges in the same order whatever the threads.
// Requires: result.rows, result.columns and
// result.measures are set; leaves[m] holds rows.leafCount * columns.leafCount
// cells, row-leaf major.
void rollUp(const LeafAccumulators& leaves, std::span<const Aggregation> aggregations, const AxisLayout& rows,
            const AxisLayout& columns, QueryResult& result);

// Removes the row tuples (when `rows`) and column tuples (when `columns`)
// whose cells are all empty, keeping grand totals. With no measures nothing
// is removed.
void dropEmptyTuples(QueryResult& result, bool rows, bool columns);

}  // namespace olap::query
