// The one pass over the facts: every fact is added to the accumulators of its
// leaf cell. Private to the query engine.
//
// A fact's leaf cell number is the sum, over the key columns the query uses,
// of a per-key offset: a row field's leaf times its stride, a column field's
// likewise, 0 for a page field's selected keys. An excluded key (hidden, or
// not selected on a page) has the offset `cellCount`, which sends the fact to
// one extra cell past the end that nobody reads; so the loop has no branches.
// Where a key is excluded, each block's excluded facts are dropped before
// the measures' loops (still without a branch per fact), and before the
// cells of the others are worked out.
#pragma once

#include "olap/cube/facttable.h"
#include "olap/cube/measurecolumn.h"
#include "olap/query/queryaccumulator.h"

#include <cstdint>
#include <span>
#include <vector>

namespace olap::query {

struct ScanColumn {
    const KeyColumn* keys = nullptr;    // the fact table's key column, at its stored width
    std::vector<uint32_t> offsetOfKey;  // per key; cellCount to exclude
};

struct ScanMeasure {
    const MeasureColumn* values = nullptr;  // the fact table's column; may be null when there are no facts
    Aggregation aggregation = Aggregation::Sum;
};

// The accumulators of every leaf cell, the measures of one cell side by side
// (a fact updates one cache line, not one per measure). Cells 0 .. cellCount;
// the last one is the excluded facts' cell.
struct LeafAccumulators {
    size_t measureCount = 0;
    Column<Accumulator> cells;  // [cell * measureCount + measure]; uninitialised when resized

    const Accumulator& at(uint64_t cell, size_t measure) const { return cells[cell * measureCount + measure]; }
};

// The leaf cells of facts [begin, begin + count), as the scan computes them
// (cellCount for an excluded fact). Requires: as scanFacts's.
void leafCellsOfBlock(std::span<const ScanColumn> columns, uint64_t begin, size_t count, uint32_t cellCount,
                      uint32_t* cells);

// Other work per fact that needs its leaf cell (distinct counts) is given
// each block's cells as the scan computes them, instead of computing them
// again. Only a scan that splits the facts into parts calls it: start once,
// then per part startPart, its blocks in fact order and endPart, all on the
// thread numbered `thread` (below start's `threads`). A part's threads may
// run at once. An exception thrown here fails the scan.
class CellObserver {
public:
    virtual ~CellObserver() = default;
    virtual void start(unsigned threads) = 0;
    virtual void startPart(unsigned thread, uint64_t begin, uint64_t end) = 0;
    // `cells` of facts [first, first + count) are valid during the call only.
    virtual void block(unsigned thread, uint64_t first, size_t count, const uint32_t* cells) = 0;
    virtual void endPart(unsigned thread) = 0;
};

// Requires: every key is below its column's offsetOfKey.size(); cellCount is
// below 2^31. With few cells for the facts, the facts are split into parts
// that depend only on the fact and cell counts, and the parts' accumulators
// are merged in order (`observer`, if any, sees the parts' cells); with many,
// each thread takes the cells of a share of one key column's keys and adds
// the facts that fall in them, in fact order (no observer is called).
// Either way the result is the same for any `threads` (0: one per core).
LeafAccumulators scanFacts(std::span<const ScanColumn> columns, std::span<const ScanMeasure> measures,
                           uint64_t rowCount, uint32_t cellCount, unsigned threads, CellObserver* observer = nullptr);

}  // namespace olap::query
