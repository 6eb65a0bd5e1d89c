// Distinct counts on the local engine. Private to the query engine.
//
// A distinct count cannot be rolled up from leaf cells; instead each id's
// facts are counted once per tuple pair through the tree counters of
// distincttree.h, which then add up like sums. That needs each id's facts
// side by side. The builder stores the facts in the order of the first
// distinct count's ids, so that column is counted in the scan's own pass
// over the facts (or, where the scan takes shares of the cells, in one pass of
// its own, cut into one range per thread at id boundaries); whether the ids
// do ascend is checked on the way. Any other column (or an older file) has
// its facts grouped by id first with a counting sort (ids are dense). Hidden
// members and page selections exclude facts exactly as in the scan (their
// cell is cellCount), so totals are visual totals.
#pragma once

#include "olap/query/querypivot.h"
#include "olap/query/queryscan.h"

#include <memory>
#include <span>
#include <vector>

namespace olap::query {

class DistinctTreeCounter;
struct DistinctAxes;
class DistinctAlongScan;

// One distinct count measure's column: ids 1..valueCount, 0 for no value.
struct DistinctColumn {
    size_t measure = 0;  // its position in the query's measures
    const KeyColumn* ids = nullptr;
    uint32_t valueCount = 0;
};

// Counts the distinct counts of one pivot. The first whose facts start in
// its ids' order (as the builder stores them) is counted along the scan:
// observer() takes each block's leaf cells from scanFacts, so they are
// computed once. What the scan did not count (other columns, facts in
// another order after all, a scan that took shares of the cells) is counted by
// cells() in passes of its own.
class DistinctCounting {
public:
    // `columns` are the scan's key columns (queryscan.h) of `rowCount` facts;
    // they, `distinct` and `layout` must outlive this object. Requires: every
    // id is at most its column's valueCount. threads 0: one per core.
    DistinctCounting(std::span<const ScanColumn> columns, std::span<const DistinctColumn> distinct, uint64_t rowCount,
                     const PivotLayout& layout, unsigned threads);
    ~DistinctCounting();

    // For scanFacts; null when nothing is counted along the scan. Owned by this object.
    CellObserver* observer();
    // The cells of each of `distinct` over the layout's tuples; call once, after the scan.
    std::vector<DistinctCells> cells();

private:
    template <class Id>
    std::vector<DistinctTreeCounter> countColumn(const DistinctColumn& column, const Id* ids) const;
    DistinctCells cellsOf(const DistinctColumn& column, const std::vector<uint32_t>& counts) const;

    std::span<const ScanColumn> mColumns;
    std::span<const DistinctColumn> mDistinct;
    uint64_t mRowCount;
    const PivotLayout& mLayout;
    unsigned mThreads;
    std::unique_ptr<DistinctAxes> mAxes;        // null without facts or cells
    std::unique_ptr<DistinctAlongScan> mAlong;  // null when nothing is counted along the scan
    size_t mAlongColumn = 0;                    // which of mDistinct it counts
};

}  // namespace olap::query
