#include "olap/query/distincttree.h"

#include "platform/core/cpuclones.h"
#include "platform/core/failure.h"
#include "platform/core/intrinsics.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

namespace olap::query {

namespace {

constexpr size_t kSmall = 16;
// An id of at most this many facts is counted pair by pair (see
// leastDifferences): up to about a hundred that costs less than ordering
// them (a million ids over 100M facts).
constexpr size_t kPairLanes = 128;
constexpr size_t kCountAhead = 8;  // at most kPairLanes: the padding past a block's facts
// Depths in a block of counters (see DistinctTreeCounter): 97% of the
// benchmark pivot's facts start at one of the first four.
constexpr size_t kDepthsPerBlock = 4;
constexpr uint32_t kNoKey = UINT32_MAX;  // above every key: cells stay below 2^31

// An id has a handful of facts. Each key's place is the number of smaller
// keys: compares that never branch beat a sort's unforeseeable branches at
// that size. Repeated keys take one place; the places after it keep kNoKey.
// Returns the keys in order.
std::span<const uint32_t> sortKeys(std::span<uint32_t> keys, std::array<uint32_t, kSmall>& small)
{
    if (keys.size() > kSmall) {
        std::sort(keys.begin(), keys.end());
        return keys;
    }
    small.fill(kNoKey);
    const uint32_t* in = keys.data();
    const size_t n = keys.size();
    for (size_t i = 0; i < n; ++i) {
        uint32_t place = 0;
        for (size_t j = 0; j < n; ++j)
            place += in[j] < in[i];
        small[place] = in[i];
    }
    return std::span<const uint32_t>(small.data(), n);
}

// For each of the first n facts, the least XOR of its path with an earlier
// fact's: in `all` over every earlier fact, in `same` over those of the same
// other-axis leaf (another leaf's sets the top bit: nothing shared); all ones
// where there is none. The facts stand in lanes of vectors, each earlier fact
// is compared with all of them at once and masked where it is not earlier:
// for the ten or so facts of an id that beats ordering them. Paths of 32
// bits or fewer (the top half of the 64-bit ones) take half the lanes.
template <class W>
struct LaneVector;
template <>
struct LaneVector<uint32_t> {
    using Type = uint32_t __attribute__((vector_size(64)));
};
template <>
struct LaneVector<uint64_t> {
    using Type = uint64_t __attribute__((vector_size(64)));
};
template <class W>
using Lanes = typename LaneVector<W>::Type;
template <class W>
constexpr size_t kLanes = 64 / sizeof(W);

template <class W, size_t kVectors>
[[gnu::always_inline]] inline void leastDifferences(const W* paths, const W* others, size_t n, W* all, W* same)
{
    using V = Lanes<W>;
    V path[kVectors], other[kVectors], lane[kVectors], leastAll[kVectors], leastSame[kVectors];
    const V top = V{} + (W(1) << (8 * sizeof(W) - 1));
    for (size_t v = 0; v < kVectors; ++v) {
        std::memcpy(&path[v], paths + v * kLanes<W>, sizeof(V));
        std::memcpy(&other[v], others + v * kLanes<W>, sizeof(V));
        for (size_t i = 0; i < kLanes<W>; ++i)
            lane[v][i] = W(v * kLanes<W> + i);
        leastAll[v] = leastSame[v] = ~V{};
    }
    // The last fact is earlier than none of the run's.
    for (size_t j = 0; j + 1 < n; ++j) {
        for (size_t v = 0; v < kVectors; ++v) {
            const V differ = (path[v] ^ paths[j]) | V(lane[v] <= W(j));
            leastAll[v] = leastAll[v] < differ ? leastAll[v] : differ;
            const V sameLeaf = differ | (V(other[v] != others[j]) & top);
            leastSame[v] = leastSame[v] < sameLeaf ? leastSame[v] : sameLeaf;
        }
    }
    for (size_t v = 0; v < kVectors; ++v) {
        std::memcpy(all + v * kLanes<W>, &leastAll[v], sizeof(V));
        std::memcpy(same + v * kLanes<W>, &leastSame[v], sizeof(V));
    }
}

// The same for an id of more facts than two vectors hold: a vector of them
// at a time, compared with the facts before its last one. It would do for
// ids of two vectors or fewer too, but the whole distinct pivot took 7% longer
// that way: most ids have a handful of facts, and a fixed count of vectors
// lets the compiler keep them all in registers.
template <class W>
[[gnu::always_inline]] inline void leastDifferencesOfMany(const W* paths, const W* others, size_t n, W* all, W* same)
{
    using V = Lanes<W>;
    const V top = V{} + (W(1) << (8 * sizeof(W) - 1));
    for (size_t first = 0; first < n; first += kLanes<W>) {
        V path, other, lane, leastAll = ~V{}, leastSame = ~V{};
        std::memcpy(&path, paths + first, sizeof(V));
        std::memcpy(&other, others + first, sizeof(V));
        for (size_t i = 0; i < kLanes<W>; ++i)
            lane[i] = W(first + i);
        for (size_t j = 0, earlier = std::min(n, first + kLanes<W>) - 1; j < earlier; ++j) {
            const V differ = (path ^ paths[j]) | V(lane <= W(j));
            leastAll = leastAll < differ ? leastAll : differ;
            const V sameLeaf = differ | (V(other != others[j]) & top);
            leastSame = leastSame < sameLeaf ? leastSame : sameLeaf;
        }
        std::memcpy(all + first, &leastAll, sizeof(V));
        std::memcpy(same + first, &leastSame, sizeof(V));
    }
}

template <class W>
[[gnu::always_inline]] inline void leastDifferencesOfRuns(const W* paths, const W* others, const uint16_t* runStart,
                                                          size_t runs, W* all, W* same)
{
    constexpr size_t lanes = kLanes<W>;
    for (size_t r = 0; r < runs; ++r) {
        const size_t first = runStart[r], n = size_t(runStart[r + 1] - first);
        if (n == 1)
            all[first] = same[first] = ~W(0);  // the common id of one fact: nothing earlier
        else if (n <= lanes)
            leastDifferences<W, 1>(paths + first, others + first, n, all + first, same + first);
        else if (n <= 2 * lanes)
            leastDifferences<W, 2>(paths + first, others + first, n, all + first, same + first);
        else if (n <= kPairLanes)
            leastDifferencesOfMany(paths + first, others + first, n, all + first, same + first);
    }
}

// Each run's least differences (see leastDifferences); runs of more than
// kPairLanes facts are left alone. A run's lanes past its end belong to the
// next runs, or to padding: they are written over as those are worked out.
PLATFORM_CPU_CLONES void leastDifferencesOfRuns(const uint32_t* paths, const uint32_t* others, const uint16_t* runStart,
                                                size_t runs, uint32_t* all, uint32_t* same)
{
    leastDifferencesOfRuns<uint32_t>(paths, others, runStart, runs, all, same);
}
PLATFORM_CPU_CLONES void leastDifferencesOfRuns(const uint64_t* paths, const uint64_t* others, const uint16_t* runStart,
                                                size_t runs, uint64_t* all, uint64_t* same)
{
    leastDifferencesOfRuns<uint64_t>(paths, others, runStart, runs, all, same);
}

// Per key of [begin, end): its tree-axis leaf, other-axis leaf and path.
template <class W>
[[gnu::always_inline]] inline void leavesOfEachKey(const uint32_t* keys, size_t begin, size_t end,
                                                   Divider byOtherLeaves, const W* pathOfLeaf, uint32_t* leaves,
                                                   W* others, W* paths)
{
    const uint32_t otherLeaves = byOtherLeaves.divisor();
    for (size_t i = begin; i < end; ++i) {
        const uint32_t leaf = byOtherLeaves.quotient(keys[i]);
        leaves[i] = leaf;
        others[i] = keys[i] - leaf * otherLeaves;
        paths[i] = pathOfLeaf[leaf];
    }
}

PLATFORM_CPU_CLONES void leavesOfEachKey(const uint32_t* keys, size_t begin, size_t end, Divider byOtherLeaves,
                                         const uint32_t* pathOfLeaf, uint32_t* leaves, uint32_t* others,
                                         uint32_t* paths)
{
    leavesOfEachKey<uint32_t>(keys, begin, end, byOtherLeaves, pathOfLeaf, leaves, others, paths);
}
PLATFORM_CPU_CLONES void leavesOfEachKey(const uint32_t* keys, size_t begin, size_t end, Divider byOtherLeaves,
                                         const uint64_t* pathOfLeaf, uint32_t* leaves, uint64_t* others,
                                         uint64_t* paths)
{
    leavesOfEachKey<uint64_t>(keys, begin, end, byOtherLeaves, pathOfLeaf, leaves, others, paths);
}

#if defined(__x86_64__)
// The same sixteen keys at a time, the paths gathered (compilers do not turn
// the loop above into gathers): 2.3 times as fast on a block in the caches.
// In the distinct pivot, where the loop took a tenth of the time, it takes
// a third less. The last keys go through the loop.
template <class W>
__attribute__((target("avx512f"))) void leavesOfKeysBy16(const uint32_t* keys, size_t begin, size_t end,
                                                         Divider byOtherLeaves, const W* pathOfLeaf,
                                                         uint32_t* leaves, W* others, W* paths)
{
    const __m512i reciprocal = _mm512_set1_epi64(byOtherLeaves.reciprocal());
    const __m128i shift = _mm_cvtsi32_si128(int(byOtherLeaves.shift()));
    const __m512i divisor = _mm512_set1_epi32(int(byOtherLeaves.divisor()));
    size_t i = begin;
    for (; end - i >= 16; i += 16) {
        const __m512i key = _mm512_loadu_si512(keys + i);
        // Quotients of the even and the odd 32-bit lanes, each from a 64-bit product.
        const __m512i even = _mm512_srl_epi64(_mm512_mul_epu32(key, reciprocal), shift);
        const __m512i odd = _mm512_srl_epi64(_mm512_mul_epu32(_mm512_srli_epi64(key, 32), reciprocal), shift);
        const __m512i leaf = _mm512_mask_blend_epi32(0xAAAA, even, _mm512_slli_epi64(odd, 32));
        const __m512i other = _mm512_sub_epi32(key, _mm512_mullo_epi32(leaf, divisor));
        _mm512_storeu_si512(leaves + i, leaf);
        if constexpr (sizeof(W) == 4) {
            _mm512_storeu_si512(others + i, other);
            _mm512_storeu_si512(paths + i, _mm512_i32gather_epi32(leaf, pathOfLeaf, 4));
        } else {
            const __m256i low = _mm512_castsi512_si256(leaf), high = _mm512_extracti64x4_epi64(leaf, 1);
            _mm512_storeu_si512(others + i, _mm512_cvtepu32_epi64(_mm512_castsi512_si256(other)));
            _mm512_storeu_si512(others + i + 8, _mm512_cvtepu32_epi64(_mm512_extracti64x4_epi64(other, 1)));
            _mm512_storeu_si512(paths + i, _mm512_i32gather_epi64(low, pathOfLeaf, 8));
            _mm512_storeu_si512(paths + i + 8, _mm512_i32gather_epi64(high, pathOfLeaf, 8));
        }
    }
    leavesOfEachKey(keys, i, end, byOtherLeaves, pathOfLeaf, leaves, others, paths);
}
#endif

template <class W>
void leavesOfKeys(const uint32_t* keys, size_t begin, size_t end, Divider byOtherLeaves, const W* pathOfLeaf,
                  uint32_t* leaves, W* others, W* paths)
{
#if defined(__x86_64__)
    if (platform::hasAvx512())
        return leavesOfKeysBy16(keys, begin, end, byOtherLeaves, pathOfLeaf, leaves, others, paths);
#endif
    leavesOfEachKey(keys, begin, end, byOtherLeaves, pathOfLeaf, leaves, others, paths);
}

// The leading zeros of a least difference, as CounterPlaces::byZeros counts
// them: of the 32 bits of a narrow one (32 for equal paths), of a wide one
// with its unused bit 0 set (63 for equal paths).
inline unsigned zerosOf(uint32_t least) { return unsigned(std::countl_zero(least)); }
inline unsigned zerosOf(uint64_t least) { return unsigned(std::countl_zero(least | 1)); }

// Per fact of [begin, end): where the two counters it adds 1 to stand, its
// leaf's at the depth its least difference names, in the other axis's
// range of every leaf (`whole`) and in its other-axis leaf's own range
// (`single`); the spare leaf's where there is no such range. Worked out in
// a loop of their own, sixteen facts at a time where the processor can
// (countersOfFactsBy16), the loop that counts is left with two additions a
// fact: the distinct pivot took 8-12% less time than with both in one loop.
template <class W>
[[gnu::always_inline]] inline void countersOfFacts(size_t begin, size_t end, const uint32_t* leaves,
                                                   const W* others, const W* all, const W* same,
                                                   const CounterPlaces& places, uint32_t* whole, uint32_t* single)
{
    const uint32_t* byZeros = sizeof(W) == 4 ? places.byNarrowZeros : places.byWideZeros;
    const uint32_t* singleRange = places.singleRange;
    const uint32_t stride = places.stride, spare = places.spareLeaf;
    const bool hasWhole = places.wholeRange != kNoRange;
    const uint32_t wholeRange = hasWhole ? places.wholeRange : 0;
    for (size_t i = begin; i < end; ++i) {
        const uint32_t leaf = leaves[i];
        const uint32_t range = singleRange[uint32_t(others[i])];
        const bool none = range == kNoRange;
        whole[i] = (hasWhole ? leaf : spare) * stride + byZeros[zerosOf(all[i])] + wholeRange;
        single[i] = (none ? spare : leaf) * stride + byZeros[zerosOf(same[i])] + (none ? 0 : range);
    }
}

PLATFORM_CPU_CLONES void countersOfFacts(size_t begin, size_t end, const uint32_t* leaves, const uint32_t* others,
                                         const uint32_t* all, const uint32_t* same, const CounterPlaces& places,
                                         uint32_t* whole, uint32_t* single)
{
    countersOfFacts<uint32_t>(begin, end, leaves, others, all, same, places, whole, single);
}
PLATFORM_CPU_CLONES void countersOfFacts(size_t begin, size_t end, const uint32_t* leaves, const uint64_t* others,
                                         const uint64_t* all, const uint64_t* same, const CounterPlaces& places,
                                         uint32_t* whole, uint32_t* single)
{
    countersOfFacts<uint64_t>(begin, end, leaves, others, all, same, places, whole, single);
}

#if defined(__x86_64__)
// The depths' offsets of sixteen narrow least differences: their leading
// zeros 0..31 pick from the table's two halves by their low five bits; 32
// is an equal path.
__attribute__((target("avx512f,avx512cd"), always_inline)) inline __m512i depthOffsets(const uint32_t* least,
                                                                                      __m512i low, __m512i high,
                                                                                      __m512i equalPaths)
{
    const __m512i zeros = _mm512_lzcnt_epi32(_mm512_loadu_si512(least));
    const __m512i offset = _mm512_permutex2var_epi32(low, zeros, high);
    return _mm512_mask_mov_epi32(offset, _mm512_cmpeq_epi32_mask(zeros, _mm512_set1_epi32(32)), equalPaths);
}

// The same for narrow paths, sixteen facts at a time, written out (GCC makes
// the table look-ups scalar loads): the depths' offsets are looked up in
// two registers, the other-axis leaves' ranges gathered. The last facts go
// through the loop.
__attribute__((target("avx512f,avx512cd"))) void countersOfFactsBy16(size_t begin, size_t end,
                                                                    const uint32_t* leaves, const uint32_t* others,
                                                                    const uint32_t* all, const uint32_t* same,
                                                                    const CounterPlaces& places, uint32_t* whole,
                                                                    uint32_t* single)
{
    const __m512i low = _mm512_loadu_si512(places.byNarrowZeros);
    const __m512i high = _mm512_loadu_si512(places.byNarrowZeros + 16);
    const __m512i equalPaths = _mm512_set1_epi32(int(places.byNarrowZeros[32]));
    const __m512i stride = _mm512_set1_epi32(int(places.stride));
    const __m512i spare = _mm512_set1_epi32(int(places.spareLeaf));
    const __m512i noRange = _mm512_set1_epi32(int(kNoRange));
    const bool hasWhole = places.wholeRange != kNoRange;
    const __m512i wholeRange = _mm512_set1_epi32(hasWhole ? int(places.wholeRange) : 0);
    size_t i = begin;
    for (; end - i >= 16; i += 16) {
        const __m512i leaf = _mm512_loadu_si512(leaves + i);
        const __m512i wholeAt = _mm512_mullo_epi32(hasWhole ? leaf : spare, stride);
        const __m512i wholeDepth = depthOffsets(all + i, low, high, equalPaths);
        _mm512_storeu_si512(whole + i, _mm512_add_epi32(_mm512_add_epi32(wholeAt, wholeDepth), wholeRange));
        const __m512i range = _mm512_i32gather_epi32(_mm512_loadu_si512(others + i), places.singleRange, 4);
        const __mmask16 none = _mm512_cmpeq_epi32_mask(range, noRange);
        const __m512i singleAt = _mm512_mullo_epi32(_mm512_mask_mov_epi32(leaf, none, spare), stride);
        const __m512i singleDepth = depthOffsets(same + i, low, high, equalPaths);
        const __m512i singleRange = _mm512_maskz_mov_epi32(__mmask16(~none), range);
        _mm512_storeu_si512(single + i, _mm512_add_epi32(_mm512_add_epi32(singleAt, singleDepth), singleRange));
    }
    countersOfFacts(i, end, leaves, others, all, same, places, whole, single);
}
#endif

template <class W>
void countersOf(size_t begin, size_t end, const uint32_t* leaves, const W* others, const W* all, const W* same,
                const CounterPlaces& places, uint32_t* whole, uint32_t* single)
{
#if defined(__x86_64__)
    if constexpr (sizeof(W) == 4) {
        if (platform::hasAvx512())
            return countersOfFactsBy16(begin, end, leaves, others, all, same, places, whole, single);
    }
#endif
    countersOfFacts(begin, end, leaves, others, all, same, places, whole, single);
}

// The distinct non-empty ranges of `axis` in preorder, and per tuple its
// range's index in them (kNoRange for an empty one). The tuples are put in
// order of their first leaf by counting, then by end, longest first, among
// the few that start at one leaf: sorting the benchmark's 7,825 row tuples
// by comparison took 1.3 ms of a distinct pivot's set-up, this 0.2 ms.
std::vector<LeafRange> preorderRanges(const AxisLayout& axis, std::vector<uint32_t>& rangeOfTuple)
{
    const std::vector<LeafRange>& ranges = axis.ranges;
    const size_t leaves = size_t(axis.leafCount);
    std::vector<uint32_t> start(leaves + 1, 0);
    for (const LeafRange& range : ranges) {
        if (range.first < range.end)
            ++start[range.first + 1];
    }
    for (size_t leaf = 0; leaf < leaves; ++leaf)
        start[leaf + 1] += start[leaf];
    std::vector<uint32_t> order(start[leaves]);  // tuples, by first leaf
    {
        std::vector<uint32_t> next(start.begin(), start.end() - 1);
        for (uint32_t t = 0; t < ranges.size(); ++t) {
            if (ranges[t].first < ranges[t].end)
                order[next[ranges[t].first]++] = t;
        }
    }
    const auto longer = [&](uint32_t a, uint32_t b) { return ranges[a].end > ranges[b].end; };
    for (size_t leaf = 0; leaf < leaves; ++leaf) {
        if (start[leaf + 1] - start[leaf] > 1)
            std::sort(order.begin() + start[leaf], order.begin() + start[leaf + 1], longer);
    }
    rangeOfTuple.assign(ranges.size(), kNoRange);
    std::vector<LeafRange> sorted;
    for (const uint32_t t : order) {
        const LeafRange& range = ranges[t];
        if (sorted.empty() || sorted.back().first != range.first || sorted.back().end != range.end)
            sorted.push_back(range);
        rangeOfTuple[t] = uint32_t(sorted.size() - 1);
    }
    return sorted;
}

}  // namespace

AxisRanges::AxisRanges(const AxisLayout& axis) : leafCount(uint32_t(axis.leafCount))
{
    const std::vector<LeafRange> sorted = preorderRanges(axis, rangeOfTuple);
    std::vector<uint32_t> open;  // the ranges holding the current one, outermost first
    std::vector<uint32_t> deepest(leafCount, kNoRange);
    for (uint32_t r = 0; r < sorted.size(); ++r) {
        first.push_back(uint32_t(sorted[r].first));
        end.push_back(uint32_t(sorted[r].end));
        while (!open.empty() && end[open.back()] <= first[r])
            open.pop_back();
        if (!open.empty() && end[open.back()] < end[r])
            throw platform::InternalFailure("two tuples of an axis overlap without nesting", "olap");
        parent.push_back(open.empty() ? kNoRange : open.back());
        depth.push_back(uint32_t(open.size()));
        open.push_back(r);
        // In preorder a nested range comes after the ranges holding it.
        std::fill(deepest.begin() + first[r], deepest.begin() + end[r], r);
    }
    listHolders(deepest);
    numberPaths();
}

void AxisRanges::listHolders(const std::vector<uint32_t>& deepest)
{
    holderStart.reserve(size_t(leafCount) + 1);
    holderStart.push_back(0);
    for (uint32_t leaf = 0; leaf < leafCount; ++leaf) {
        const size_t at = holders.size();
        for (uint32_t r = deepest[leaf]; r != kNoRange; r = parent[r])
            holders.push_back(r);
        std::reverse(holders.begin() + ptrdiff_t(at), holders.end());
        if (holders.size() - at > UINT8_MAX)
            throw platform::Failure(platform::err::kNotSupported,
                                    "a distinct count cannot be shown with more than 255 levels of tuples on one axis",
                                    "olap");
        maxDepth = std::max(maxDepth, uint32_t(holders.size() - at));
        holderStart.push_back(uint32_t(holders.size()));
    }
}

uint32_t AxisRanges::sharedCount(uint32_t a, uint32_t b) const
{
    const uint32_t* x = &holders[holderStart[a]];
    const uint32_t* y = &holders[holderStart[b]];
    const uint32_t length = std::min(holderStart[a + 1] - holderStart[a], holderStart[b + 1] - holderStart[b]);
    uint32_t shared = 0;
    while (shared < length && x[shared] == y[shared])
        ++shared;
    return shared;
}

void AxisRanges::numberPaths()
{
    // Each range's place among its siblings, and the widest place per depth.
    std::vector<uint32_t> place(rangeCount()), children(rangeCount() + 1, 0);
    std::vector<unsigned> bits(maxDepth, 0);
    for (uint32_t r = 0; r < rangeCount(); ++r) {
        place[r] = ++children[parent[r] == kNoRange ? rangeCount() : parent[r]];
        bits[depth[r]] = std::max(bits[depth[r]], unsigned(std::bit_width(place[r])));
    }
    std::vector<unsigned> shift(maxDepth);
    unsigned used = 0;
    for (uint32_t d = 0; d < maxDepth; ++d) {
        used += bits[d];
        if (used > 63)
            return;  // leaves compare their lists of ranges instead
        shift[d] = 64 - used;
    }
    narrowPaths = used <= 32;
    sharedByLeadingZeros.fill(uint8_t(maxDepth));
    for (uint32_t d = 0; d < maxDepth; ++d) {
        for (unsigned bit = shift[d]; bit < shift[d] + bits[d]; ++bit)
            sharedByLeadingZeros[63 - bit] = uint8_t(d);
    }
    path.assign(leafCount, 0);
    for (uint32_t leaf = 0; leaf < leafCount; ++leaf) {
        for (uint32_t i = holderStart[leaf]; i < holderStart[leaf + 1]; ++i)
            path[leaf] |= uint64_t(place[holders[i]]) << shift[depth[holders[i]]];
    }
}

DistinctTreeCounter::DistinctTreeCounter(const AxisRanges& tree, const AxisRanges& other)
    : mTree(&tree), mOther(&other), mByOtherLeaves(std::max(other.leafCount, 1u)), mWidth(other.rangeCount()),
      mLeafStride(kDepthsPerBlock * mWidth), mLast(mWidth)
{
    const size_t depths = size_t(tree.maxDepth) + 1;  // the last for the facts that add nothing
    const size_t blocks = (depths + kDepthsPerBlock - 1) / kDepthsPerBlock;
    const size_t blockSize = (size_t(tree.leafCount) + 1) * mLeafStride;  // and the spare leaf
    for (size_t depth = 0; depth < depths; ++depth)
        mDepthOffset.push_back(depth / kDepthsPerBlock * blockSize + depth % kDepthsPerBlock * mWidth);
    mRecent.resize(blocks * blockSize);
    // Pairs are counted with 32-bit places.
    mPairs = !tree.path.empty() && mRecent.size() <= UINT32_MAX;
    const auto offsetBy = [&](size_t zeros) { return uint32_t(mDepthOffset[tree.sharedByLeadingZeros[zeros]]); };
    for (size_t zeros = 0; zeros < 32; ++zeros)
        mPlaces.byNarrowZeros[zeros] = offsetBy(zeros);  // a narrow path is the top half of a wide one
    mPlaces.byNarrowZeros[32] = offsetBy(63);
    for (size_t zeros = 0; zeros < 64; ++zeros)
        mPlaces.byWideZeros[zeros] = offsetBy(zeros);
    mPlaces.stride = uint32_t(mLeafStride);
    mPlaces.spareLeaf = tree.leafCount;
    mSingleRange.assign(other.leafCount, kNoRange);
    for (uint32_t r = 0; r < other.rangeCount(); ++r) {
        // Ranges are distinct: at most one holds every leaf, and one each leaf alone.
        if (other.first[r] == 0 && other.end[r] == other.leafCount)
            mWholeRange = r;
        else if (other.end[r] - other.first[r] == 1)
            mSingleRange[other.first[r]] = r;
        else
            mPairs = false;
    }
    mPlaces.wholeRange = mWholeRange;
}

void DistinctTreeCounter::countId(uint32_t id, std::span<uint32_t> keys)
{
    if (mPairs && keys.size() <= kPairLanes) {
        const std::array<uint16_t, 2> run{0, uint16_t(keys.size())};
        return countRuns(keys, run, {&id, 1});
    }
    if (++mIdsSinceMoved == UINT16_MAX)
        moveRecent();
    sortAndCount(id, keys);
}

void DistinctTreeCounter::sortAndCount(uint32_t id, std::span<uint32_t> keys)
{
    std::array<uint32_t, kSmall> small;
    const std::span<const uint32_t> sorted = sortKeys(keys, small);
    if (mTree->path.empty())
        countSorted<false>(id, sorted);
    else
        countSorted<true>(id, sorted);
}

template <bool kPaths>
void DistinctTreeCounter::countSorted(uint32_t id, std::span<const uint32_t> sorted)
{
    // Held in locals: the stores below could otherwise alias them and force a reload per fact.
    const AxisRanges& tree = *mTree;
    const uint64_t* paths = tree.path.data();
    const uint8_t* sharedBy = tree.sharedByLeadingZeros.data();
    const uint32_t* holderStart = mOther->holderStart.data();
    const uint32_t* holders = mOther->holders.data();
    const uint32_t otherLeaves = mByOtherLeaves.divisor(), nothing = tree.maxDepth;
    uint16_t* counts = mRecent.data();
    Last* lasts = mLast.data();
    for (const uint32_t key : sorted) {
        if (key == kNoKey)
            continue;  // a repeated key's place
        const uint32_t leaf = mByOtherLeaves.quotient(key);
        const uint32_t otherLeaf = key - leaf * otherLeaves;
        const uint64_t path = kPaths ? paths[leaf] : leaf + 1;
        uint16_t* slots = counts + size_t(leaf) * mLeafStride;
        const uint32_t* end = holders + holderStart[otherLeaf + 1];
        for (const uint32_t* range = holders + holderStart[otherLeaf]; range < end; ++range) {
            Last& last = lasts[*range];
            // Shared with the id's previous leaf in this range, if any.
            uint32_t shared;
            if constexpr (kPaths) {
                // Arithmetic, not branches: which facts start a range is a
                // coin toss. Another id's leaf differs in the top bit (shares
                // nothing); the low bit, never a path's, stands for "equal".
                const uint64_t differ = (last.path ^ path) | uint64_t(last.id != id) << 63 | 1;
                shared = sharedBy[std::countl_zero(differ)];
            } else {
                const uint64_t before = last.id == id ? last.path : 0;
                shared = before == 0 ? 0 : before == path ? nothing : tree.sharedCount(uint32_t(before - 1), leaf);
            }
            slots[mDepthOffset[shared] + *range] += 1;
            last = {id, path};
        }
    }
}

void DistinctTreeCounter::countRuns(std::span<uint32_t> keys, std::span<const uint16_t> runStart,
                                    std::span<const uint32_t> ids)
{
    const size_t runs = ids.size();
    const auto keysOf = [&](size_t r) { return keys.subspan(runStart[r], size_t(runStart[r + 1] - runStart[r])); };
    if (!mPairs) {
        for (size_t r = 0; r < runs; ++r)
            countId(ids[r], keysOf(r));
        return;
    }
    if (mIdsSinceMoved + runs >= UINT16_MAX)
        moveRecent();
    mIdsSinceMoved += uint32_t(runs);
    if (mTree->narrowPaths)
        countPairRuns(keys, runStart, ids, mNarrow);
    else
        countPairRuns(keys, runStart, ids, mWide);
}

template <class W>
void DistinctTreeCounter::countPairRuns(std::span<uint32_t> keys, std::span<const uint16_t> runStart,
                                        std::span<const uint32_t> ids, PairSpace<W>& space)
{
    const size_t runs = ids.size();
    const AxisRanges& tree = *mTree;
    const size_t end = runStart[runs];
    if (space.pathOfLeaf.empty()) {
        constexpr unsigned kDrop = 64 - 8 * sizeof(W);  // narrow paths: their top half
        for (const uint64_t path : tree.path)
            space.pathOfLeaf.push_back(W(path >> kDrop));
    }
    if (space.paths.size() < end + kPairLanes) {
        for (std::vector<W>* v : {&space.paths, &space.others, &space.all, &space.same})
            v->resize(end + kPairLanes);
        for (std::vector<uint32_t>* v : {&mLeaves, &mWholeCounter, &mSingleCounter})
            v->resize(end + kPairLanes);
    }
    W* paths = space.paths.data();
    W* others = space.others.data();
    uint32_t* leaves = mLeaves.data();
    const W* pathOfLeaf = space.pathOfLeaf.data();
    leavesOfKeys(keys.data(), runStart[0], end, mByOtherLeaves, pathOfLeaf, leaves, others, paths);
    std::fill(leaves + end, leaves + end + kPairLanes, 0u);
    std::fill(paths + end, paths + end + kPairLanes, W(0));
    std::fill(others + end, others + end + kPairLanes, W(0));
    leastDifferencesOfRuns(paths, others, runStart.data(), runs, space.all.data(), space.same.data());
    uint32_t* whole = mWholeCounter.data();
    uint32_t* single = mSingleCounter.data();
    mPlaces.singleRange = mSingleRange.data();
    countersOf(runStart[0], end, leaves, others, space.all.data(), space.same.data(), mPlaces, whole, single);
    std::fill(whole + end, whole + end + kPairLanes, 0u);
    uint16_t* counts = mRecent.data();
    // The facts in one loop, the stretches between the rare runs too long to compare pair by pair.
    size_t i = runStart[0];
    for (size_t r = 0; r <= runs; ++r) {
        const size_t length = r < runs ? size_t(runStart[r + 1] - runStart[r]) : 0;
        if (r < runs && length <= kPairLanes)
            continue;
        for (const size_t stretchEnd = r < runs ? runStart[r] : end; i < stretchEnd; ++i) {
            // The counters are in the second-level cache at best: asking for
            // a later fact's now has them there when it is counted.
            __builtin_prefetch(counts + whole[i + kCountAhead], 1);
            counts[whole[i]] += 1;
            counts[single[i]] += 1;
        }
        if (r < runs) {
            sortAndCount(ids[r], keys.subspan(runStart[r], length));
            i = runStart[r + 1];
        }
    }
}

void DistinctTreeCounter::moveRecent()
{
    mCounts.resize(mRecent.size());
    for (size_t i = 0; i < mRecent.size(); ++i)
        mCounts[i] += mRecent[i];
    std::fill(mRecent.begin(), mRecent.end(), uint16_t(0));
    mIdsSinceMoved = 0;
}

std::vector<uint32_t> DistinctTreeCounter::rollUp(std::span<const DistinctTreeCounter> counters)
{
    const AxisRanges& tree = *counters[0].mTree;
    const size_t width = counters[0].mWidth;
    // [(depth * (leafCount + 1) + leaf) * width + otherRange]: the ids that
    // the leaves before `leaf` count at `depth`, summed along the tree axis.
    std::vector<uint32_t> before(tree.maxDepth * (size_t(tree.leafCount) + 1) * width);
    const auto at = [&](size_t depth, size_t leaf) { return &before[(depth * (tree.leafCount + 1) + leaf) * width]; };
    for (uint32_t leaf = 0; leaf < tree.leafCount; ++leaf) {
        const uint32_t depths = tree.holderStart[leaf + 1] - tree.holderStart[leaf];
        for (size_t c = 0; c < width; ++c) {
            uint32_t counted = 0;  // from depth 0 to d
            for (size_t d = 0; d < tree.maxDepth; ++d) {
                for (const DistinctTreeCounter& counter : counters)
                    counted += counter.countAt(counter.counterAt(leaf, d) + c);
                at(d, leaf + 1)[c] = at(d, leaf)[c] + (d < depths ? counted : 0);
            }
        }
    }
    std::vector<uint32_t> result(size_t(tree.rangeCount()) * width);
    for (uint32_t r = 0; r < tree.rangeCount(); ++r) {
        for (size_t c = 0; c < width; ++c)
            result[r * width + c] = at(tree.depth[r], tree.end[r])[c] - at(tree.depth[r], tree.first[r])[c];
    }
    return result;
}

}  // namespace olap::query
