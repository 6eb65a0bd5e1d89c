// The fact scan: blocks of facts, cell numbers first, then one loop per group
// of measures, on several threads: over parts of the facts with accumulators
// of their own, or over shares of the cells in one shared set.
#include "olap/query/queryscan.h"

#include "platform/core/cpuclones.h"
#include "platform/core/intrinsics.h"
#include "platform/core/parallel.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cstring>
#include <exception>
#include <optional>
#include <utility>

namespace olap::query {

namespace {

using platform::onThreads;

// Facts per block: the block's cell numbers stay in the first-level cache
// while the measures' loops read them.
constexpr size_t kBlock = 2048;
// A part has at least this many facts, and there are at most kMaxParts:
// enough for the cores of a desktop, while every part's accumulators are
// fresh memory that costs page faults on each query.
constexpr uint64_t kFactsPerPart = uint64_t(1) << 18;
constexpr uint64_t kMaxParts = 4;
// Memory for the parts' accumulators, per fact scanned: a small share of
// what the facts themselves take (at least 9 bytes each).
constexpr uint64_t kAccumulatorBytesPerFact = 2;
constexpr uint64_t kTwoPartBytesPerFact = 4;
// Below this many facts one thread scans: starting threads costs more.
constexpr uint64_t kFactsForThreads = uint64_t(1) << 16;

// The block's facts at `picked` positions (every fact, in order, where
// null): the i-th of them is fact at(i).
struct Places {
    const uint16_t* picked;
    size_t at(size_t i) const { return picked ? picked[i] : i; }
};

// Adds one key column's offsets to the cell numbers of `count` facts (the
// first column sets them). A sum stays at most cellCount: offsets are below
// 2^31 and the running sum is capped after each column.
template <bool First, class Key>
void addOffsets(const Key* keys, Places places, const uint32_t* offsets, size_t count, uint32_t cellCount,
                uint32_t* cells)
{
    for (size_t i = 0; i < count; ++i) {
        const uint32_t offset = offsets[keys[places.at(i)]];
        if constexpr (First)
            cells[i] = offset;
        else
            cells[i] = std::min(cells[i] + offset, cellCount);
    }
}

// Up to kFused key columns in one loop, each at its own width, without a
// running sum in memory: the common pivot has three or fewer.
constexpr size_t kFused = 3;

template <size_t... I, class... Key>
void fusedCells(std::index_sequence<I...>, const uint32_t* const* offsets, Places places, size_t count,
                uint32_t cellCount, uint32_t* cells, const Key*... keys)
{
    for (size_t i = 0; i < count; ++i) {
        const size_t at = places.at(i);
        const uint64_t sum = (uint64_t(offsets[I][keys[at]]) + ...);
        cells[i] = uint32_t(std::min<uint64_t>(sum, cellCount));
    }
}

template <class... Key>
void fusedCells(std::span<const ScanColumn> columns, uint64_t begin, Places places, size_t count,
                uint32_t cellCount, uint32_t* cells, const Key*... keys)
{
    if constexpr (sizeof...(Key) < kFused) {
        if (sizeof...(Key) < columns.size()) {
            std::visit([&](const auto& next) {
                fusedCells(columns, begin, places, count, cellCount, cells, keys..., next.data() + begin);
            }, *columns[sizeof...(Key)].keys);
            return;
        }
    }
    if constexpr (sizeof...(Key) > 0) {
        const uint32_t* offsets[sizeof...(Key)];
        for (size_t c = 0; c < sizeof...(Key); ++c)
            offsets[c] = columns[c].offsetOfKey.data();
        // The loop twice, so that the common one (every fact) has no look-up of places.
        if (places.picked)
            fusedCells(std::index_sequence_for<Key...>(), offsets, places, count, cellCount, cells, keys...);
        else
            fusedCells(std::index_sequence_for<Key...>(), offsets, Places{nullptr}, count, cellCount, cells, keys...);
    }
}

// The cells of `count` facts of the block at `begin`, at `places`.
void cellsOfBlock(std::span<const ScanColumn> columns, uint64_t begin, Places places, size_t count,
                  uint32_t cellCount, uint32_t* cells)
{
    if (columns.empty())
        return std::fill(cells, cells + count, 0u);
    if (columns.size() <= kFused)
        return fusedCells<>(columns, begin, places, count, cellCount, cells);
    for (size_t c = 0; c < columns.size(); ++c) {
        const uint32_t* offsets = columns[c].offsetOfKey.data();
        std::visit([&](const auto& keys) {
            if (c == 0)
                addOffsets<true>(keys.data() + begin, places, offsets, count, cellCount, cells);
            else
                addOffsets<false>(keys.data() + begin, places, offsets, count, cellCount, cells);
        }, *columns[c].keys);
    }
}

// Every part's accumulators are filled on each query: where every measure
// starts at zero (all but Min and Max), with one memset.
void fillEmpty(std::span<const ScanMeasure> measures, Accumulator* cells, uint64_t firstCell, uint64_t endCell)
{
    const size_t stride = measures.size();
    const bool zero = std::all_of(measures.begin(), measures.end(), [](const ScanMeasure& measure) {
        return measure.aggregation != Aggregation::Min && measure.aggregation != Aggregation::Max;
    });
    if (zero) {
        const size_t bytes = (endCell - firstCell) * stride * sizeof(Accumulator);
        if (bytes > 0)  // no measures: no memory either
            std::memset(static_cast<void*>(cells + firstCell * stride), 0, bytes);
        return;
    }
    for (uint64_t cell = firstCell; cell < endCell; ++cell) {
        for (size_t m = 0; m < stride; ++m)
            cells[cell * stride + m] = emptyAccumulator(measures[m].aggregation);
    }
}

LeafAccumulators emptyAccumulators(std::span<const ScanMeasure> measures, uint32_t cellCount)
{
    LeafAccumulators result{measures.size(), {}};
    result.cells.resize((size_t(cellCount) + 1) * measures.size());
    fillEmpty(measures, result.cells.data(), 0, uint64_t(cellCount) + 1);
    return result;
}

// The per-fact update of a measure. Average adds like Sum; so does Count,
// whose sum is never read: fewer kinds, fewer loops to compile.
constexpr Aggregation updateKind(Aggregation aggregation)
{
    return aggregation == Aggregation::Min || aggregation == Aggregation::Max ? aggregation : Aggregation::Sum;
}

template <class Run>
void withUpdateKind(Aggregation aggregation, Run&& run)
{
    switch (updateKind(aggregation)) {
    case Aggregation::Min:
        return run.template operator()<Aggregation::Min>();
    case Aggregation::Max:
        return run.template operator()<Aggregation::Max>();
    default:
        return run.template operator()<Aggregation::Sum>();
    }
}

// The facts of a block to add: all of them, or (with `picked`) those at the
// listed positions.
struct BlockFacts {
    const uint32_t* cells;
    const uint16_t* picked;  // nullptr: every fact, in order
    size_t count;
    size_t blockCount;  // the facts of the block, picked or not
};

// Up to kGroup measures in one loop, so that a fact's cell is fetched once
// for all of them. `first` points at the group's first measure in cell 0.
constexpr size_t kGroup = 3;
// How far ahead a fact's cell is asked for: the benchmark pivots took 5-14%
// longer with 16 facts (the cells of the years pivot fill the second-level
// cache), and no less with 64.
constexpr size_t kPrefetch = 32;
// Where at most one fact in kFewPicked of a block is added, only their
// values are decoded.
constexpr size_t kFewPicked = 4;

// A fact's values of the group into its cell; the first two together where
// both are sums (their accumulators stand side by side).
template <Aggregation... A, size_t... I>
inline void addFact(Accumulator* cell, const double* const* value, size_t at, std::index_sequence<I...>)
{
    constexpr std::array<Aggregation, sizeof...(A)> kinds{A...};
    if constexpr (sizeof...(A) >= 2 && kinds[0] == Aggregation::Sum && kinds[1] == Aggregation::Sum) {
        addPair(cell, value[0][at], value[1][at]);
        ((I >= 2 ? addValue<A>(cell[I], value[I][at]) : void()), ...);
    } else {
        (addValue<A>(cell[I], value[I][at]), ...);
    }
}

// Compiled per processor level: a pair of sums is one 256-bit addition where
// the processor has it.
template <Aggregation... A, size_t... I>
PLATFORM_CPU_CLONES_TEMPLATE void addGroup(Accumulator* first, size_t stride, const double* const* values,
                                           const BlockFacts& facts, std::index_sequence<I...>)
{
    // In locals: the stores to the accumulators could otherwise alias them and force a reload per fact.
    const uint32_t* cells = facts.cells;
    const uint16_t* picked = facts.picked;
    const size_t count = facts.count;
    const double* value[sizeof...(I)] = {values[I]...};
    // The cells are known ahead: asking for a later fact's cell now hides
    // the wait for it when the accumulators outgrow the first-level cache.
    const size_t ahead = std::min(count, kPrefetch);
    if (picked) {
        for (size_t i = 0; i < count - ahead; ++i) {
            __builtin_prefetch(first + size_t(cells[i + kPrefetch]) * stride, 1);
            addFact<A...>(first + size_t(cells[i]) * stride, value, picked[i], std::index_sequence<I...>());
        }
        for (size_t i = count - ahead; i < count; ++i) {
            addFact<A...>(first + size_t(cells[i]) * stride, value, picked[i], std::index_sequence<I...>());
        }
        return;
    }
    for (size_t i = 0; i < count - ahead; ++i) {
        __builtin_prefetch(first + size_t(cells[i + kPrefetch]) * stride, 1);
        addFact<A...>(first + size_t(cells[i]) * stride, value, i, std::index_sequence<I...>());
    }
    for (size_t i = count - ahead; i < count; ++i) {
        addFact<A...>(first + size_t(cells[i]) * stride, value, i, std::index_sequence<I...>());
    }
}

template <Aggregation... A>
void addGroup(std::span<const ScanMeasure> group, Accumulator* first, size_t stride, uint64_t block,
              const BlockFacts& facts)
{
    if constexpr (sizeof...(A) < kGroup) {
        if (sizeof...(A) < group.size()) {
            withUpdateKind(group[sizeof...(A)].aggregation, [&]<Aggregation Next>() {
                addGroup<A..., Next>(group, first, stride, block, facts);
            });
            return;
        }
    }
    if constexpr (sizeof...(A) > 0) {
        if (facts.count == 0)
            return;
        // A compact column's block is decoded here, while it is in the cache;
        // where few of its facts are added, their values only, in their order.
        double decoded[sizeof...(A)][kBlock];
        const double* values[sizeof...(A)];
        BlockFacts added = facts;
        if (facts.picked && facts.count * kFewPicked <= facts.blockCount) {
            for (size_t m = 0; m < sizeof...(A); ++m) {
                pickedValues(*group[m].values, block, facts.picked, facts.count, decoded[m]);
                values[m] = decoded[m];
            }
            added.picked = nullptr;
        } else {
            for (size_t m = 0; m < sizeof...(A); ++m)
                values[m] = valuesOf(*group[m].values, block, facts.blockCount, decoded[m]);
        }
        addGroup<A...>(first, stride, values, added, std::index_sequence_for<decltype(A)...>());
    }
}

void addMeasures(std::span<const ScanMeasure> measures, uint64_t block, const BlockFacts& facts,
                 Accumulator* into)
{
    for (size_t m = 0; m < measures.size(); m += kGroup) {
        const auto group = measures.subspan(m, std::min(kGroup, measures.size() - m));
        addGroup<>(group, into + m, measures.size(), block, facts);
    }
}

// Per key column, whether a key of it excludes its facts (hidden, or not
// selected on a page); for such a column of at most kBitKeys keys (one
// vector register of bits), one bit per key that is kept, so that its facts
// are sifted sixteen at a time.
constexpr size_t kBitKeys = 512;
struct KeyFilter {
    bool excludes = false;
    bool bits = false;  // `kept` is set
    std::array<uint32_t, kBitKeys / 32> kept{};
};

std::vector<KeyFilter> keyFilters(std::span<const ScanColumn> columns, uint32_t cellCount)
{
    std::vector<KeyFilter> filters(columns.size());
    for (size_t c = 0; c < columns.size(); ++c) {
        const std::vector<uint32_t>& offsets = columns[c].offsetOfKey;
        KeyFilter& filter = filters[c];
        filter.excludes = std::find(offsets.begin(), offsets.end(), cellCount) != offsets.end();
        filter.bits = filter.excludes && offsets.size() <= kBitKeys;
        for (size_t key = 0; filter.bits && key < offsets.size(); ++key)
            filter.kept[key / 32] |= uint32_t(offsets[key] != cellCount) << (key % 32);
    }
    return filters;
}

#if defined(__x86_64__)
// The places of the facts among `keys` that `kept` (a KeyFilter's bits)
// keeps, into `picked`, sixteen facts at a time; returns how many. The facts
// past the last full sixteen are the caller's.
template <class Key>
__attribute__((target("avx512f"))) size_t keptBy16(const Key* keys, size_t count, const uint32_t* kept,
                                                  uint16_t* picked)
{
    const __m512i lanes = _mm512_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
    const __m512i bits = _mm512_loadu_si512(kept);
    const __m512i one = _mm512_set1_epi32(1);
    size_t still = 0;
    for (size_t i = 0; i + 16 <= count; i += 16) {
        __m512i key;
        if constexpr (sizeof(Key) == 1)
            key = _mm512_cvtepu8_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(keys + i)));
        else
            key = _mm512_cvtepu16_epi32(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(keys + i)));
        const __m512i word = _mm512_permutexvar_epi32(_mm512_srli_epi32(key, 5), bits);
        const __m512i bit = _mm512_srlv_epi32(word, _mm512_and_si512(key, _mm512_set1_epi32(31)));
        const __mmask16 keep = _mm512_test_epi32_mask(bit, one);
        const __m512i at = _mm512_add_epi32(lanes, _mm512_set1_epi32(int(i)));
        // All sixteen lanes are stored and the kept ones counted: the others
        // are overwritten next, or lie past the kept places. still <= i, so
        // the store stays within the block's `count` places.
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(picked + still),
                            _mm512_cvtepi32_epi16(_mm512_maskz_compress_epi32(keep, at)));
        still += size_t(__builtin_popcount(keep));
    }
    return still;
}
#endif

