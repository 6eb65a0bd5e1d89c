#include "olap/query/distincttree.h"

#include "platform/core/failure.h"

#include <algorithm>

namespace olap::query {

namespace {

// An id has a handful of facts: an insertion sort beats a general sort there.
void sortKeys(std::span<uint32_t> keys)
{
    if (keys.size() > 32) {
        std::sort(keys.begin(), keys.end());
        return;
    }
    for (size_t i = 1; i < keys.size(); ++i) {
        const uint32_t key = keys[i];
        size_t j = i;
        for (; j > 0 && keys[j - 1] > key; --j)
            keys[j] = keys[j - 1];
        keys[j] = key;
    }
}

}  // namespace

AxisRanges::AxisRanges(const AxisLayout& axis) : leafCount(uint32_t(axis.leafCount))
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
        open.push_back(r);
        // In preorder a nested range comes after the ranges holding it.
        std::fill(deepest.begin() + first[r], deepest.begin() + end[r], r);
    }
    listHolders(deepest);
    tableSharedRanges();
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
        if (holders.size() - at > UINT16_MAX)
            throw platform::InternalFailure("an axis nests its tuples too deep", "olap");
        holderStart.push_back(uint32_t(holders.size()));
    }
}

void AxisRanges::tableSharedRanges()
{
    const unsigned levels = leafCount > 1 ? unsigned(std::bit_width(leafCount - 1)) : 0;
    sharedByGaps.assign(size_t(levels) * leafCount, 0);
    for (uint32_t gap = 0; gap + 1 < leafCount; ++gap) {
        // Lists of neighbours share their outermost ranges up to the first difference.
        uint32_t shared = 0;
        const uint32_t* a = &holders[holderStart[gap]];
        const uint32_t* b = &holders[holderStart[gap + 1]];
        const uint32_t length = std::min(holderStart[gap + 1] - holderStart[gap], holderStart[gap + 2] - holderStart[gap + 1]);
        while (shared < length && a[shared] == b[shared])
            ++shared;
        sharedByGaps[gap] = uint16_t(shared);
    }
    for (unsigned level = 1; level < levels; ++level) {
        const uint16_t* below = &sharedByGaps[size_t(level - 1) * leafCount];
        uint16_t* row = &sharedByGaps[size_t(level) * leafCount];
        const uint32_t half = uint32_t(1) << (level - 1);
        for (uint32_t gap = 0; gap + half < leafCount; ++gap)
            row[gap] = std::min(below[gap], below[gap + half]);
    }
}

DistinctTreeCounter::DistinctTreeCounter(const AxisRanges& tree, const AxisRanges& other)
    : mTree(&tree), mOther(&other), mByOtherLeaves(std::max(other.leafCount, 1u)), mWidth(other.rangeCount()),
      mLeaves(size_t(tree.leafCount) * mWidth), mNested((size_t(tree.rangeCount()) + 1) * mWidth), mLast(mWidth)
{
}

void DistinctTreeCounter::countId(uint32_t id, std::span<uint32_t> keys)
{
    sortKeys(keys);
    const AxisRanges& tree = *mTree;
    const AxisRanges& other = *mOther;
    const uint32_t otherLeaves = mByOtherLeaves.divisor();
    for (const uint32_t key : keys) {
        const uint32_t leaf = mByOtherLeaves.quotient(key);
        const uint32_t otherLeaf = key - leaf * otherLeaves;
        for (uint32_t h = other.holderStart[otherLeaf]; h < other.holderStart[otherLeaf + 1]; ++h) {
            const uint32_t range = other.holders[h];
            Last& last = mLast[range];
            if (last.id == id) {
                if (last.leaf == leaf)
                    continue;
                // Wraps below zero: the roll-up's sums are exact modulo 2^32 and end in range.
                mNested[size_t(tree.commonRange(last.leaf, leaf)) * mWidth + range] -= 1;
            }
            mLeaves[size_t(leaf) * mWidth + range] += 1;
            last = {id, leaf};
        }
    }
}

std::vector<uint32_t> DistinctTreeCounter::rollUp(std::span<const DistinctTreeCounter> counters)
{
    const AxisRanges& tree = *counters[0].mTree;
    const size_t width = counters[0].mWidth;
    // Per other range, the leaf counters' running sums along the tree axis.
    std::vector<uint32_t> before((size_t(tree.leafCount) + 1) * width);
    for (size_t leaf = 0; leaf < tree.leafCount; ++leaf) {
        for (size_t c = 0; c < width; ++c) {
            uint32_t sum = before[leaf * width + c];
            for (const DistinctTreeCounter& counter : counters)
                sum += counter.mLeaves[leaf * width + c];
            before[(leaf + 1) * width + c] = sum;
        }
    }
    std::vector<uint32_t> result(size_t(tree.rangeCount()) * width);
    for (const DistinctTreeCounter& counter : counters) {
        for (size_t i = 0; i < result.size(); ++i)
            result[i] += counter.mNested[i];
    }
    // Children follow their parents in preorder: from the back, every range
    // has its nested ranges added when it is added to its own parent.
    for (uint32_t r = tree.rangeCount(); r-- > 0;) {
        if (tree.parent[r] != kNoRange) {
            for (size_t c = 0; c < width; ++c)
                result[size_t(tree.parent[r]) * width + c] += result[size_t(r) * width + c];
        }
    }
    for (uint32_t r = 0; r < tree.rangeCount(); ++r) {
        for (size_t c = 0; c < width; ++c)
            result[size_t(r) * width + c] += before[size_t(tree.end[r]) * width + c] - before[size_t(tree.first[r]) * width + c];
    }
    return result;
}

}  // namespace olap::query
