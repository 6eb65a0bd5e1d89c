// Distinct counts on the local engine. Private to the query engine.
//
// A distinct count cannot be rolled up from leaf cells, so each tuple pair
// counts its own facts' ids. The facts are sorted by id (a counting sort:
// ids are dense), each id's facts giving their leaf cells; then for every id
// its leaf cells are walked, and every tuple pair whose leaf ranges hold the
// cell (its ancestors, usually a handful per axis) counts the id once, with a
// "last id seen" stamp per pair. Hidden members and page selections exclude
// facts exactly as in the scan (their cell is cellCount), so totals are
// visual totals. Two threads take halves of the facts for the sort and
// halves of the ids for the counting.
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