// The places of the block's facts that `filter` keeps, into `picked`;
// returns how many.
template <class Key>
size_t keptFacts(const Key* keys, size_t count, const KeyFilter& filter, const uint32_t* offsets, uint32_t cellCount,
                 uint16_t* picked)
{
    size_t i = 0, still = 0;
#if defined(__x86_64__)
    if constexpr (sizeof(Key) <= 2) {
        if (filter.bits && platform::hasAvx512()) {
            still = keptBy16(keys, count, filter.kept.data(), picked);
            i = count - count % 16;
        }
    }
#endif
    for (; i < count; ++i) {
        picked[still] = uint16_t(i);
        still += offsets[keys[i]] != cellCount;
    }
    return still;
}

// The facts of a block that no key excludes, their cells only worked out:
// the columns that exclude facts are looked at first, and in a pivot of one
// year of four that spares three quarters of the look-ups of the others
// (a customer column's table is larger than the first-level cache). Without
// a branch per fact: which facts are excluded is a coin toss.
BlockFacts includedFacts(std::span<const ScanColumn> columns, std::span<const KeyFilter> filters, uint64_t begin,
                         size_t count, uint32_t cellCount, uint32_t* cells, uint16_t* picked)
{
    Places places{nullptr};
    size_t kept = count;
    for (size_t c = 0; c < columns.size(); ++c) {
        if (!filters[c].excludes)
            continue;
        const uint32_t* offsets = columns[c].offsetOfKey.data();
        std::visit([&](const auto& keys) {
            const auto* key = keys.data() + begin;
            if (!places.picked) {
                kept = keptFacts(key, count, filters[c], offsets, cellCount, picked);
                return;
            }
            size_t still = 0;
            for (size_t i = 0; i < kept; ++i) {
                const uint16_t at = picked[i];
                picked[still] = at;
                still += offsets[key[at]] != cellCount;
            }
            kept = still;
        }, *columns[c].keys);
        places.picked = picked;
    }
    cellsOfBlock(columns, begin, places, kept, cellCount, cells);
    return {cells, kept == count ? nullptr : picked, kept, count};
}

