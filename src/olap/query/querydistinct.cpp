#include "olap/query/querydistinct.h"

#include "olap/query/distincttree.h"
#include "platform/core/cpuclones.h"
#include "platform/core/failure.h"
#include "platform/core/intrinsics.h"
#include "platform/core/parallel.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <exception>
#include <memory>
#include <type_traits>

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

// Copies a block's cells into `keys` and marks in `starts` where each id's
// run starts (1 at the first fact); returns 1 when the ids descend (from
// `previous` on), plus 2 when a fact is left out (no shown cell, or no id).
// One loop without branches, on the processor's widest vectors (chosen when
// the program loads).
template <class Id>
[[gnu::always_inline]] inline unsigned markRuns(const uint32_t* cells, const Id* ids, size_t n, uint32_t previous,
                                                uint32_t cellCount, uint32_t* keys, uint8_t* starts)
{
    uint8_t descends = ids[0] < previous, excluded = (cells[0] >= cellCount) | (ids[0] == 0);
    keys[0] = cells[0];
    starts[0] = 1;
    for (size_t i = 1; i < n; ++i) {
        keys[i] = cells[i];
        descends |= ids[i] < ids[i - 1];
        excluded |= (cells[i] >= cellCount) | (ids[i] == 0);
        starts[i] = ids[i] != ids[i - 1];
    }
    return unsigned(descends != 0) | unsigned(excluded != 0) << 1;
}

PLATFORM_CPU_CLONES unsigned markRuns(const uint32_t* cells, const uint8_t* ids, size_t n, uint32_t previous,
                                      uint32_t cellCount, uint32_t* keys, uint8_t* starts)
{
    return markRuns<uint8_t>(cells, ids, n, previous, cellCount, keys, starts);
}
PLATFORM_CPU_CLONES unsigned markRuns(const uint32_t* cells, const uint16_t* ids, size_t n, uint32_t previous,
                                      uint32_t cellCount, uint32_t* keys, uint8_t* starts)
{
    return markRuns<uint16_t>(cells, ids, n, previous, cellCount, keys, starts);
}
PLATFORM_CPU_CLONES unsigned markRuns(const uint32_t* cells, const uint32_t* ids, size_t n, uint32_t previous,
                                      uint32_t cellCount, uint32_t* keys, uint8_t* starts)
{
    return markRuns<uint32_t>(cells, ids, n, previous, cellCount, keys, starts);
}

#if defined(__x86_64__)
// What findRunsBy16 found.
struct RunsFound {
    bool descends = false;  // the ids descend
    bool leftOut = false;   // some fact has no shown cell or no id: the block takes the general way
    size_t runs = 0;
};

// markRuns and the finding of the runs' starts in one pass, sixteen facts
// of 32-bit ids at a time: where the ids change, the places and ids are
// packed into runStart and runIds (each written up to sixteen places past
// the runs found). The last facts are taken one by one.
__attribute__((target("avx512f"))) RunsFound findRunsBy16(const uint32_t* cells, const uint32_t* ids, size_t n,
                                                          uint32_t previous, uint32_t cellCount, uint32_t* keys,
                                                          uint16_t* runStart, uint32_t* runIds)
{
    const __m512i lanes = _mm512_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
    const __m512i limit = _mm512_set1_epi32(int(cellCount));
    __m512i before = _mm512_set1_epi32(int(previous));  // its last lane: the id before the next sixteen
    __mmask16 descends = 0, leftOut = 0;
    size_t runs = 0, i = 0;
    for (; n - i >= 16; i += 16) {
        const __m512i id = _mm512_loadu_si512(ids + i);
        const __m512i cell = _mm512_loadu_si512(cells + i);
        const __m512i earlier = _mm512_alignr_epi32(id, before, 15);
        before = id;
        descends |= _mm512_cmplt_epu32_mask(id, earlier);
        leftOut |= _mm512_cmpge_epu32_mask(cell, limit) | _mm512_cmpeq_epi32_mask(id, _mm512_setzero_si512());
        const __mmask16 starts = _mm512_cmpneq_epi32_mask(id, earlier) | __mmask16(i == 0);
        _mm512_storeu_si512(keys + i, cell);
        const __m512i at = _mm512_add_epi32(lanes, _mm512_set1_epi32(int(i)));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(runStart + runs),
                            _mm512_cvtepi32_epi16(_mm512_maskz_compress_epi32(starts, at)));
        _mm512_storeu_si512(runIds + runs, _mm512_maskz_compress_epi32(starts, id));
        runs += size_t(std::popcount(unsigned(starts)));
    }
    RunsFound found{descends != 0, leftOut != 0, 0};
    for (uint32_t last = i == 0 ? previous : ids[i - 1]; i < n; last = ids[i++]) {
        found.descends |= ids[i] < last;
        found.leftOut |= cells[i] >= cellCount || ids[i] == 0;
        keys[i] = cells[i];
        if (i == 0 || ids[i] != last) {
            runStart[runs] = uint16_t(i);
            runIds[runs++] = ids[i];
        }
    }
    found.runs = runs;
    return found;
}
#endif

