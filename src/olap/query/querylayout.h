// How one axis of a pivot lays out its cells. Private to the query engine.
//
// Each placed field has a visible member tree (query.h). Its visible leaves,
// numbered in display order, are the field's "leaves"; every key of the
// dimension falls into one leaf or is excluded (hidden). The axis's leaves are
// the combinations of its fields' leaves, numbered with the outermost field
// most significant. Because leaves are numbered in display order, everything
// one axis tuple totals is a contiguous range of the axis's leaves: facts are
// aggregated per leaf once, and every tuple is then a merge over its range.
#pragma once

#include "olap/query/query.h"

#include <cstdint>
#include <unordered_set>
#include <vector>

namespace olap::query {

// A leaf number, or a key that no leaf takes.
inline constexpr uint32_t kExcluded = UINT32_MAX;

class FieldLayout {
public:
    // One visible member, in preorder: a node's descendants follow it up to subtreeEnd.
    struct Node {
        uint32_t member = 0;
        uint16_t depth = 0;
        bool open = false;        // drilled and showing children
        uint32_t firstLeaf = 0;   // the node's leaves are [firstLeaf, endLeaf)
        uint32_t endLeaf = 0;
        uint32_t subtreeEnd = 0;  // index of the next node not below this one
    };

    // Walks only the visible members, so it reads no more of a hierarchy
    // whose members are read on demand than the pivot shows. Requires: the
    // field's member indices are valid for `hierarchy`.
    FieldLayout(const HierarchyInfo& hierarchy, const AxisField& field);

    uint32_t leafCount() const { return mLeafCount; }
    // Per dimension key: its leaf, or kExcluded. Empty until mapKeys().
    const std::vector<uint32_t>& leafOfKey() const { return mLeafOfKey; }
    const std::vector<Node>& nodes() const { return mNodes; }

    // Fills leafOfKey() for a scan of the facts: reads every member of the
    // hierarchy, which must be in memory. Requires: `hierarchy` and `field`
    // are those of the constructor.
    void mapKeys(const HierarchyInfo& hierarchy, const AxisField& field);

private:
    void visit(const HierarchyInfo& hierarchy, uint32_t member, uint16_t depth);

    std::unordered_set<uint32_t> mDrilled;
    std::unordered_set<uint32_t> mHidden;
    std::vector<Node> mNodes;
    std::vector<uint32_t> mLeafOfKey;
    uint32_t mLeafCount = 0;
};

// A tuple's leaves: [first, end) of the axis's leaf numbers.
struct LeafRange {
    uint64_t first = 0;
    uint64_t end = 0;
};

struct AxisLayout {
    std::vector<FieldLayout> fields;
    std::vector<uint64_t> strides;  // per field: what one of its leaves adds to an axis leaf number
    uint64_t leafCount = 1;         // saturates at UINT64_MAX
    std::vector<AxisTuple> tuples;  // in display order
    std::vector<LeafRange> ranges;  // per tuple
};

// Lays out the axis's fields; no tuples yet (the caller first checks that
// the cells fit). With `mapKeys`, also each field's leaf per key, for a scan
// of the facts. Requires: the axis's fields are valid for `cube`.
AxisLayout layOutAxis(const CubeInfo& cube, const QueryAxis& axis, bool mapKeys);

// Fills the layout's tuples and ranges in display order. Requires: `layout`
// comes from layOutAxis(cube, axis).
void listTuples(AxisLayout& layout, const QueryAxis& axis);

}  // namespace olap::query
