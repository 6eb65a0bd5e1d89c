#include "olap/query/distincttree.h"

#include "platform/core/failure.h"

#include <algorithm>
#include <array>
#include <bit>

namespace olap::query {

namespace {

constexpr size_t kSmall = 16;
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

// The distinct non-empty ranges of `axis` in preorder, and per tuple its
// range's index in them (kNoRange for an empty one).
std::vector<LeafRange> preorderRanges(const AxisLayout& axis, std::vector<uint32_t>& rangeOfTuple)
{
    const auto before = [](const LeafRange& a, const LeafRange& b) {
        return a.first != b.first ? a.first < b.first : a.end > b.end;
    };
    std::vector<LeafRange> sorted;
    for (const LeafRange& range : axis.ranges) {
        if (range.first < range.end)
            sorted.push_back(range);
    }
    std::sort(sorted.begin(), sorted.end(), before);
    sorted.erase(std::unique(sorted.begin(), sorted.end(),
                             [](const LeafRange& a, const LeafRange& b) { return a.first == b.first && a.end == b.end; }),
                 sorted.end());
    for (const LeafRange& range : axis.ranges) {
        const auto at = std::lower_bound(sorted.begin(), sorted.end(), range, before);
        rangeOfTuple.push_back(range.first < range.end ? uint32_t(at - sorted.begin()) : kNoRange);
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
      mSlots(tree.maxDepth + 1), mRecent(size_t(tree.leafCount) * mWidth * mSlots), mLast(mWidth)
{
    mPairs = !tree.path.empty();
    for (uint32_t r = 0; r < other.rangeCount(); ++r) {
        const bool whole = other.first[r] == 0 && other.end[r] == other.leafCount;
        mWhole.push_back(whole);
        mPairs = mPairs && (whole || other.end[r] - other.first[r] == 1);
    }
}

void DistinctTreeCounter::countId(uint32_t id, std::span<uint32_t> keys)
{
    if (++mIdsSinceMoved == UINT16_MAX)
        moveRecent();
    if (mPairs && keys.size() <= kSmall)
        return countPairs(keys);
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
    const size_t width = mWidth, row = mWidth * mSlots;
    uint16_t* counts = mRecent.data();
    Last* lasts = mLast.data();
    for (const uint32_t key : sorted) {
        if (key == kNoKey)
            continue;  // a repeated key's place
        const uint32_t leaf = mByOtherLeaves.quotient(key);
        const uint32_t otherLeaf = key - leaf * otherLeaves;
        const uint64_t path = kPaths ? paths[leaf] : leaf + 1;
        uint16_t* slots = counts + size_t(leaf) * row;
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
            slots[shared * width + *range] += 1;
            last = {id, path};
        }
    }
}

void DistinctTreeCounter::countPairs(std::span<const uint32_t> keys)
{
    const AxisRanges& tree = *mTree;
    const uint8_t* sharedBy = tree.sharedByLeadingZeros.data();
    const uint32_t otherLeaves = mByOtherLeaves.divisor();
    const size_t width = mWidth, row = mWidth * mSlots;
    std::array<uint64_t, kSmall> paths;
    std::array<uint32_t, kSmall> leaves, others;
    const size_t n = keys.size();
    for (size_t i = 0; i < n; ++i) {
        leaves[i] = mByOtherLeaves.quotient(keys[i]);
        others[i] = keys[i] - leaves[i] * otherLeaves;
        paths[i] = tree.path[leaves[i]];
    }
    const uint32_t* holderStart = mOther->holderStart.data();
    const uint32_t* holders = mOther->holders.data();
    for (size_t i = 0; i < n; ++i) {
        // The least XOR of this leaf's path with an earlier fact's in the
        // same other-axis range: `all` for a range holding every leaf of
        // that axis, `same` for one holding this fact's leaf alone (another
        // leaf sets the top bit: nothing shared). None earlier: all ones.
        uint64_t all = ~uint64_t(0), same = ~uint64_t(0);
        for (size_t j = 0; j < i; ++j) {
            const uint64_t differ = paths[i] ^ paths[j];
            all = std::min(all, differ);
            same = std::min(same, differ | uint64_t(others[j] != others[i]) << 63);
        }
        uint16_t* slots = mRecent.data() + size_t(leaves[i]) * row;
        for (uint32_t h = holderStart[others[i]]; h < holderStart[others[i] + 1]; ++h) {
            const uint32_t range = holders[h];
            const uint64_t least = mWhole[range] ? all : same;
            slots[sharedBy[std::countl_zero(least | 1)] * width + range] += 1;
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
    const size_t width = counters[0].mWidth, slots = counters[0].mSlots;
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
                    counted += counter.countAt((leaf * slots + d) * width + c);
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
