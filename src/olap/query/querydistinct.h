// Distinct counts on the local engine. Private to the query engine.
//
// A distinct count cannot be rolled up from leaf cells; instead each id's
// facts are counted once per tuple pair through the tree counters of
// distincttree.h, which then add up like sums. That needs each id's facts
// side by side. The builder stores the facts in the order of the first
// distinct count's ids, so for that column one pass over the facts, cut
// into one range per thread at id boundaries, is enough; whether the ids do
// ascend is checked on the way. Any other column (or an older file) has its
// facts grouped by id first with a counting sort (ids are dense). Hidden
// members and page selections exclude facts exactly as in the scan (their
// cell is cellCount), so totals are visual totals.
#pragma once

#include "olap/query/querypivot.h"

#include <span>
#include <vector>

namespace olap::query {

// One distinct count measure's column: ids 1..valueCount, 0 for no value.
struct DistinctColumn {
    size_t measure = 0;  // its position in the query's measures
    const KeyColumn* ids = nullptr;
    uint32_t valueCount = 0;
};

// The cells of each of `distinct` over the tuples of `layout`. `columns` are
// the scan's key columns (queryscan.h) of `rowCount` facts. Requires: every
// id is at most its column's valueCount. threads 0: one per core.
std::vector<DistinctCells> countDistinct(std::span<const ScanColumn> columns,
                                         std::span<const DistinctColumn> distinct, uint64_t rowCount,
                                         const PivotLayout& layout, unsigned threads);

}  // namespace olap::query