// One block's included facts as runs of one id each, found without a
// branch per fact: their keys at the front of `keys`, run r at
// [runStart[r], runStart[r + 1]) with id runIds[r]. Room for sixteen more
// runs than facts: findRunsBy16 writes past the runs it finds.
struct BlockRuns {
    std::array<uint32_t, kBlock> keys, keptIds;
    std::array<uint32_t, kBlock + 16> runIds;
    std::array<uint16_t, kBlock + 16> runStart;
    std::array<uint8_t, kBlock + 8> starts{};  // per kept fact: whether an id's run starts there
    size_t kept = 0, runs = 0;

    // From the leaf cells and ids of n facts (1 to kBlock). False, with
    // nothing found, when the ids descend (from `previous`, the id before
    // the block, on).
    template <class Id>
    bool find(const uint32_t* cells, const Id* ids, size_t n, uint32_t previous, uint32_t cellCount,
              const KeyOfCell& keyOf)
    {
#if defined(__x86_64__)
        if constexpr (std::is_same_v<Id, uint32_t>) {
            if (platform::hasAvx512()) {
                const RunsFound found =
                    findRunsBy16(cells, ids, n, previous, cellCount, keys.data(), runStart.data(), runIds.data());
                if (found.descends)
                    return false;
                if (!found.leftOut) {
                    kept = n;
                    runs = found.runs;
                    runStart[runs] = uint16_t(kept);
                    keyOf.inPlace(keys.data(), kept);
                    return true;
                }
                // Facts left out: packed below, as on any processor.
            }
        }
#endif
        const unsigned marks = markRuns(cells, ids, n, previous, cellCount, keys.data(), starts.data());
        if (marks & 1)
            return false;
        const bool excluded = marks & 2;
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

// Counts the facts given block by block, in fact order, that hold whole
// ids, when their ids ascend (each id's facts are then side by side). A
// block's runs are counted where they lie, but for its last one, which the
// next block may continue: it waits for that block, or for finish().
template <class Id>
class InOrderRuns {
public:
    InOrderRuns(uint32_t cellCount, const KeyOfCell& keyOf) : mCellCount(cellCount), mKeyOf(keyOf) {}

    // The cells and ids of n facts (1 to kBlock); `previous`: the id of the
    // fact before them (0 for the first fact). False when the ids descend:
    // `counter` is then spoilt.
    bool add(const uint32_t* cells, const Id* ids, size_t n, uint32_t previous, DistinctTreeCounter& counter)
    {
        if (!mBlock.find(cells, ids, n, previous, mCellCount, mKeyOf))
            return false;
        const size_t runs = mBlock.runs;
        if (runs == 0)
            return true;  // every fact left out: a waiting run may go on in the next block
        size_t firstRun = 0;
        if (!mPending.empty() && mBlock.runIds[0] == mCurrent) {
            const auto more = mBlock.keysOf(0);
            mPending.insert(mPending.end(), more.begin(), more.end());
            firstRun = 1;
        }
        if (firstRun == runs)
            return true;
        finish(counter);
        const size_t last = runs - 1;
        if (firstRun < last)
            counter.countRuns(std::span(mBlock.keys.data(), mBlock.kept),
                              std::span(mBlock.runStart).subspan(firstRun, last - firstRun + 1),
                              std::span(mBlock.runIds).subspan(firstRun, last - firstRun));
        const auto waiting = mBlock.keysOf(last);
        mPending.assign(waiting.begin(), waiting.end());
        mCurrent = mBlock.runIds[last];
        return true;
    }

    // Counts the run that waits, if any.
    void finish(DistinctTreeCounter& counter)
    {
        if (!mPending.empty())
            counter.countId(mCurrent, mPending);
        mPending.clear();
    }

private:
    uint32_t mCellCount;
    const KeyOfCell& mKeyOf;
    BlockRuns mBlock;
    std::vector<uint32_t> mPending;  // the keys of id mCurrent
    uint32_t mCurrent = 0;
};

// Adds facts [begin, end) to `runs`, computing their cells; false as add.
template <class Id>
bool addFacts(std::span<const ScanColumn> columns, const Id* ids, uint64_t begin, uint64_t end, uint32_t cellCount,
              InOrderRuns<Id>& runs, DistinctTreeCounter& counter)
{
    std::array<uint32_t, kBlock> cells;
    for (uint64_t first = begin; first < end; first += kBlock) {
        const size_t n = size_t(std::min<uint64_t>(kBlock, end - first));
        leafCellsOfBlock(columns, first, n, cellCount, cells.data());
        if (!runs.add(cells.data(), ids + first, n, first > 0 ? uint32_t(ids[first - 1]) : 0, counter))
            return false;
    }
    return true;
}

// Counts facts [begin, end), which hold whole ids, in one pass when their
// ids ascend; false when they do not (the counter is then spoilt).
template <class Id>
bool countInOrder(std::span<const ScanColumn> columns, const Id* ids, uint64_t begin, uint64_t end, uint32_t cellCount,
                  const KeyOfCell& keyOf, DistinctTreeCounter& counter)
{
    auto runs = std::make_unique<InOrderRuns<Id>>(cellCount, keyOf);
    if (!addFacts(columns, ids, begin, end, cellCount, *runs, counter))
        return false;
    runs->finish(counter);
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

// The last of ascending ids is their largest. Ids past the count are the
// caller's mix-up of cube and facts, never the file's (its reader checks them).
template <class Id>
void checkLastId(const DistinctColumn& distinct, const Id* ids, uint64_t rowCount)
{
    if (uint32_t(ids[rowCount - 1]) > distinct.valueCount)
        throw platform::InternalFailure("a distinct count's ids exceed its value count", "olap");
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
    std::vector<uint8_t> inOrder(parts);
    onThreads(parts, [&](unsigned p) {
        inOrder[p] = countInOrder(columns, ids, bounds[p], bounds[p + 1], cellCount, keyOf, counters[p]);
    });
    if (std::find(inOrder.begin(), inOrder.end(), 0) != inOrder.end())
        return false;
    checkLastId(distinct, ids, rowCount);
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

}  // namespace

// The pivot's axes as the counters see them.
struct DistinctAxes {
    explicit DistinctAxes(const PivotLayout& layout)
        : rows(layout.rows), columns(layout.columns),
          treeIsRows(layout.rows.ranges.size() >= layout.columns.ranges.size()), keyOf(layout, treeIsRows)
    {
    }
    const AxisRanges rows, columns;
    const bool treeIsRows;
    const KeyOfCell keyOf;
    const AxisRanges& tree() const { return treeIsRows ? rows : columns; }
    const AxisRanges& other() const { return treeIsRows ? columns : rows; }
    std::vector<DistinctTreeCounter> newCounters(size_t count) const
    {
        return std::vector<DistinctTreeCounter>(count, DistinctTreeCounter(tree(), other()));
    }
};

// One distinct count counted along the scan, whose facts are stored in the
// order of its ids. Each scan part counts the ids that start in it: it
// skips the facts of an id that began in the part before, and adds, past
// its end, those of its last id (computing their cells). Each scan thread
// has counters of its own.
class DistinctAlongScan : public CellObserver {
public:
    std::vector<DistinctTreeCounter> counters;
    // Whether every fact was counted, its ids in order.
    virtual bool counted() const = 0;
};

namespace {

template <class Id>
class AlongScanOf final : public DistinctAlongScan {
public:
    AlongScanOf(std::span<const ScanColumn> columns, const Id* ids, uint64_t rowCount, uint32_t cellCount,
                const DistinctAxes& axes)
        : mColumns(columns), mIds(ids), mRowCount(rowCount), mCellCount(cellCount), mAxes(axes)
    {
    }

    void start(unsigned threads) override
    {
        counters = mAxes.newCounters(threads);
        for (unsigned t = 0; t < threads; ++t)
            mThreads.push_back(std::make_unique<Thread>(mCellCount, mAxes.keyOf));
    }
    void startPart(unsigned thread, uint64_t begin, uint64_t end) override
    {
        Thread& at = *mThreads[thread];
        at.partEnd = end;
        at.begin = idStart(begin);
        at.end = idStart(end);
    }
    void block(unsigned thread, uint64_t first, size_t count, const uint32_t* cells) override
    {
        Thread& at = *mThreads[thread];
        // No prefetching of the next block's ids: they are read in order, which
        // the processor foresees by itself, and asking for them took 4% of the
        // distinct pivot.
        const uint64_t from = std::max(first, at.begin), to = std::min(first + count, at.end);
        if (from < to && !at.failed)
            at.failed = !at.runs.add(cells + (from - first), mIds + from, size_t(to - from),
                                     from > 0 ? uint32_t(mIds[from - 1]) : 0, counters[thread]);
    }
    void endPart(unsigned thread) override
    {
        Thread& at = *mThreads[thread];
        if (!at.failed)
            at.failed = !addFacts(mColumns, mIds, std::max(at.begin, at.partEnd), at.end, mCellCount, at.runs,
                                  counters[thread]);
        if (!at.failed)
            at.runs.finish(counters[thread]);
    }
    bool counted() const override
    {
        return !mThreads.empty()
            && std::none_of(mThreads.begin(), mThreads.end(), [](const auto& t) { return t->failed; });
    }

private:
    struct Thread {
        Thread(uint32_t cellCount, const KeyOfCell& keyOf) : runs(cellCount, keyOf) {}
        InOrderRuns<Id> runs;
        uint64_t begin = 0, end = 0, partEnd = 0;  // the facts the part counts; where the part ends
        bool failed = false;
    };
    // The first fact at or after `at` that starts an id's run.
    uint64_t idStart(uint64_t at) const
    {
        while (at > 0 && at < mRowCount && mIds[at] == mIds[at - 1])
            ++at;
        return at;
    }

    std::span<const ScanColumn> mColumns;
    const Id* mIds;
    uint64_t mRowCount;
    uint32_t mCellCount;
    const DistinctAxes& mAxes;
    std::vector<std::unique_ptr<Thread>> mThreads;
};

// Whether the ids of the first block of facts ascend: a column stored in
// their order (worth counting along the scan).
template <class Id>
bool startsInOrder(const Id* ids, uint64_t rowCount)
{
    const size_t n = size_t(std::min<uint64_t>(rowCount, kBlock));
    return std::is_sorted(ids, ids + n);
}

}  // namespace

DistinctCounting::DistinctCounting(std::span<const ScanColumn> columns, std::span<const DistinctColumn> distinct,
                                   uint64_t rowCount, const PivotLayout& layout, unsigned threads)
    : mColumns(columns), mDistinct(distinct), mRowCount(rowCount), mLayout(layout), mThreads(threads)
{
    // Without facts or cells every count is 0 (and an axis facing one with
    // no leaves may have more leaves than the counters could number).
    if (distinct.empty() || rowCount == 0 || layout.cellCount() == 0)
        return;
    mAxes = std::make_unique<DistinctAxes>(layout);
    for (size_t i = 0; i < distinct.size() && !mAlong; ++i) {
        std::visit([&](const auto& ids) {
            if (startsInOrder(ids.data(), rowCount)) {
                mAlong = std::make_unique<AlongScanOf<std::decay_t<decltype(ids[0])>>>(
                    columns, ids.data(), rowCount, layout.cellCount(), *mAxes);
                mAlongColumn = i;
            }
        }, *distinct[i].ids);
    }
}

DistinctCounting::~DistinctCounting() = default;

CellObserver* DistinctCounting::observer()
{
    return mAlong.get();
}

std::vector<DistinctCells> DistinctCounting::cells()
{
    std::vector<DistinctCells> result;
    for (size_t i = 0; i < mDistinct.size(); ++i) {
        const DistinctColumn& column = mDistinct[i];
        if (!mAxes) {
            result.push_back({column.measure, std::vector<uint32_t>(mLayout.rows.ranges.size()
                                                                    * mLayout.columns.ranges.size())});
            continue;
        }
        std::vector<DistinctTreeCounter> counters;
        std::visit([&](const auto& ids) {
            if (mAlong && i == mAlongColumn && mAlong->counted()) {
                checkLastId(column, ids.data(), mRowCount);
                counters = std::move(mAlong->counters);
            } else {
                counters = countColumn(column, ids.data());
            }
        }, *column.ids);
        result.push_back(cellsOf(column, DistinctTreeCounter::rollUp(counters)));
    }
    return result;
}

template <class Id>
std::vector<DistinctTreeCounter> DistinctCounting::countColumn(const DistinctColumn& column, const Id* ids) const
{
    const uint32_t cellCount = mLayout.cellCount();
    const unsigned parts = threadCount(mThreads, mRowCount);
    std::vector<DistinctTreeCounter> counters = mAxes->newCounters(parts);
    if (!countStoredInOrder(mColumns, column, ids, mRowCount, cellCount, mAxes->keyOf, counters)) {
        counters = mAxes->newCounters(parts);
        countAnyOrder(mColumns, column, ids, mRowCount, cellCount, mAxes->keyOf, counters);
    }
    return counters;
}

DistinctCells DistinctCounting::cellsOf(const DistinctColumn& column, const std::vector<uint32_t>& counts) const
{
    const AxisRanges& rows = mAxes->rows;
    const AxisRanges& columns = mAxes->columns;
    const size_t width = mAxes->other().rangeCount();
    DistinctCells result{column.measure, {}};
    result.counts.reserve(rows.rangeOfTuple.size() * columns.rangeOfTuple.size());
    for (const uint32_t r : rows.rangeOfTuple) {
        for (const uint32_t c : columns.rangeOfTuple) {
            if (r == kNoRange || c == kNoRange)
                result.counts.push_back(0);
            else
                result.counts.push_back(mAxes->treeIsRows ? counts[size_t(r) * width + c]
                                                          : counts[size_t(c) * width + r]);
        }
    }
    return result;
}

}  // namespace olap::query