// Of a block's `count` facts with `cells`, those that a shown cell takes:
// their cells to the front of `cells`, their places in the block into
// `picked`, without a branch per fact.
BlockFacts shownFacts(uint32_t* cells, size_t count, uint32_t cellCount, uint16_t* picked)
{
    size_t kept = 0;
    for (size_t i = 0; i < count; ++i) {
        const uint32_t cell = cells[i];
        cells[kept] = cell;
        picked[kept] = uint16_t(i);
        kept += cell < cellCount;
    }
    return {cells, kept == count ? nullptr : picked, kept, count};
}

// `filters` as keyFilters gives. The facts that no shown cell takes
// (hidden members, other pages: cell cellCount) are dropped, not added
// there: one cell's additions wait on each other, and in a pivot of one
// year of four they were three quarters of the facts.
void scanPart(std::span<const ScanColumn> columns, std::span<const ScanMeasure> measures, uint64_t begin,
              uint64_t end, uint32_t cellCount, std::span<const KeyFilter> filters, Accumulator* into,
              CellObserver* observer, unsigned thread)
{
    std::array<uint32_t, kBlock> cells;
    std::array<uint16_t, kBlock> picked;
    const bool anyExcluded =
        std::any_of(filters.begin(), filters.end(), [](const KeyFilter& filter) { return filter.excludes; });
    if (observer)
        observer->startPart(thread, begin, end);
    for (uint64_t block = begin; block < end; block += kBlock) {
        const size_t count = size_t(std::min<uint64_t>(kBlock, end - block));
        BlockFacts facts{cells.data(), nullptr, count, count};
        if (observer) {
            // It takes every fact's cell, excluded or not.
            cellsOfBlock(columns, block, Places{nullptr}, count, cellCount, cells.data());
            observer->block(thread, block, count, cells.data());
            if (anyExcluded)
                facts = shownFacts(cells.data(), count, cellCount, picked.data());
        } else {
            facts = includedFacts(columns, filters, block, count, cellCount, cells.data(), picked.data());
        }
        addMeasures(measures, block, facts, into);
    }
    if (observer)
        observer->endPart(thread);
}

