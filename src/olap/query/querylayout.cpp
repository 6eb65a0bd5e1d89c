// Visible member trees, leaf numbering and the tuples of an axis.
#include "olap/query/querylayout.h"

#include "olap/model/membersource.h"

#include <cassert>
#include <limits>

namespace olap::query {

namespace {

// Members that are shown open: they have no leaf of their own, their
// children have. Never the leaf of a key (keys name deepest-level members).
constexpr uint32_t kOpen = UINT32_MAX - 1;
constexpr uint32_t kUnset = UINT32_MAX - 2;

uint64_t saturatingProduct(uint64_t a, uint64_t b)
{
    if (a != 0 && b > std::numeric_limits<uint64_t>::max() / a)
        return std::numeric_limits<uint64_t>::max();
    return a * b;
}

}  // namespace

FieldLayout::FieldLayout(const HierarchyInfo& hierarchy, const AxisField& field)
    : mDrilled(field.drilled.begin(), field.drilled.end()), mHidden(field.hidden.begin(), field.hidden.end())
{
    if (hierarchy.levels.empty())
        return;
    const LevelInfo& top = hierarchy.levels[0];
    const bool hasAll = top.type == LevelType::All;
    for (uint32_t m = top.firstMember; m < top.firstMember + top.memberCount; ++m) {
        if (!hasAll) {
            visit(hierarchy, m, 0);
        } else if (!mHidden.count(m)) {
            // The "all" member is never shown: it is always open, and its
            // children are the top of the visible tree.
            const MemberInfo& all = memberOf(hierarchy, m);
            for (uint32_t c = all.firstChild; c < all.firstChild + all.childCount; ++c)
                visit(hierarchy, c, 0);
        }
    }
}

void FieldLayout::visit(const HierarchyInfo& hierarchy, uint32_t member, uint16_t depth)
{
    if (mHidden.count(member))
        return;
    const MemberInfo& info = memberOf(hierarchy, member);
    const size_t index = mNodes.size();
    const bool open = info.childCount > 0 && mDrilled.count(member);
    mNodes.push_back({member, depth, open, mLeafCount, 0, 0});
    if (open) {
        const uint32_t first = info.firstChild, count = info.childCount;  // `info` may move as members are read
        for (uint32_t c = first; c < first + count; ++c)
            visit(hierarchy, c, uint16_t(depth + 1));
    } else {
        ++mLeafCount;
    }
    mNodes[index].endLeaf = mLeafCount;
    mNodes[index].subtreeEnd = uint32_t(mNodes.size());
}

// Members below a closed member fall into its leaf; hidden members and all
// below them are excluded, whether visible or not.
void FieldLayout::mapKeys(const HierarchyInfo& hierarchy, const AxisField& field)
{
    std::vector<uint32_t> leafOfMember(hierarchy.members.size(), kUnset);
    for (const Node& node : mNodes)
        leafOfMember[node.member] = node.open ? kOpen : node.firstLeaf;
    std::vector<uint8_t> hidden(hierarchy.members.size());
    for (uint32_t member : field.hidden)
        hidden[member] = 1;
    for (uint32_t m = 0; m < hierarchy.members.size(); ++m) {
        uint32_t& leaf = leafOfMember[m];
        const int32_t parent = hierarchy.members[m].parent;
        const uint32_t above = parent < 0 ? kOpen : leafOfMember[parent];
        if (hidden[m] || above == kExcluded)
            leaf = kExcluded;
        else if (leaf == kUnset)
            leaf = above;  // a leaf number, or kOpen for the "all" member and open members
    }
    mLeafOfKey.resize(hierarchy.memberOfKey.size());
    for (size_t key = 0; key < mLeafOfKey.size(); ++key) {
        const uint32_t leaf = leafOfMember[hierarchy.memberOfKey[key]];
        assert(leaf != kOpen && leaf != kUnset && "a key names a member that has children");
        mLeafOfKey[key] = leaf < mLeafCount ? leaf : kExcluded;
    }
}

AxisLayout layOutAxis(const CubeInfo& cube, const QueryAxis& axis, bool mapKeys)
{
    AxisLayout layout;
    for (const AxisField& field : axis.fields) {
        const HierarchyInfo& hierarchy = cube.dimensions[field.dimension].hierarchies[field.hierarchy];
        layout.fields.emplace_back(hierarchy, field);
        if (mapKeys)
            layout.fields.back().mapKeys(hierarchy, field);
    }
    layout.strides.resize(layout.fields.size());
    for (size_t f = layout.fields.size(); f-- > 0;) {
        layout.strides[f] = layout.leafCount;
        layout.leafCount = saturatingProduct(layout.leafCount, layout.fields[f].leafCount());
    }
    return layout;
}

namespace {

// Walks the fields' visible trees in display order and writes the tuples.
class TupleLister {
public:
    TupleLister(AxisLayout& layout, const QueryAxis& axis)
        : mLayout(layout), mAxis(axis), mCurrent(layout.fields.size())
    {
    }

    void list()
    {
        if (!mLayout.fields.empty())
            field(0, 0);
        if (mAxis.grandTotal || mLayout.fields.empty())
            emit(TupleKind::GrandTotal, {0, mLayout.leafCount});
    }

private:
    void field(size_t f, uint64_t base)
    {
        const auto& nodes = mLayout.fields[f].nodes();
        for (size_t i = 0; i < nodes.size(); i = nodes[i].subtreeEnd)
            visitNode(f, i, base);
    }

    // Emits the tuples of one visible member and, inside it, of the members
    // below it and of the fields inside this one.
    void visitNode(size_t f, size_t index, uint64_t base)
    {
        const FieldLayout::Node& node = mLayout.fields[f].nodes()[index];
        const uint64_t stride = mLayout.strides[f];
        const LeafRange range{base + node.firstLeaf * stride, base + node.endLeaf * stride};
        const bool last = f + 1 == mLayout.fields.size();
        const bool total = mAxis.subtotals && (node.open || !last);
        mCurrent[f] = {int32_t(node.member), node.depth};
        if (total && mAxis.subtotalsFirst)
            emit(TupleKind::Subtotal, range);
        if (node.open) {
            const auto& nodes = mLayout.fields[f].nodes();
            for (size_t c = index + 1; c < node.subtreeEnd; c = nodes[c].subtreeEnd)
                visitNode(f, c, base);
        } else if (last) {
            emit(TupleKind::Member, range);
        } else {
            field(f + 1, range.first);
        }
        mCurrent[f] = {int32_t(node.member), node.depth};  // the walk below reset it
        if (total && !mAxis.subtotalsFirst)
            emit(TupleKind::Subtotal, range);
        mCurrent[f] = TupleMember{};
    }

    void emit(TupleKind kind, LeafRange range)
    {
        mLayout.tuples.push_back({kind, TupleMembers(mCurrent)});
        mLayout.ranges.push_back(range);
    }

    AxisLayout& mLayout;
    const QueryAxis& mAxis;
    // The member each field shows at the current point of the walk; fields
    // not yet entered, or already left, total (kAllMembers).
    std::vector<TupleMember> mCurrent;
};

}  // namespace

void listTuples(AxisLayout& layout, const QueryAxis& axis)
{
    TupleLister(layout, axis).list();
}

}  // namespace olap::query
