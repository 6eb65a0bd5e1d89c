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

// The tuples a pivot shows, by index into its axes' tuples, in display order.
struct ShownTuples {
    std::vector<uint32_t> rows;
    std::vector<uint32_t> columns;
};

// Which tuples to show. With `dropRows` (`dropColumns`), the row (column)
// tuples whose cells would all be empty are left out: those with no value
// in any leaf measure over their leaves, and no distinct count. Grand totals
// are always shown; with no measures (`measureCount` 0) every tuple is.
// Decided from the leaves, so that only shown cells are rolled up.
// Requires: as rollUp's; `distinct` counts every tuple of the layout.
ShownTuples shownTuples(const LeafAccumulators& leaves, std::span<const DistinctCells> distinct, const AxisLayout& rows,
                        const AxisLayout& columns, size_t measureCount, bool dropRows, bool dropColumns,
                        unsigned threads = 0);

// Fills result.cells from the leaf accumulators, for the `shown` tuples: a
// tuple pair's cell merges the leaves of its row range with those of its
// column range, first along the rows, then along the columns; a large
// pivot's rows are shared between two threads, each row's merges in the same
// order whatever the threads. `aggregations` has one entry per measure of the
// result; the leaves hold those that are not distinct counts, whose cells
// stay empty here. Requires: result.rows and result.columns are the shown
// tuples and result.measures is set; the leaves hold rows.leafCount *
// columns.leafCount cells, row-leaf major. `threads` as QueryOptions::threads
// (0: one per core, and 1 keeps every step of the result on the calling
// thread).
void rollUp(const LeafAccumulators& leaves, std::span<const Aggregation> aggregations, const AxisLayout& rows,
            const AxisLayout& columns, const ShownTuples& shown, QueryResult& result, unsigned threads = 0);

// Puts one distinct count measure's cells into `result`, whose tuples are
// the `shown` ones of an axis of `columnTuples` column tuples. Requires:
// rollUp has run.
void putDistinctCells(const DistinctCells& cells, const ShownTuples& shown, size_t columnTuples, QueryResult& result);

// Removes the row tuples (when `rows`) and column tuples (when `columns`)
// whose cells are all empty, keeping grand totals: for cells computed after
// the roll-up. With no measures nothing is removed. `threads` as rollUp's.
void dropEmptyTuples(QueryResult& result, bool rows, bool columns, unsigned threads = 0);

}  // namespace olap::query
