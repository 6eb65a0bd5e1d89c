// The fact scan: blocks of facts, cell numbers first, then one loop per group
// of measures, on several threads with accumulators of their own.
#include "olap/query/queryscan.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <exception>
#include <thread>
#include <utility>

namespace olap::query {

namespace {

// Facts per block: the block's cell numbers stay in the first-level cache
// while the measures' loops read them.
constexpr size_t kBlock = 2048;
// A part has at least this many facts, and there are at most kMaxParts:
// enough for the cores of a desktop, while every part's accumulators are
// fresh memory that costs page faults on each query.
constexpr uint64_t kFactsPerPart = uint64_t(1) << 20;
constexpr uint64_t kMaxParts = 4;
// Memory for the parts' accumulators, per fact scanned: a small share of
// what the facts themselves take (at least 12 bytes each).
constexpr uint64_t kAccumulatorBytesPerFact = 2;
constexpr uint64_t kTwoPartBytesPerFact = 4;

// The common case of up to four key columns in one pass, without a running
// sum in memory.
template <size_t N>
void cellsOfBlock(std::span<const ScanColumn> columns, uint64_t begin, size_t count, uint32_t cellCount,
                  uint32_t* cells)
{
    const uint32_t* keys[N];
    const uint32_t* offsets[N];
    for (size_t c = 0; c < N; ++c) {
        keys[c] = columns[c].keys.data() + begin;
        offsets[c] = columns[c].offsetOfKey.data();
    }
    for (size_t i = 0; i < count; ++i) {
        uint64_t sum = 0;
        for (size_t c = 0; c < N; ++c)
            sum += offsets[c][keys[c][i]];
        cells[i] = uint32_t(std::min<uint64_t>(sum, cellCount));
    }
}

void cellsOfBlockAnyWidth(std::span<const ScanColumn> columns, uint64_t begin, size_t count, uint32_t cellCount,
                          uint32_t* cells)
{
    std::array<uint64_t, kBlock> sum{};
    for (const ScanColumn& column : columns) {
        const uint32_t* keys = column.keys.data() + begin;
        const uint32_t* offsets = column.offsetOfKey.data();
        for (size_t i = 0; i < count; ++i)
            sum[i] += offsets[keys[i]];
    }
    for (size_t i = 0; i < count; ++i)
        cells[i] = uint32_t(std::min<uint64_t>(sum[i], cellCount));
}

void cellsOfBlock(std::span<const ScanColumn> columns, uint64_t begin, size_t count, uint32_t cellCount,
                  uint32_t* cells)
{
    switch (columns.size()) {
    case 0:
        return std::fill(cells, cells + count, 0u);
    case 1:
        return cellsOfBlock<1>(columns, begin, count, cellCount, cells);
    case 2:
        return cellsOfBlock<2>(columns, begin, count, cellCount, cells);
    case 3:
        return cellsOfBlock<3>(columns, begin, count, cellCount, cells);
    case 4:
        return cellsOfBlock<4>(columns, begin, count, cellCount, cells);
    default:
        return cellsOfBlockAnyWidth(columns, begin, count, cellCount, cells);
    }
}

LeafAccumulators emptyAccumulators(std::span<const ScanMeasure> measures, uint32_t cellCount)
{
    LeafAccumulators result{measures.size(), {}};
    result.cells.reserve((size_t(cellCount) + 1) * measures.size());
    for (uint64_t cell = 0; cell <= cellCount; ++cell) {
        for (const ScanMeasure& measure : measures)
            result.cells.push_back(emptyAccumulator(measure.aggregation));
    }
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

// Up to kGroup measures in one loop, so that a fact's cell is fetched once
// for all of them. `first` points at the group's first measure in cell 0.
constexpr size_t kGroup = 3;

template <Aggregation... A, size_t... I>
void addGroup(Accumulator* first, size_t stride, const double* const* values, const uint32_t* cells, size_t count,
              std::index_sequence<I...>)
{
    for (size_t i = 0; i < count; ++i) {
        Accumulator* cell = first + size_t(cells[i]) * stride;
        (addValue<A>(cell[I], values[I][i]), ...);
    }
}

template <Aggregation... A>
void addGroup(std::span<const ScanMeasure> group, Accumulator* first, size_t stride, uint64_t block,
              const uint32_t* cells, size_t count)
{
    if constexpr (sizeof...(A) < kGroup) {
        if (sizeof...(A) < group.size()) {
            withUpdateKind(group[sizeof...(A)].aggregation, [&]<Aggregation Next>() {
                addGroup<A..., Next>(group, first, stride, block, cells, count);
            });
            return;
        }
    }
    if constexpr (sizeof...(A) > 0) {
        const double* values[sizeof...(A)];
        for (size_t m = 0; m < sizeof...(A); ++m)
            values[m] = group[m].values.data() + block;
        addGroup<A...>(first, stride, values, cells, count, std::index_sequence_for<decltype(A)...>());
    }
}

void addMeasures(std::span<const ScanMeasure> measures, uint64_t block, const uint32_t* cells, size_t count,
                 LeafAccumulators& into)
{
    for (size_t m = 0; m < measures.size(); m += kGroup) {
        const auto group = measures.subspan(m, std::min(kGroup, measures.size() - m));
        addGroup<>(group, into.cells.data() + m, measures.size(), block, cells, count);
    }
}

void scanPart(std::span<const ScanColumn> columns, std::span<const ScanMeasure> measures, uint64_t begin,
              uint64_t end, uint32_t cellCount, LeafAccumulators& into)
{
    std::array<uint32_t, kBlock> cells;
    for (uint64_t block = begin; block < end; block += kBlock) {
        const size_t count = size_t(std::min<uint64_t>(kBlock, end - block));
        cellsOfBlock(columns, block, count, cellCount, cells.data());
        addMeasures(measures, block, cells.data(), count, into);
    }
}

void mergeParts(std::span<const ScanMeasure> measures, LeafAccumulators& into, const LeafAccumulators& from)
{
    const size_t stride = measures.size();
    for (size_t m = 0; m < stride; ++m) {
        withAggregation(measures[m].aggregation, [&]<Aggregation A>() {
            for (size_t at = m; at < into.cells.size(); at += stride)
                mergeInto<A>(into.cells[at], from.cells[at]);
        });
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

}  // namespace

LeafAccumulators scanFacts(std::span<const ScanColumn> columns, std::span<const ScanMeasure> measures,
                           uint64_t rowCount, uint32_t cellCount, unsigned threads)
{
    const uint64_t parts = partCount(rowCount, cellCount, measures.size());
    if (threads == 0)
        threads = std::max(1u, std::thread::hardware_concurrency());
    threads = unsigned(std::min<uint64_t>(threads, parts));
    std::vector<LeafAccumulators> results(parts);
    std::vector<std::exception_ptr> errors(threads);
    // Threads take the next part as they finish one, so a thread that the
    // system holds up does not hold up the others.
    std::atomic<uint64_t> nextPart{0};
    auto work = [&](unsigned thread) {
        try {
            for (uint64_t p = nextPart++; p < parts; p = nextPart++) {
                results[p] = emptyAccumulators(measures, cellCount);
                scanPart(columns, measures, rowCount * p / parts, rowCount * (p + 1) / parts, cellCount, results[p]);
            }
        } catch (...) {
            errors[thread] = std::current_exception();
        }
    };
    {
        std::vector<std::jthread> workers;
        for (unsigned t = 1; t < threads; ++t)
            workers.emplace_back(work, t);
        work(0);
    }
    for (const std::exception_ptr& error : errors) {
        if (error)
            std::rethrow_exception(error);
    }
    for (uint64_t p = 1; p < parts; ++p) {
        mergeParts(measures, results[0], results[p]);
        results[p] = {};
    }
    return std::move(results[0]);
}

}  // namespace olap::query