// Merges every part into the first, cells [firstCell, endCell) only: each
// cell adds the parts in order, whichever thread merges it.
void mergeParts(std::span<const ScanMeasure> measures, std::span<LeafAccumulators> parts, uint64_t firstCell,
                uint64_t endCell)
{
    const size_t stride = measures.size();
    for (size_t p = 1; p < parts.size(); ++p) {
        for (size_t m = 0; m < stride; ++m) {
            withAggregation(measures[m].aggregation, [&]<Aggregation A>() {
                for (size_t at = firstCell * stride + m; at < endCell * stride; at += stride)
                    mergeInto<A>(parts[0].cells[at], parts[p].cells[at]);
            });
        }
    }
}

// Parts depend on the facts and cells only. Their accumulators together stay
// within kAccumulatorBytesPerFact per fact; two parts, so that two cores
// share the work, may use kTwoPartBytesPerFact.
uint64_t partCount(uint64_t rowCount, uint32_t cellCount, size_t measureCount)
{
    const uint64_t partBytes = (uint64_t(cellCount) + 1) * std::max<size_t>(measureCount, 1) * sizeof(Accumulator);
    uint64_t parts = std::clamp<uint64_t>(rowCount / kFactsPerPart, 1, kMaxParts);
    while (parts > 2 && parts * partBytes > rowCount * kAccumulatorBytesPerFact)
        --parts;
    if (parts == 2 && 2 * partBytes > rowCount * kTwoPartBytesPerFact)
        parts = 1;
    return parts;
}

