// Rolling leaf cells up into the cells of the tuples, and dropping empty ones.
#include "olap/query/queryrollup.h"

#include "platform/core/parallel.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <exception>
#include <memory>

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
// `merged`, reused from row to row), then each shown column tuple's leaves.
// A row of one leaf is read where it is (most rows of a large pivot are
// leaves): merging it into empty accumulators first would change no bit of
// any cell.
template <Aggregation A>
void rollUpRow(const LeafAccumulators& leaves, size_t leafMeasure, size_t measure, const LeafRange& rowRange,
               const AxisLayout& columns, std::span<const uint32_t> shownColumns, std::vector<Accumulator>& merged,
               std::optional<double>* cells, size_t measureCount)
{
    const uint64_t columnLeaves = columns.leafCount;
    const size_t stride = leaves.measureCount;
    const Accumulator* row = leaves.cells.data() + rowRange.first * columnLeaves * stride + leafMeasure;
    size_t step = stride;
    if (rowRange.end - rowRange.first != 1) {
        merged.assign(columnLeaves, emptyAccumulator(A));
        for (uint64_t leaf = rowRange.first; leaf < rowRange.end; ++leaf) {
            const Accumulator* from = leaves.cells.data() + leaf * columnLeaves * stride + leafMeasure;
            for (uint64_t c = 0; c < columnLeaves; ++c)
                mergeInto<A>(merged[c], from[c * stride]);
        }
        row = merged.data();
        step = 1;
    }
    for (size_t c = 0; c < shownColumns.size(); ++c) {
        const LeafRange& range = columns.ranges[shownColumns[c]];
        Accumulator cell = emptyAccumulator(A);
        for (uint64_t leaf = range.first; leaf < range.end; ++leaf)
            mergeInto<A>(cell, row[leaf * step]);
        std::construct_at(cells + c * measureCount + measure, finalValue(A, cell));
    }
}

// The pieces of work, as ranges of `shown` rows: single large row tuples
// first, then blocks of rows.
std::vector<std::pair<size_t, size_t>> rowWork(const AxisLayout& rows, std::span<const uint32_t> shown)
{
    const auto large = [&](size_t r) {
        const LeafRange& range = rows.ranges[shown[r]];
        return range.end - range.first >= kLargeRange;
    };
    std::vector<std::pair<size_t, size_t>> work;
    for (size_t r = 0; r < shown.size(); ++r) {
        if (large(r))
            work.emplace_back(r, r + 1);
    }
    for (size_t r = 0; r < shown.size();) {
        size_t end = r;
        while (end < shown.size() && end - r < kRowBlock && !large(end))
            ++end;
        if (end > r)
            work.emplace_back(r, end);
        r = std::max(end, r + (end == r ? 1 : 0));
    }
    return work;
}

uint64_t mergeCount(const AxisLayout& rows, std::span<const uint32_t> shown, const AxisLayout& columns)
{
    uint64_t leaves = 0;
    for (uint32_t r : shown)
        leaves += rows.ranges[r].end - rows.ranges[r].first;
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

// Marks, in a grid of rowCount x columnCount cells of `stride` entries each
// (row major), the rows and columns with an entry that `has` a value:
// rowAny[r] and columnAny[c] are set, never cleared. A large grid's rows are
// looked at in two halves at once.
template <class Entry, class Has>
void markAny(const Entry* grid, size_t rowCount, size_t columnCount, size_t stride, Has has,
             std::vector<uint8_t>& rowAny, std::vector<uint8_t>& columnAny, unsigned threads)
{
    std::vector<uint8_t> otherColumns(columnCount);
    const bool large = rowCount * columnCount * stride * sizeof(Entry) >= kCellBytesForThreads;
    onTwoThreads(large && secondThread(threads), [&](unsigned half) {
        std::vector<uint8_t>& columns = half == 0 ? columnAny : otherColumns;
        const size_t first = rowCount * half / 2, end = rowCount * (half + 1) / 2;
        const Entry* entry = grid + first * columnCount * stride;
        for (size_t r = first; r < end; ++r) {
            uint8_t rowHas = 0;
            for (size_t c = 0; c < columnCount; ++c) {
                uint8_t any = 0;
                for (size_t m = 0; m < stride; ++m, ++entry)
                    any |= uint8_t(has(*entry));
                rowHas |= any;
                columns[c] |= any;
            }
            rowAny[r] |= rowHas;
        }
    });
    for (size_t c = 0; c < columnCount; ++c)
        columnAny[c] |= otherColumns[c];
}

// The tuples of `axis` to show, by index: with `drop`, those with a leaf in
// `leafAny`, a distinct count in `distinctAny`, and the grand total;
// otherwise every one.
std::vector<uint32_t> shownOf(const AxisLayout& axis, const std::vector<uint8_t>& leafAny,
                              const std::vector<uint8_t>& distinctAny, bool drop)
{
    std::vector<uint32_t> shown;
    shown.reserve(axis.tuples.size());
    if (!drop) {
        for (size_t t = 0; t < axis.tuples.size(); ++t)
            shown.push_back(uint32_t(t));
        return shown;
    }
    std::vector<uint32_t> before(leafAny.size() + 1);  // leaves with values before each leaf
    for (size_t leaf = 0; leaf < leafAny.size(); ++leaf)
        before[leaf + 1] = before[leaf] + leafAny[leaf];
    for (size_t t = 0; t < axis.tuples.size(); ++t) {
        const LeafRange& range = axis.ranges[t];
        if (axis.tuples[t].kind == TupleKind::GrandTotal || before[range.end] > before[range.first] || distinctAny[t])
            shown.push_back(uint32_t(t));
    }
    return shown;
}

template <class T>
void keepUsed(std::vector<T>& items, const std::vector<uint8_t>& used)
{
    size_t to = 0;
    for (size_t i = 0; i < items.size(); ++i) {
        if (used[i])
            items[to++] = std::move(items[i]);
    }
    items.erase(items.begin() + ptrdiff_t(to), items.end());
}

}  // namespace

