// Distinct counts over the tuple pairs of a pivot, added up like sums.
// Private to the query engine.
//
// One axis is the tree axis: its tuples' leaf ranges nest or are apart, so
// they form a forest; a leaf's ranges are a chain from the outermost one in.
// Take one id and one range c of the other axis, and the tree-axis leaves of
// the id's facts that fall in c, in order and without repeats: l1 < l2 < ...
// The ranges that l1 .. li hold between them are l(i-1)'s, plus the ranges
// of li past the n outermost ones, which li shares with l(i-1) (the shared
// ranges of an earlier leaf are fewer still). So li counts the id once in
// each of its ranges deeper than n: one counter, "from depth n on", per
// fact and per other-axis range holding it (usually two or three), not one
// per tuple pair. The roll-up adds them up along the tree axis, and the
// counters of several threads, each taking its own ids, are simply summed.
//
// The order is not needed where each range of the other axis holds all its
// leaves or one (a field's grand total and its members): the ranges that a
// fact adds the id to are those past the most it shares with any earlier
// fact of the id in the same other-axis range, and the highest bit of the
// least XOR of their paths names that. For the ten or so facts an id has,
// comparing every pair costs less than ordering them.
#pragma once

#include "olap/query/querypivot.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <span>
#include <vector>

namespace olap::query {

inline constexpr uint32_t kNoRange = UINT32_MAX;

// One axis's tuples as distinct non-empty leaf ranges, in preorder (first
// leaf ascending, longer first). Throws InternalFailure when two ranges
// overlap without nesting, Failure when a leaf is in more than 255 ranges.
struct AxisRanges {
    explicit AxisRanges(const AxisLayout& axis);

    uint32_t leafCount = 0;
    std::vector<uint32_t> first, end;    // per range
    std::vector<uint32_t> parent;        // per range: the smallest range holding it, or kNoRange
    std::vector<uint32_t> rangeOfTuple;  // kNoRange for a tuple with no leaves

    uint32_t rangeCount() const { return uint32_t(first.size()); }

    // Per leaf: the ranges holding it, outermost first,
    // holders[holderStart[leaf] .. holderStart[leaf + 1]).
    std::vector<uint32_t> holderStart, holders;
    std::vector<uint32_t> depth;  // per range: how many ranges hold it
    uint32_t maxDepth = 0;        // the most ranges holding one leaf

    // Each leaf's chain of ranges as one number: per depth, from the top
    // bits down, the place (from 1) of its range there among its siblings,
    // 0 below its deepest range. Two leaves share the ranges before the
    // field holding the highest bit in which their paths differ, so the
    // shared count is a table entry per count of leading zero bits (63 and
    // 64, equal paths: maxDepth). Bit 0 is never used. Empty when the places
    // need more than 63 bits.
    std::vector<uint64_t> path;
    std::array<uint8_t, 65> sharedByLeadingZeros{};
    bool narrowPaths = false;  // every path within its top 32 bits

    // How many ranges hold both `a` and `b` (leaves).
    uint32_t sharedCount(uint32_t a, uint32_t b) const;

private:
    void listHolders(const std::vector<uint32_t>& deepest);
    void numberPaths();
};

// Divides by a fixed divisor with a multiplication and a shift: exact for
// every dividend below 2^31 (cells are), whose product with the reciprocal
// (rounded up, below 2^32) then fits 64 bits, so a loop of them vectorises.
// Requires: divisor >= 1.
class Divider {
public:
    explicit Divider(uint32_t divisor)
        : mDivisor(divisor), mShift(31 + unsigned(std::bit_width(divisor - 1))),
          mReciprocal(uint32_t((uint64_t(1) << mShift) / divisor + 1))
    {
    }
    uint32_t quotient(uint32_t n) const { return uint32_t((uint64_t(n) * mReciprocal) >> mShift); }
    uint32_t divisor() const { return mDivisor; }
    uint32_t reciprocal() const { return mReciprocal; }
    unsigned shift() const { return mShift; }

private:
    uint32_t mDivisor;
    unsigned mShift;  // 31 + bits of divisor - 1: 2^(shift - 31) >= divisor
    uint32_t mReciprocal;
};

// Where the counters of a fact stand, in a counter's array: its leaf times
// `stride`, plus its depth's offset by the leading zeros of its least
// difference (distincttree.cpp), plus its range.
struct CounterPlaces {
    uint32_t byNarrowZeros[33];  // of a narrow least difference's 32 bits (32: equal paths)
    uint32_t byWideZeros[64];    // of a wide one's 64, bit 0 set (63: equal paths)
    const uint32_t* singleRange;  // per other-axis leaf: its own range, or kNoRange
    uint32_t wholeRange;          // the other axis's range of every leaf, or kNoRange
    uint32_t stride;
    uint32_t spareLeaf;           // whose counters take what no range does, and are never read
};

// One thread's counters. An id's facts are given as keys: tree-axis leaf
// times the other axis's leaf count plus other-axis leaf. Counters of
// different threads stand side by side in a vector: each has cache lines of
// its own, not to be written by one core and read by the other per id.
class alignas(64) DistinctTreeCounter {
public:
    // `tree` and `other` must outlive the counter.
    DistinctTreeCounter(const AxisRanges& tree, const AxisRanges& other);