LeafAccumulators scanParts(std::span<const ScanColumn> columns, std::span<const ScanMeasure> measures,
                           uint64_t rowCount, uint32_t cellCount, unsigned threads, uint64_t parts,
                           CellObserver* observer)
{
    const std::vector<KeyFilter> filters = keyFilters(columns, cellCount);
    std::vector<LeafAccumulators> results(parts);
    // Threads take the next part as they finish one, so a thread that the
    // system holds up does not hold up the others.
    std::atomic<uint64_t> nextPart{0};
    const unsigned scanners = unsigned(std::min<uint64_t>(threads, parts));
    if (observer)
        observer->start(scanners);
    onThreads(scanners, [&](unsigned t) {
        for (uint64_t p = nextPart++; p < parts; p = nextPart++) {
            results[p] = emptyAccumulators(measures, cellCount);
            scanPart(columns, measures, rowCount * p / parts, rowCount * (p + 1) / parts, cellCount, filters,
                     results[p].cells.data(), observer, t);
        }
    });
    if (parts > 1) {
        const uint64_t cells = uint64_t(cellCount) + 1;
        const unsigned mergers = unsigned(std::min<uint64_t>(threads, cells));
        onThreads(mergers, [&](unsigned t) {
            mergeParts(measures, results, cells * t / mergers, cells * (t + 1) / mergers);
        });
    }
    return std::move(results[0]);
}

// The column along which threads share the cells when each thread adds
// the facts of its own cells: of those whose shown keys fall in two cells
// or more, the one with the fewest keys, the cheapest to look up for every
// fact. Nothing when no column has two such cells.
std::optional<size_t> shareColumn(std::span<const ScanColumn> columns, uint32_t cellCount)
{
    std::optional<size_t> best;
    for (size_t c = 0; c < columns.size(); ++c) {
        const std::vector<uint32_t>& offsets = columns[c].offsetOfKey;
        if (best && offsets.size() >= columns[*best].offsetOfKey.size())
            continue;
        const auto shown = std::find_if(offsets.begin(), offsets.end(), [&](uint32_t o) { return o != cellCount; });
        if (shown != offsets.end()
            && std::any_of(shown, offsets.end(), [&](uint32_t o) { return o != cellCount && o != *shown; }))
            best = c;
    }
    return best;
}