ShownTuples shownTuples(const LeafAccumulators& leaves, std::span<const DistinctCells> distinct, const AxisLayout& rows,
                        const AxisLayout& columns, size_t measureCount, bool dropRows, bool dropColumns,
                        unsigned threads)
{
    dropRows = dropRows && measureCount > 0;
    dropColumns = dropColumns && measureCount > 0;
    std::vector<uint8_t> rowLeafAny, columnLeafAny;
    std::vector<uint8_t> rowDistinct(rows.tuples.size()), columnDistinct(columns.tuples.size());
    if (dropRows || dropColumns) {
        rowLeafAny.resize(rows.leafCount);
        columnLeafAny.resize(columns.leafCount);
        markAny(leaves.cells.data(), rows.leafCount, columns.leafCount, leaves.measureCount,
                [](const Accumulator& leaf) { return leaf.count != 0; }, rowLeafAny, columnLeafAny, threads);
        for (const DistinctCells& cells : distinct)
            markAny(cells.counts.data(), rows.tuples.size(), columns.tuples.size(), 1,
                    [](uint32_t count) { return count != 0; }, rowDistinct, columnDistinct, threads);
    }
    return {shownOf(rows, rowLeafAny, rowDistinct, dropRows), shownOf(columns, columnLeafAny, columnDistinct, dropColumns)};
}

void rollUp(const LeafAccumulators& leaves, std::span<const Aggregation> aggregations, const AxisLayout& rows,
            const AxisLayout& columns, const ShownTuples& shown, QueryResult& result, unsigned threads)
{
    const size_t measureCount = aggregations.size();
    const size_t rowCells = shown.columns.size() * measureCount;
    // Not written here: every cell is set below, by the thread that rolls its
    // row up (writing a large result twice, once to empty it, took a tenth
    // of a 1,800,000-cell pivot's time).
    result.cells.clear();
    result.cells.resize(shown.rows.size() * rowCells);
    if (measureCount == 0)
        return;
    // Distinct counts have no leaves (putDistinctCells fills them).
    std::vector<size_t> leafMeasure(measureCount, SIZE_MAX);
    for (size_t m = 0, leaf = 0; m < measureCount; ++m) {
        if (aggregations[m] != Aggregation::DistinctCount)
            leafMeasure[m] = leaf++;
    }
    const std::vector<std::pair<size_t, size_t>> work = rowWork(rows, shown.rows);
    std::atomic<size_t> next{0};
    auto run = [&] {
        std::vector<Accumulator> merged;
        for (size_t w = next++; w < work.size(); w = next++) {
            for (size_t r = work[w].first; r < work[w].second; ++r) {
                std::optional<double>* cells = result.cells.data() + r * rowCells;
                for (size_t m = 0; m < measureCount; ++m) {
                    if (leafMeasure[m] == SIZE_MAX) {
                        for (size_t c = 0; c < shown.columns.size(); ++c)
                            std::construct_at(cells + c * measureCount + m, std::nullopt);
                        continue;
                    }
                    withAggregation(aggregations[m], [&]<Aggregation A>() {
                        rollUpRow<A>(leaves, leafMeasure[m], m, rows.ranges[shown.rows[r]], columns, shown.columns,
                                     merged, cells, measureCount);
                    });
                }
            }
        }
    };
    // Each row tuple's cells are written by one thread, in the same order
    // of merges whatever the threads: the same result.
    const bool both =
        mergeCount(rows, shown.rows, columns) * measureCount >= kMergesForThreads && secondThread(threads);
    platform::onThreads(both ? 2 : 1, [&](unsigned) { run(); });
}

void putDistinctCells(const DistinctCells& cells, const ShownTuples& shown, size_t columnTuples, QueryResult& result)
{
    const size_t measureCount = result.measures.size();
    size_t cell = cells.measure;
    for (uint32_t r : shown.rows) {
        for (uint32_t c : shown.columns) {
            const uint32_t count = cells.counts[size_t(r) * columnTuples + c];
            result.cells[cell] = count ? std::optional<double>(count) : std::nullopt;
            cell += measureCount;
        }
    }
}

void dropEmptyTuples(QueryResult& result, bool rows, bool columns, unsigned threads)
{
    if (result.measures.empty() || (!rows && !columns))
        return;
    std::vector<uint8_t> usedRows(result.rows.size(), rows ? 0 : 1);
    std::vector<uint8_t> usedColumns(result.columns.size(), columns ? 0 : 1);
    markAny(result.cells.data(), result.rows.size(), result.columns.size(), result.measures.size(),
            [](const std::optional<double>& cell) { return cell.has_value(); }, usedRows, usedColumns, threads);
    for (size_t r = 0; r < result.rows.size(); ++r)
        usedRows[r] |= uint8_t(result.rows[r].kind == TupleKind::GrandTotal);
    for (size_t c = 0; c < result.columns.size(); ++c)
        usedColumns[c] |= uint8_t(result.columns[c].kind == TupleKind::GrandTotal);
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
    keepUsed(result.rows, usedRows);
    keepUsed(result.columns, usedColumns);
}

}  // namespace olap::query
