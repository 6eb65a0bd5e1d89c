// Distinct counts over the tuple pairs of a pivot, added up like sums.
// Private to the query engine.
//
// One axis is the tree axis: its tuples' leaf ranges nest or are apart, so
// they form a forest in which a range's parent is the smallest range holding
// it. Take one id and one range c of the other axis, and the tree-axis
// leaves of the id's facts that fall in c, in order and without repeats:
// l1 < l2 < ... < lk. Add 1 at each li and subtract 1 at the deepest range
// holding both l(i-1) and li. Then the sum over a range's leaves and the
// ranges nested in it is 1 when the id has a fact in the range and 0 if not:
// the id's leaves inside a range are consecutive in that order, and a pair's
// deepest common range lies inside the range exactly when both leaves do.
// So a fact costs one or two counter updates per other-axis range holding
// its leaf (usually two or three), not one per tuple pair, and the counters
// of several threads, each taking its own ids, are simply summed.
#pragma once

#include "olap/query/querypivot.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <span>
#include <vector>

namespace olap::query {

inline constexpr uint32_t kNoRange = UINT32_MAX;

// One axis's tuples as distinct non-empty leaf ranges, in preorder (first
// leaf ascending, longer first). Throws InternalFailure when two ranges
// overlap without nesting.
struct AxisRanges {
    explicit AxisRanges(const AxisLayout& axis);

    uint32_t leafCount = 0;
    std::vector<uint32_t> first, end;    // per range
    std::vector<uint32_t> parent;        // per range: the smallest range holding it, or kNoRange
    std::vector<uint32_t> rangeOfTuple;  // kNoRange for a tuple with no leaves

    uint32_t rangeCount() const { return uint32_t(first.size()); }
    // The deepest range holding leaves a < b, or rangeCount() if none does.
    uint32_t commonRange(uint32_t a, uint32_t b) const
    {
        // The ranges holding a pair of neighbouring leaves are the first ones
        // of each leaf's list; those holding every pair from a to b, the
        // fewest of them (a minimum over the gaps, from two table entries).
        const unsigned level = unsigned(std::bit_width(b - a)) - 1;
        const uint16_t* shared = &sharedByGaps[size_t(level) * leafCount];
        const uint32_t common = std::min(shared[a], shared[b - (uint32_t(1) << level)]);
        return common == 0 ? rangeCount() : holders[holderStart[a] + common - 1];
    }

    // Per leaf: the ranges holding it, outermost first,
    // holders[holderStart[leaf] .. holderStart[leaf + 1]).
    std::vector<uint32_t> holderStart, holders;
    // [level * leafCount + gap]: how many ranges hold all the leaves from gap
    // to gap + 2^level (the gap's pairs' minimum).
    std::vector<uint16_t> sharedByGaps;

private:
    void listHolders(const std::vector<uint32_t>& deepest);
    void tableSharedRanges();
};

// Divides by a fixed divisor with a multiplication: exact for every 32-bit
// dividend (the divisor's reciprocal rounded up in 64 bits).
class Divider {
public:
    explicit Divider(uint32_t divisor) : mDivisor(divisor), mReciprocal(divisor > 1 ? UINT64_MAX / divisor + 1 : 0) {}
    uint32_t quotient(uint32_t n) const
    {
        __extension__ using Wide = unsigned __int128;
        return mDivisor == 1 ? n : uint32_t((Wide(mReciprocal) * n) >> 64);
    }
    uint32_t divisor() const { return mDivisor; }

private:
    uint32_t mDivisor;
    uint64_t mReciprocal;
};

// One thread's counters. An id's facts are given as keys: tree-axis leaf
// times the other axis's leaf count plus other-axis leaf.
class DistinctTreeCounter {
public:
    // `tree` and `other` must outlive the counter.
    DistinctTreeCounter(const AxisRanges& tree, const AxisRanges& other);

    // Counts one id (never 0) from the keys of its included facts, which it
    // reorders. Every id is given at most once.
    void countId(uint32_t id, std::span<uint32_t> keys);

    // Per (tree range, other range) pair: how many ids it holds, summed over
    // `counters`, [treeRange * other.rangeCount() + otherRange].
    static std::vector<uint32_t> rollUp(std::span<const DistinctTreeCounter> counters);

private:
    struct Last {
        uint32_t id = 0;
        uint32_t leaf = 0;
    };

    const AxisRanges* mTree;
    const AxisRanges* mOther;
    Divider mByOtherLeaves;
    size_t mWidth;                  // other.rangeCount()
    std::vector<uint32_t> mLeaves;  // [treeLeaf * mWidth + otherRange]
    std::vector<uint32_t> mNested;  // [treeRange * mWidth + otherRange]; one more row for pairs with no common range
    std::vector<Last> mLast;        // per other range
};

}  // namespace olap::query