// Each thread's table of the share column: the offsets of the other threads'
// keys become cellCount, so that its scan drops their facts first, as it
// drops hidden ones, and works out the cells of its own facts only. A cell's
// keys all go to one thread (by their offset), and every thread gets about
// as many keys as the others, the nearest guess at as many facts.
std::vector<std::vector<uint32_t>> sharedOffsets(const ScanColumn& column, uint32_t cellCount, unsigned threads)
{
    std::vector<uint32_t> shown;
    for (const uint32_t offset : column.offsetOfKey) {
        if (offset != cellCount)
            shown.push_back(offset);
    }
    std::sort(shown.begin(), shown.end());
    // Per cell, in offset order: its thread, from the keys before it, but
    // leaving a cell at least for each later thread.
    struct Owner {
        uint32_t offset;
        unsigned thread;
    };
    std::vector<Owner> owners;
    for (size_t i = 0; i < shown.size(); ++i) {
        if (i == 0 || shown[i] != shown[i - 1])
            owners.push_back({shown[i], unsigned(uint64_t(i) * threads / shown.size())});
    }
    for (size_t r = 0; r < owners.size(); ++r) {
        const size_t fromHere = owners.size() - r;
        if (fromHere < threads)
            owners[r].thread = std::max(owners[r].thread, unsigned(threads - fromHere));
    }
    std::vector<std::vector<uint32_t>> shares(threads, std::vector<uint32_t>(column.offsetOfKey.size(), cellCount));
    for (size_t key = 0; key < column.offsetOfKey.size(); ++key) {
        const uint32_t offset = column.offsetOfKey[key];
        if (offset == cellCount)
            continue;
        const auto owner = std::lower_bound(owners.begin(), owners.end(), offset,
                                            [](const Owner& o, uint32_t value) { return o.offset < value; });
        shares[owner->thread][key] = offset;
    }
    return shares;
}

// One set of accumulators, each thread adding the facts of its share of the
// cells (along column `share`): no merge, and each fact's cell is worked out
// by one thread only. The fresh memory is filled by both cores first. The
// excluded facts' cell stays empty.
LeafAccumulators scanShares(std::span<const ScanColumn> columns, std::span<const ScanMeasure> measures,
                            uint64_t rowCount, uint32_t cellCount, unsigned threads, size_t share)
{
    LeafAccumulators result{measures.size(), {}};
    result.cells.resize((size_t(cellCount) + 1) * measures.size());
    const uint64_t cells = uint64_t(cellCount) + 1;
    onThreads(threads, [&](unsigned t) {
        fillEmpty(measures, result.cells.data(), cells * t / threads, cells * (t + 1) / threads);
    });
    const std::vector<std::vector<uint32_t>> shares = sharedOffsets(columns[share], cellCount, threads);
    onThreads(threads, [&](unsigned t) {
        std::vector<ScanColumn> own(columns.begin(), columns.end());
        own[share].offsetOfKey = shares[t];
        scanPart(own, measures, 0, rowCount, cellCount, keyFilters(own, cellCount), result.cells.data(),
                 nullptr, t);
    });
    return result;
}

}  // namespace

void leafCellsOfBlock(std::span<const ScanColumn> columns, uint64_t begin, size_t count, uint32_t cellCount,
                      uint32_t* cells)
{
    cellsOfBlock(columns, begin, Places{nullptr}, count, cellCount, cells);
}

LeafAccumulators scanFacts(std::span<const ScanColumn> columns, std::span<const ScanMeasure> measures,
                           uint64_t rowCount, uint32_t cellCount, unsigned threads, CellObserver* observer)
{
    if (threads == 0)
        threads = platform::coreCount();
    const uint64_t parts = partCount(rowCount, cellCount, measures.size());
    // Each cell adds its facts in fact order from an empty start, whether
    // one part or shares of the cells: the same result.
    // Every sharing thread reads all the facts: no more of them than cores.
    const unsigned sharing = std::min(threads, platform::coreCount());
    if (parts == 1 && sharing > 1 && rowCount >= kFactsForThreads && !measures.empty()) {
        if (const std::optional<size_t> share = shareColumn(columns, cellCount))
            return scanShares(columns, measures, rowCount, cellCount, sharing, *share);
    }
    return scanParts(columns, measures, rowCount, cellCount, threads, parts, observer);
}

}  // namespace olap::query
