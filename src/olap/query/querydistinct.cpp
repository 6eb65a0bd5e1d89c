#include "olap/query/querydistinct.h"

#include "platform/core/failure.h"

#include <algorithm>
#include <array>
#include <bit>
#include <exception>
#include <map>
#include <thread>

namespace olap::query {

namespace {

constexpr size_t kBlock = 2048;
constexpr unsigned kMaxThreads = 2;

// One axis's tuples as distinct leaf ranges (tuples with the same range
// have the same cells), and per axis leaf the ranges that hold it.
struct AxisAncestors {
    std::vector<uint32_t> rangeOfTuple;
    uint32_t rangeCount = 0;
    std::vector<uint32_t> first;  // per leaf: its ranges are ranges[first[leaf] .. first[leaf + 1])
    std::vector<uint32_t> ranges;
};

AxisAncestors axisAncestors(const AxisLayout& axis)
{
    AxisAncestors result;
    std::map<std::pair<uint64_t, uint64_t>, uint32_t> known;
    std::vector<LeafRange> distinct;
    for (const LeafRange& range : axis.ranges) {
        const auto [at, added] = known.try_emplace({range.first, range.end}, uint32_t(distinct.size()));
        if (added)
            distinct.push_back(range);
        result.rangeOfTuple.push_back(at->second);
    }
    result.rangeCount = uint32_t(distinct.size());
    // Ranges nest or are apart, and a pivot's axis has few levels: counting
    // per leaf then filling is linear in leaves times depth.
    std::vector<uint32_t> count(axis.leafCount + 1);
    for (const LeafRange& range : distinct) {
        for (uint64_t leaf = range.first; leaf < range.end; ++leaf)
            ++count[leaf + 1];
    }
    for (uint64_t leaf = 0; leaf < axis.leafCount; ++leaf)
        count[leaf + 1] += count[leaf];
    result.first = count;
    result.ranges.resize(count.back());
    for (uint32_t r = 0; r < distinct.size(); ++r) {
        for (uint64_t leaf = distinct[r].first; leaf < distinct[r].end; ++leaf)
            result.ranges[count[leaf]++] = r;
    }
    return result;
}

unsigned threadCount(unsigned threads, uint64_t rowCount)
{
    const unsigned cores = threads ? threads : std::max(1u, std::thread::hardware_concurrency());
    return rowCount < (uint64_t(1) << 16) ? 1u : std::min(cores, kMaxThreads);
}

// Runs work(part) for part 0 .. parts-1, each on a thread of its own but the last.
template <class Work>
void onThreads(unsigned parts, Work&& work)
{
    std::vector<std::exception_ptr> errors(parts);
    {
        std::vector<std::jthread> helpers;
        for (unsigned p = 0; p + 1 < parts; ++p) {
            helpers.emplace_back([&, p] {
                try {
                    work(p);
                } catch (...) {
                    errors[p] = std::current_exception();  // rethrown below, once every thread is done
                }
            });
        }
        work(parts - 1);
    }
    for (const std::exception_ptr& error : errors) {
        if (error)
            std::rethrow_exception(error);
    }
}

// The included facts (id and leaf cell) grouped by id in two steps: into
// buckets of 2^shift neighbouring ids here, in one pass that writes to few
// places at a time (bucket counts and tails stay in the caches, unlike one
// counter per id); each bucket is then ordered by id on its own, in the
// caches, when it is counted.
struct FactsById {
    unsigned shift = 0;
    std::vector<uint32_t> bucketStart;  // entries of bucket b: [bucketStart[b], bucketStart[b + 1])
    Column<uint64_t> entries;           // id << 32 | cell
};

constexpr unsigned kBucketBits = 12;

template <class Id>
FactsById sortById(std::span<const ScanColumn> columns, const Id* ids, uint32_t valueCount, uint64_t rowCount,
                   uint32_t cellCount, unsigned parts)
{
    FactsById result;
    const unsigned idBits = unsigned(std::bit_width(valueCount));
    result.shift = idBits > kBucketBits ? idBits - kBucketBits : 0;
    const size_t buckets = (size_t(valueCount) >> result.shift) + 1;
    // Pass 1: per part, how many included facts each bucket has; the last
    // counter takes id 0 (no value) and the excluded facts.
    std::vector<std::vector<uint32_t>> counts(parts, std::vector<uint32_t>(buckets + 1));
    const auto partRange = [&](unsigned p) {
        return std::pair<uint64_t, uint64_t>{rowCount * p / parts, rowCount * (p + 1) / parts};
    };
    std::vector<uint32_t> largest(parts, 0);
    onThreads(parts, [&](unsigned p) {
        std::array<uint32_t, kBlock> cells;
        uint32_t* count = counts[p].data();
        const auto [begin, end] = partRange(p);
        for (uint64_t block = begin; block < end; block += kBlock) {
            const size_t n = size_t(std::min<uint64_t>(kBlock, end - block));
            leafCellsOfBlock(columns, block, n, cellCount, cells.data());
            for (size_t i = 0; i < n; ++i) {
                const uint32_t id = std::min<uint32_t>(ids[block + i], valueCount + 1);
                largest[p] = std::max(largest[p], id);
                count[cells[i] < cellCount && id != 0 && id <= valueCount ? id >> result.shift : buckets] += 1;
            }
        }
    });
    // Ids past the count are the caller's mix-up of cube and facts, never the file's (its reader checks them).
    if (*std::max_element(largest.begin(), largest.end()) > valueCount)
        throw platform::InternalFailure("a distinct count's ids exceed its value count", "olap");
    result.bucketStart.assign(buckets + 1, 0);
    uint32_t at = 0;
    for (size_t b = 0; b < buckets; ++b) {
        result.bucketStart[b] = at;
        for (unsigned p = 0; p < parts; ++p) {
            const uint32_t n = counts[p][b];
            counts[p][b] = at;
            at += n;
        }
    }
    result.bucketStart[buckets] = at;
    result.entries.resize(at);
    // Pass 2: every included fact into its bucket.
    onThreads(parts, [&](unsigned p) {
        std::array<uint32_t, kBlock> cells;
        uint32_t* next = counts[p].data();
        uint64_t* into = result.entries.data();
        const auto [begin, end] = partRange(p);
        for (uint64_t block = begin; block < end; block += kBlock) {
            const size_t n = size_t(std::min<uint64_t>(kBlock, end - block));
            leafCellsOfBlock(columns, block, n, cellCount, cells.data());
            for (size_t i = 0; i < n; ++i) {
                const uint32_t id = ids[block + i];
                if (cells[i] < cellCount && id != 0)
                    into[next[id >> result.shift]++] = uint64_t(id) << 32 | cells[i];
            }
        }
    });
    return result;
}

// Per leaf cell, the pairs of ranges (row range * column ranges + column
// range) whose tuples hold it: pairs[start[cell] .. start[cell + 1]). Not
// listed (empty) when the list would outgrow the facts: each cell's pairs
// are then found from its row and column leaves.
struct CellPairs {
    std::vector<uint32_t> start;
    std::vector<uint32_t> pairs;
    const AxisAncestors* rows = nullptr;
    const AxisAncestors* columns = nullptr;
    uint64_t columnLeaves = 1;
};

CellPairs cellPairs(const AxisAncestors& rows, const AxisAncestors& columns, uint64_t rowLeaves, uint64_t columnLeaves,
                    uint64_t rowCount)
{
    CellPairs result{{}, {}, &rows, &columns, columnLeaves};
    if (uint64_t(rows.ranges.size()) * columns.ranges.size() > std::max<uint64_t>(4 * rowCount, uint64_t(1) << 20))
        return result;
    result.start.reserve(rowLeaves * columnLeaves + 1);
    result.start.push_back(0);
    for (uint64_t row = 0; row < rowLeaves; ++row) {
        for (uint64_t column = 0; column < columnLeaves; ++column) {
            for (uint32_t r = rows.first[row]; r < rows.first[row + 1]; ++r) {
                for (uint32_t c = columns.first[column]; c < columns.first[column + 1]; ++c)
                    result.pairs.push_back(rows.ranges[r] * columns.rangeCount + columns.ranges[c]);
            }
            result.start.push_back(uint32_t(result.pairs.size()));
        }
    }
    return result;
}

// A pair's count and the last id it counted, side by side: one cache line.
struct PairCount {
    uint32_t lastId = 0;
    uint32_t count = 0;
};

// Counts the ids of buckets [firstBucket, endBucket) into `counts` (per
// pair of ranges): each bucket ordered by id, then each id's cells counted
// once in every pair that holds them.
void countIds(const FactsById& facts, size_t firstBucket, size_t endBucket, const CellPairs& cells,
              std::vector<PairCount>& counts)
{
    PairCount* pairs = counts.data();
    const auto count = [&](size_t pair, uint32_t id) {
        pairs[pair].count += pairs[pair].lastId != id;
        pairs[pair].lastId = id;
    };
    const auto countCell = [&](uint32_t cell, uint32_t id) {
        if (!cells.start.empty()) {
            for (uint32_t p = cells.start[cell]; p < cells.start[cell + 1]; ++p)
                count(cells.pairs[p], id);
            return;
        }
        const AxisAncestors& rows = *cells.rows;
        const AxisAncestors& columns = *cells.columns;
        const uint64_t row = cell / cells.columnLeaves, column = cell % cells.columnLeaves;
        for (uint32_t r = rows.first[row]; r < rows.first[row + 1]; ++r) {
            for (uint32_t c = columns.first[column]; c < columns.first[column + 1]; ++c)
                count(size_t(rows.ranges[r]) * columns.rangeCount + columns.ranges[c], id);
        }
    };
    const uint32_t idsPerBucket = uint32_t(1) << facts.shift;
    std::vector<uint32_t> start(size_t(idsPerBucket) + 1);
    std::vector<uint64_t> ordered;
    for (size_t b = firstBucket; b < endBucket; ++b) {
        const uint64_t* first = facts.entries.data() + facts.bucketStart[b];
        const uint64_t* end = facts.entries.data() + facts.bucketStart[b + 1];
        std::fill(start.begin(), start.end(), 0u);
        for (const uint64_t* e = first; e < end; ++e)
            ++start[((*e >> 32) & (idsPerBucket - 1)) + 1];
        for (uint32_t i = 0; i < idsPerBucket; ++i)
            start[i + 1] += start[i];
        ordered.resize(size_t(end - first));
        for (const uint64_t* e = first; e < end; ++e)
            ordered[start[(*e >> 32) & (idsPerBucket - 1)]++] = *e;
        for (const uint64_t entry : ordered)
            countCell(uint32_t(entry), uint32_t(entry >> 32));
    }
}

template <class Id>
DistinctCells countColumn(std::span<const ScanColumn> columns, const DistinctColumn& distinct, const Id* ids,
                          uint64_t rowCount, const PivotLayout& layout, const AxisAncestors& rows,
                          const AxisAncestors& axisColumns, const CellPairs& pairs, unsigned parts)
{
    const uint32_t cellCount = layout.cellCount();
    const FactsById facts = sortById(columns, ids, distinct.valueCount, rowCount, cellCount, parts);
    // Each thread takes buckets of ids with about an equal share of the facts.
    const size_t buckets = facts.bucketStart.size() - 1;
    std::vector<size_t> bounds{0};
    for (unsigned p = 1; p < parts; ++p) {
        const uint32_t share = uint32_t(uint64_t(facts.entries.size()) * p / parts);
        const auto at = std::lower_bound(facts.bucketStart.begin(), facts.bucketStart.end() - 1, share);
        bounds.push_back(std::max(bounds.back(), size_t(at - facts.bucketStart.begin())));
    }
    bounds.push_back(buckets);
    std::vector<std::vector<PairCount>> counts(parts);
    onThreads(parts, [&](unsigned p) {
        counts[p].resize(size_t(rows.rangeCount) * axisColumns.rangeCount);
        countIds(facts, bounds[p], bounds[p + 1], pairs, counts[p]);
    });
    DistinctCells result{distinct.measure, {}};
    result.counts.reserve(rows.rangeOfTuple.size() * axisColumns.rangeOfTuple.size());
    for (uint32_t r : rows.rangeOfTuple) {
        for (uint32_t c : axisColumns.rangeOfTuple) {
            uint32_t total = 0;
            for (const std::vector<PairCount>& part : counts)
                total += part[size_t(r) * axisColumns.rangeCount + c].count;
            result.counts.push_back(total);
        }
    }
    return result;
}

}  // namespace

std::vector<DistinctCells> countDistinct(std::span<const ScanColumn> columns,
                                         std::span<const DistinctColumn> distinct, uint64_t rowCount,
                                         const PivotLayout& layout, unsigned threads)
{
    std::vector<DistinctCells> result;
    if (distinct.empty())
        return result;
    const AxisAncestors rows = axisAncestors(layout.rows);
    const AxisAncestors axisColumns = axisAncestors(layout.columns);
    const unsigned parts = threadCount(threads, rowCount);
    const CellPairs pairs = cellPairs(rows, axisColumns, layout.rows.leafCount, layout.columns.leafCount, rowCount);
    for (const DistinctColumn& column : distinct) {
        if (rowCount == 0) {
            result.push_back({column.measure, std::vector<uint32_t>(layout.rows.ranges.size() * layout.columns.ranges.size())});
            continue;
        }
        std::visit([&](const auto& ids) {
            result.push_back(countColumn(columns, column, ids.data(), rowCount, layout, rows, axisColumns, pairs, parts));
        }, *column.ids);
    }
    return result;
}

}  // namespace olap::query
