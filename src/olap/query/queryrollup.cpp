// Rolling leaf cells up into the cells of the tuples, and dropping empty ones.
#include "olap/query/queryrollup.h"

#include "platform/core/parallel.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <exception>

namespace olap::query {

namespace {

// Row tuples whose range holds at least this many leaves are shared out one
// by one, the others in blocks of kRowBlock: a total over every row leaf
// can be as much work as all the other rows together.
constexpr uint64_t kLargeRange = 1024;
constexpr size_t kRowBlock = 256;
// Below this many leaf merges one thread rolls up: starting one costs more.
constexpr uint64_t kMergesForThreads = uint64_t(1) << 18;

// One row tuple, one measure: its row leaves merged per column leaf (in
// `merged`, reused from row to row), then each column tuple's leaves.
template <Aggregation A>
void rollUpRow(const LeafAccumulators& leaves, size_t leafMeasure, size_t measure, const LeafRange& rowRange,
               const AxisLayout& columns, std::vector<Accumulator>& merged, std::optional<double>* cells,
               size_t measureCount)
{
    const uint64_t columnLeaves = columns.leafCount;
    const size_t stride = leaves.measureCount;
    merged.assign(columnLeaves, emptyAccumulator(A));
    for (uint64_t leaf = rowRange.first; leaf < rowRange.end; ++leaf) {
        const Accumulator* from = leaves.cells.data() + leaf * columnLeaves * stride + leafMeasure;
        for (uint64_t c = 0; c < columnLeaves; ++c)
            mergeInto<A>(merged[c], from[c * stride]);
    }
    for (size_t c = 0; c < columns.ranges.size(); ++c) {
        Accumulator cell = emptyAccumulator(A);
        for (uint64_t leaf = columns.ranges[c].first; leaf < columns.ranges[c].end; ++leaf)
            mergeInto<A>(cell, merged[leaf]);
        cells[c * measureCount + measure] = finalValue(A, cell);
    }
}

// The pieces of work: single large row tuples first, then blocks of rows.
std::vector<std::pair<size_t, size_t>> rowWork(const AxisLayout& rows)
{
    std::vector<std::pair<size_t, size_t>> work;
    for (size_t r = 0; r < rows.ranges.size(); ++r) {
        if (rows.ranges[r].end - rows.ranges[r].first >= kLargeRange)
            work.emplace_back(r, r + 1);
    }
    for (size_t r = 0; r < rows.ranges.size();) {
        size_t end = r;
        while (end < rows.ranges.size() && end - r < kRowBlock
               && rows.ranges[end].end - rows.ranges[end].first < kLargeRange)
            ++end;
        if (end > r)
            work.emplace_back(r, end);
        r = std::max(end, r + (end == r ? 1 : 0));
    }
    return work;
}

uint64_t mergeCount(const AxisLayout& rows, const AxisLayout& columns)
{
    uint64_t leaves = 0;
    for (const LeafRange& range : rows.ranges)
        leaves += range.end - range.first;
    return leaves * columns.leafCount;
}

// Whether a step may take a second thread, given QueryOptions::threads.
bool secondThread(unsigned threads)
{
    return threads != 1 && platform::coreCount() > 1;
}

// Runs work(0) here and, when `both`, work(1) on another thread at the same
// time; then rethrows a failure. Without `both`, work(0) then work(1) here.
template <class Work>
void onTwoThreads(bool both, Work&& work)
{
    if (!both) {
        work(0u);
        work(1u);
        return;
    }
    platform::onThreads(2, work);
}

// Below this many bytes of cells one thread does the result's chores.
constexpr size_t kCellBytesForThreads = size_t(4) << 20;

// Sets `cells` to `count` empty cells. A large array's pages get their
// memory on both cores first: fresh memory costs more than writing it, and
// one thread alone took a fifth of a 1,800,000-cell pivot's time here.
void emptyCells(Column<std::optional<double>>& cells, size_t count, unsigned threads)
{
    cells.clear();
    cells.reserve(count);
    const size_t bytes = count * sizeof(std::optional<double>);
    if (bytes >= kCellBytesForThreads) {
        const uintptr_t page = uintptr_t(sysconf(_SC_PAGESIZE));
        const auto start = reinterpret_cast<uintptr_t>(cells.data());
        onTwoThreads(secondThread(threads), [&](unsigned half) {
            const uintptr_t first = (start + bytes * half / 2 + page - 1) & ~(page - 1);
            const uintptr_t end = (start + bytes * (half + 1) / 2) & ~(page - 1);
            if (end > first)
                madvise(reinterpret_cast<void*>(first), end - first, MADV_POPULATE_WRITE);
        });
    }
    cells.assign(count, std::nullopt);
}

// Which tuples have a non-empty cell: used[r] for rows, used[c] for columns.
// A large result's rows are looked at in two halves at once.
void markNonEmpty(const QueryResult& result, std::vector<uint8_t>& rowUsed, std::vector<uint8_t>& columnUsed,
                  unsigned threads)
{
    const size_t columnCount = result.columns.size();
    const size_t measureCount = result.measures.size();
    std::vector<uint8_t> otherColumns(columnUsed.size());
    const bool large = result.cells.size() * sizeof(result.cells[0]) >= kCellBytesForThreads;
    onTwoThreads(large && secondThread(threads), [&](unsigned half) {
        std::vector<uint8_t>& columns = half == 0 ? columnUsed : otherColumns;
        const size_t first = result.rows.size() * half / 2, end = result.rows.size() * (half + 1) / 2;
        const std::optional<double>* cell = result.cells.data() + first * columnCount * measureCount;
        for (size_t r = first; r < end; ++r) {
            uint8_t rowAny = 0;
            for (size_t c = 0; c < columnCount; ++c) {
                uint8_t any = 0;
                for (size_t m = 0; m < measureCount; ++m, ++cell)
                    any |= uint8_t(cell->has_value());
                rowAny |= any;
                columns[c] |= any;
            }
            rowUsed[r] |= rowAny;
        }
    });
    for (size_t c = 0; c < columnCount; ++c)
        columnUsed[c] |= otherColumns[c];
    for (size_t r = 0; r < result.rows.size(); ++r)
        rowUsed[r] |= uint8_t(result.rows[r].kind == TupleKind::GrandTotal);
    for (size_t c = 0; c < columnCount; ++c)
        columnUsed[c] |= uint8_t(result.columns[c].kind == TupleKind::GrandTotal);
}

template <class T>
std::vector<T> keepUsed(std::vector<T>&& items, const std::vector<uint8_t>& used)
{
    std::vector<T> kept;
    for (size_t i = 0; i < items.size(); ++i) {
        if (used[i])
            kept.push_back(std::move(items[i]));
    }
    return kept;
}

}  // namespace

void rollUp(const LeafAccumulators& leaves, std::span<const Aggregation> aggregations, const AxisLayout& rows,
            const AxisLayout& columns, QueryResult& result, unsigned threads)
{
    const size_t measureCount = aggregations.size();
    emptyCells(result.cells, rows.ranges.size() * columns.ranges.size() * measureCount, threads);
    if (measureCount == 0)
        return;
    // Distinct counts have no leaves (putDistinctCells fills them).
    std::vector<size_t> leafMeasure(measureCount, SIZE_MAX);
    for (size_t m = 0, leaf = 0; m < measureCount; ++m) {
        if (aggregations[m] != Aggregation::DistinctCount)
            leafMeasure[m] = leaf++;
    }
    const std::vector<std::pair<size_t, size_t>> work = rowWork(rows);
    std::atomic<size_t> next{0};
    auto run = [&] {
        std::vector<Accumulator> merged;
        for (size_t w = next++; w < work.size(); w = next++) {
            for (size_t r = work[w].first; r < work[w].second; ++r) {
                std::optional<double>* cells = result.cells.data() + r * columns.ranges.size() * measureCount;
                for (size_t m = 0; m < measureCount; ++m) {
                    if (leafMeasure[m] == SIZE_MAX)
                        continue;
                    withAggregation(aggregations[m], [&]<Aggregation A>() {
                        rollUpRow<A>(leaves, leafMeasure[m], m, rows.ranges[r], columns, merged, cells, measureCount);
                    });
                }
            }
        }
    };
    // Each row tuple's cells are written by one thread, in the same order
    // of merges whatever the threads: the same result.
    const bool both = mergeCount(rows, columns) * measureCount >= kMergesForThreads && secondThread(threads);
    platform::onThreads(both ? 2 : 1, [&](unsigned) { run(); });
}

void putDistinctCells(const DistinctCells& cells, QueryResult& result)
{
    const size_t measureCount = result.measures.size();
    for (size_t i = 0; i < cells.counts.size(); ++i) {
        const uint32_t count = cells.counts[i];
        result.cells[i * measureCount + cells.measure] = count ? std::optional<double>(count) : std::nullopt;
    }
}

void dropEmptyTuples(QueryResult& result, bool rows, bool columns, unsigned threads)
{
    if (result.measures.empty() || (!rows && !columns))
        return;
    std::vector<uint8_t> usedRows(result.rows.size(), rows ? 0 : 1);
    std::vector<uint8_t> usedColumns(result.columns.size(), columns ? 0 : 1);
    markNonEmpty(result, usedRows, usedColumns, threads);
    const auto allUsed = [](const std::vector<uint8_t>& used) {
        return std::find(used.begin(), used.end(), 0) == used.end();
    };
    if (allUsed(usedRows) && allUsed(usedColumns))
        return;
    // Kept cells move down in place: a cell's new place is never after its
    // old one. With every column kept, a row's cells move as one block.
    const size_t measureCount = result.measures.size();
    const size_t rowCells = result.columns.size() * measureCount;
    const bool everyColumn = allUsed(usedColumns);
    auto cells = result.cells.begin();
    size_t to = 0;
    for (size_t r = 0; r < result.rows.size(); ++r) {
        if (!usedRows[r])
            continue;
        if (everyColumn) {
            if (to != r * rowCells)
                std::copy(cells + ptrdiff_t(r * rowCells), cells + ptrdiff_t((r + 1) * rowCells), cells + ptrdiff_t(to));
            to += rowCells;
            continue;
        }
        for (size_t c = 0; c < result.columns.size(); ++c) {
            const size_t from = r * rowCells + c * measureCount;
            for (size_t m = 0; usedColumns[c] && m < measureCount; ++m)
                result.cells[to++] = result.cells[from + m];
        }
    }
    result.cells.resize(to);
    result.rows = keepUsed(std::move(result.rows), usedRows);
    result.columns = keepUsed(std::move(result.columns), usedColumns);
}

}  // namespace olap::query
