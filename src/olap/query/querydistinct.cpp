#include "olap/query/querydistinct.h"

#include "olap/query/distincttree.h"
#include "platform/core/failure.h"
#include "platform/core/parallel.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <exception>

namespace olap::query {

namespace {

using platform::onThreads;

constexpr size_t kBlock = 2048;
constexpr unsigned kMaxThreads = 2;

unsigned threadCount(unsigned threads, uint64_t rowCount)
{
    const unsigned cores = threads ? threads : platform::coreCount();
    return rowCount < (uint64_t(1) << 16) ? 1u : std::min(cores, kMaxThreads);
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

// A fact's counter key from its leaf cell: tree-axis leaf major.
class KeyOfCell {
public:
    KeyOfCell(const PivotLayout& layout, bool treeIsRows)
        : mTransposed(!treeIsRows), mByColumns(uint32_t(std::max<uint64_t>(layout.columns.leafCount, 1))),
          mRowLeaves(uint32_t(layout.rows.leafCount))
    {
    }
    void inPlace(uint32_t* cells, size_t count) const
    {
        if (mTransposed) {
            for (size_t i = 0; i < count; ++i)
                cells[i] = (*this)(cells[i]);
        }
    }
    uint32_t operator()(uint32_t cell) const
    {
        if (!mTransposed)
            return cell;
        const uint32_t row = mByColumns.quotient(cell);
        return (cell - row * mByColumns.divisor()) * mRowLeaves + row;
    }

private:
    bool mTransposed;
    Divider mByColumns;
    uint32_t mRowLeaves;
};

// One block's included facts as runs of one id each, found without a
// branch per fact: the keys at the front of `keys` (the block's cells on
// entry), run r at [runStart[r], runStart[r + 1]) with id runIds[r].
struct BlockRuns {
    std::array<uint32_t, kBlock> keys, keptIds, runIds;
    std::array<uint16_t, kBlock + 1> runStart;
    std::array<uint8_t, kBlock + 8> starts{};  // per kept fact: whether an id's run starts there
    size_t kept = 0, runs = 0;

    // False, with nothing found, when the ids descend (from `previous`, the id before the block, on).
    template <class Id>
    bool find(const Id* ids, size_t n, uint32_t previous, uint32_t cellCount, const KeyOfCell& keyOf)
    {
        // One pass: whether the ids ascend, whether any fact is left out,
        // and where each id's run starts.
        uint8_t descends = ids[0] < previous, excluded = (keys[0] >= cellCount) | (ids[0] == 0);
        starts[0] = 1;
        for (size_t i = 1; i < n; ++i) {
            descends |= ids[i] < ids[i - 1];
            excluded |= (keys[i] >= cellCount) | (ids[i] == 0);
            starts[i] = ids[i] != ids[i - 1];
        }
        if (descends)
            return false;
        kept = n;
        if (excluded) {
            kept = 0;
            for (size_t i = 0; i < n; ++i) {
                const uint32_t id = ids[i], cell = keys[i];
                keys[kept] = cell;
                keptIds[kept] = id;
                kept += cell < cellCount && id != 0;
            }
            for (size_t i = 1; i < kept; ++i)
                starts[i] = keptIds[i] != keptIds[i - 1];
        }
        keyOf.inPlace(keys.data(), kept);
        // The starts read a word of eight facts at a time.
        std::fill(starts.begin() + ptrdiff_t(kept), starts.begin() + ptrdiff_t(kept) + 8, uint8_t(0));
        runs = 0;
        for (size_t i = 0; i < kept; i += 8) {
            uint64_t word;
            std::memcpy(&word, starts.data() + i, sizeof word);
            for (; word != 0; word &= word - 1)
                runStart[runs++] = uint16_t(i + size_t(std::countr_zero(word)) / 8);
        }
        runStart[runs] = uint16_t(kept);
        for (size_t r = 0; r < runs; ++r)
            runIds[r] = excluded ? keptIds[runStart[r]] : uint32_t(ids[runStart[r]]);
        return true;
    }

    std::span<uint32_t> keysOf(size_t r) { return {keys.data() + runStart[r], size_t(runStart[r + 1] - runStart[r])}; }
};

// Counts facts [begin, end), which hold whole ids, in one pass when their
// ids ascend (each id's facts are then side by side). False when they do
// not: the counter is then spoilt. A block's whole runs are counted where
// they lie; a run that the next block may continue waits for it.
template <class Id>
bool countInOrder(std::span<const ScanColumn> columns, const Id* ids, uint64_t begin, uint64_t end, uint32_t cellCount,
                  const KeyOfCell& keyOf, DistinctTreeCounter& counter)
{
    BlockRuns block;
    std::vector<uint32_t> pending;  // the keys of id `current`, whose run goes on past its block
    uint32_t current = 0;
    for (uint64_t first = begin; first < end; first += kBlock) {
        const size_t n = size_t(std::min<uint64_t>(kBlock, end - first));
        leafCellsOfBlock(columns, first, n, cellCount, block.keys.data());
        if (!block.find(ids + first, n, uint32_t(ids[first > begin ? first - 1 : first]), cellCount, keyOf))
            return false;
        const size_t runs = block.runs;
        size_t firstRun = 0, endRun = runs;
        if (!pending.empty() && runs > 0 && block.runIds[0] == current) {
            const auto more = block.keysOf(0);
            pending.insert(pending.end(), more.begin(), more.end());
            firstRun = 1;
        }
        if (!pending.empty() && (firstRun < runs || first + n == end)) {
            counter.countId(current, pending);
            pending.clear();
        }
        if (firstRun < runs && first + n < end) {
            endRun = runs - 1;
            const auto more = block.keysOf(endRun);
            pending.assign(more.begin(), more.end());
            current = block.runIds[endRun];
        }
        if (firstRun < endRun)
            counter.countRuns(std::span(block.keys.data(), block.kept),
                              std::span(block.runStart).subspan(firstRun, endRun - firstRun + 1),
                              std::span(block.runIds).subspan(firstRun, endRun - firstRun));
    }
    if (!pending.empty())
        counter.countId(current, pending);
    return true;
}

// Counts the ids of buckets [firstBucket, endBucket): each bucket ordered by
// id in the caches, then each id's facts counted.
void countBuckets(const FactsById& facts, size_t firstBucket, size_t endBucket, const KeyOfCell& keyOf,
                  DistinctTreeCounter& counter)
{
    const uint32_t idsPerBucket = uint32_t(1) << facts.shift;
    std::vector<uint32_t> start(size_t(idsPerBucket) + 1);
    std::vector<uint64_t> ordered;
    std::vector<uint32_t> keys;
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
        for (size_t i = 0; i < ordered.size();) {
            const uint32_t id = uint32_t(ordered[i] >> 32);
            keys.clear();
            for (; i < ordered.size() && uint32_t(ordered[i] >> 32) == id; ++i)
                keys.push_back(keyOf(uint32_t(ordered[i])));
            counter.countId(id, keys);
        }
    }
}

// Facts split into `parts` ranges that do not cut an id's run of facts.
template <class Id>
std::vector<uint64_t> partsAtIds(const Id* ids, uint64_t rowCount, unsigned parts)
{
    std::vector<uint64_t> bounds{0};
    for (unsigned p = 1; p < parts; ++p) {
        uint64_t at = std::max(bounds.back(), rowCount * p / parts);
        while (at > 0 && at < rowCount && ids[at] == ids[at - 1])
            ++at;
        bounds.push_back(at);
    }
    bounds.push_back(rowCount);
    return bounds;
}

// Counts the facts in one pass where they are stored in the order of this
// column's ids (as the builder stores them for the first distinct count);
// false, with nothing counted, where they are not.
template <class Id>
bool countStoredInOrder(std::span<const ScanColumn> columns, const DistinctColumn& distinct, const Id* ids,
                        uint64_t rowCount, uint32_t cellCount, const KeyOfCell& keyOf,
                        std::vector<DistinctTreeCounter>& counters)
{
    const unsigned parts = unsigned(counters.size());
    const std::vector<uint64_t> bounds = partsAtIds(ids, rowCount, parts);
    for (unsigned p = 1; p < parts; ++p) {
        if (bounds[p] > 0 && bounds[p] < rowCount && ids[bounds[p]] < ids[bounds[p] - 1])
            return false;
    }
    std::vector<uint8_t> inOrder(parts);
    onThreads(parts, [&](unsigned p) {
        inOrder[p] = countInOrder(columns, ids, bounds[p], bounds[p + 1], cellCount, keyOf, counters[p]);
    });
    if (std::find(inOrder.begin(), inOrder.end(), 0) != inOrder.end())
        return false;
    // Ids past the count are the caller's mix-up of cube and facts, never the file's (its reader checks them).
    if (uint32_t(ids[rowCount - 1]) > distinct.valueCount)
        throw platform::InternalFailure("a distinct count's ids exceed its value count", "olap");
    return true;
}

template <class Id>
void countAnyOrder(std::span<const ScanColumn> columns, const DistinctColumn& distinct, const Id* ids,
                   uint64_t rowCount, uint32_t cellCount, const KeyOfCell& keyOf,
                   std::vector<DistinctTreeCounter>& counters)
{
    const unsigned parts = unsigned(counters.size());
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
    onThreads(parts, [&](unsigned p) { countBuckets(facts, bounds[p], bounds[p + 1], keyOf, counters[p]); });
}

template <class Id>
DistinctCells countColumn(std::span<const ScanColumn> columns, const DistinctColumn& distinct, const Id* ids,
                          uint64_t rowCount, const PivotLayout& layout, const AxisRanges& rows,
                          const AxisRanges& axisColumns, unsigned parts)
{
    const uint32_t cellCount = layout.cellCount();
    const bool treeIsRows = layout.rows.ranges.size() >= layout.columns.ranges.size();
    const AxisRanges& tree = treeIsRows ? rows : axisColumns;
    const AxisRanges& other = treeIsRows ? axisColumns : rows;
    const KeyOfCell keyOf(layout, treeIsRows);
    std::vector<DistinctTreeCounter> counters(parts, DistinctTreeCounter(tree, other));
    if (!countStoredInOrder(columns, distinct, ids, rowCount, cellCount, keyOf, counters)) {
        counters.assign(parts, DistinctTreeCounter(tree, other));
        countAnyOrder(columns, distinct, ids, rowCount, cellCount, keyOf, counters);
    }
    const std::vector<uint32_t> counts = DistinctTreeCounter::rollUp(counters);
    const size_t width = other.rangeCount();
    DistinctCells result{distinct.measure, {}};
    result.counts.reserve(rows.rangeOfTuple.size() * axisColumns.rangeOfTuple.size());
    for (const uint32_t r : rows.rangeOfTuple) {
        for (const uint32_t c : axisColumns.rangeOfTuple) {
            if (r == kNoRange || c == kNoRange)
                result.counts.push_back(0);
            else
                result.counts.push_back(treeIsRows ? counts[size_t(r) * width + c] : counts[size_t(c) * width + r]);
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
    // Without facts or cells every count is 0 (and an axis facing one with
    // no leaves may have more leaves than the counters could number).
    if (rowCount == 0 || layout.cellCount() == 0) {
        for (const DistinctColumn& column : distinct)
            result.push_back({column.measure, std::vector<uint32_t>(layout.rows.ranges.size() * layout.columns.ranges.size())});
        return result;
    }
    const AxisRanges rows(layout.rows);
    const AxisRanges axisColumns(layout.columns);
    const unsigned parts = threadCount(threads, rowCount);
    for (const DistinctColumn& column : distinct) {
        std::visit([&](const auto& ids) {
            result.push_back(countColumn(columns, column, ids.data(), rowCount, layout, rows, axisColumns, parts));
        }, *column.ids);
    }
    return result;
}

}  // namespace olap::query
