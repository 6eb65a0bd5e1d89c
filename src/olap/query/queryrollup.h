// From leaf accumulators to the cells of every tuple. Private to the query
// engine.
#pragma once

#include "olap/query/querylayout.h"
#include "olap/query/queryscan.h"

#include <vector>

namespace olap::query {

// The distinct counts of one measure of a pivot, which cannot be rolled up
// from leaves: counts[rowTuple * columnTuples + columnTuple] over the facts
// of the pair's leaf ranges (layout.rows.ranges, layout.columns.ranges); 0
// is an empty cell.
struct DistinctCells {
    size_t measure = 0;  // its position in the query's measures
    std::vector<uint32_t> counts;
};

// Puts one distinct count measure's cells into `result`. Requires: as
// rollUp's, and rollUp has run; `cells` counts result's tuples.
void putDistinctCells(const DistinctCells& cells, QueryResult& result);

// Fills result.cells from the leaf accumulators: a tuple pair's cell merges the
// leaves of its row range with those of its column range, first along the
// rows, then along the columns; a large pivot's rows are shared between two
// threads, each row's merges in the same order whatever the threads.
// `aggregations` has one entry per measure of the result; the leaves hold
// those that are not distinct counts, whose cells stay empty here.
// Requires: result.rows, result.columns and result.measures are set; the
// leaves hold rows.leafCount * columns.leafCount cells, row-leaf major.
// `threads` as QueryOptions::threads (0: one per core, and 1 keeps every
// step of the result on the calling thread).
void rollUp(const LeafAccumulators& leaves, std::span<const Aggregation> aggregations, const AxisLayout& rows,
            const AxisLayout& columns, QueryResult& result, unsigned threads = 0);

// Removes the row tuples (when `rows`) and column tuples (when `columns`)
// whose cells are all empty, keeping grand totals. With no measures nothing
// is removed. `threads` as rollUp's.
void dropEmptyTuples(QueryResult& result, bool rows, bool columns, unsigned threads = 0);

}  // namespace olap::query