    // Counts one id (never 0) from the keys of its included facts, which it
    // reorders. Every id is given at most once.
    void countId(uint32_t id, std::span<uint32_t> keys);

    // Counts ids[r] (never 0) from keys[runStart[r] .. runStart[r + 1]) for
    // each r, as countId does: runStart has one entry more than ids.
    void countRuns(std::span<uint32_t> keys, std::span<const uint16_t> runStart, std::span<const uint32_t> ids);

    // Per (tree range, other range) pair: how many ids it holds, summed over
    // `counters`, [treeRange * other.rangeCount() + otherRange].
    static std::vector<uint32_t> rollUp(std::span<const DistinctTreeCounter> counters);

private:
    struct Last {
        uint32_t id = 0;
        uint64_t path = 0;  // the leaf's path (leaf + 1 where the tree has none); 0: no leaf yet
    };

    template <bool kPaths>
    void countSorted(uint32_t id, std::span<const uint32_t> sorted);
    // Counts one id (the caller has counted it for moveRecent) by ordering its keys.
    void sortAndCount(uint32_t id, std::span<uint32_t> keys);

    const AxisRanges* mTree;
    const AxisRanges* mOther;
    Divider mByOtherLeaves;
    size_t mWidth;  // other.rangeCount()
    // Whether ids of few facts are counted pair by pair: the tree's leaves
    // have paths, and every range of the other axis holds all its leaves
    // (mWholeRange) or one (mSingleRange).
    bool mPairs = false;
    uint32_t mWholeRange = kNoRange;     // the other axis's range of every leaf, if any
    std::vector<uint32_t> mSingleRange;  // per other-axis leaf: its range alone, or kNoRange
    // [counterAt(treeLeaf, n) + otherRange]: the ids counted at the leaf in
    // its ranges from depth n on. Depth maxDepth takes, unread, the facts
    // that add nothing: counting them there costs less than a branch the
    // processor cannot foresee.
    // The depths come in blocks of kDepthsPerBlock, each block leaf by leaf:
    // nearly every fact starts in the first few depths (the ranges near the
    // top, which an id's facts share), so the counters counted most take a
    // fraction of the cache, and a fact's counters are near each other.
    // The tree's leaves are followed by a spare one (see CounterPlaces).
    size_t mLeafStride;                 // kDepthsPerBlock * mWidth
    std::vector<size_t> mDepthOffset;   // per depth
    CounterPlaces mPlaces{};            // where pairs are counted; singleRange set per use
    size_t counterAt(size_t leaf, size_t depth) const { return leaf * mLeafStride + mDepthOffset[depth]; }
    // An id adds at most 1 to each, so the recent ones are moved into the
    // wide ones every 65,535 ids: half the bytes to keep in the caches.
    std::vector<uint16_t> mRecent;
    std::vector<uint32_t> mCounts;  // empty until the first move
    uint32_t mIdsSinceMoved = 0;

    void moveRecent();
    uint32_t countAt(size_t i) const { return mRecent[i] + (mCounts.empty() ? 0 : mCounts[i]); }
    std::vector<Last> mLast;  // per other range
    // countRuns's work space, kept from block to block: per tree leaf its
    // path (the top half where narrow: a smaller table for the caches); per
    // fact its path, its other-axis leaf and its least differences.
    template <class W>
    struct PairSpace {
        std::vector<W> pathOfLeaf;
        std::vector<W> paths, others, all, same;
    };
    PairSpace<uint32_t> mNarrow;
    PairSpace<uint64_t> mWide;
    std::vector<uint32_t> mLeaves;
    std::vector<uint32_t> mWholeCounter, mSingleCounter;  // per fact: its counters (CounterPlaces)
    template <class W>
    void countPairRuns(std::span<uint32_t> keys, std::span<const uint16_t> runStart, std::span<const uint32_t> ids,
                       PairSpace<W>& space);
};

}  // namespace olap::query
