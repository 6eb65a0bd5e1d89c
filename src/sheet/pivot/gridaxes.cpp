#include "sheet/pivot/gridaxes.h"

#include "olap/model/membersource.h"

#include <algorithm>

namespace sheet::pivot {

namespace {

using olap::AxisTuple;
using olap::TupleKind;

const std::string& caption(const olap::MemberInfo& member)
{
    return member.caption.empty() ? member.name : member.caption;
}

// Fills the slots of field `f` of `tuple` into `line`.
void fieldLabels(const PivotDesign& design, const AxisLayout& layout, uint32_t dimension, size_t f,
                 const AxisTuple& tuple, bool totalled, Line& line)
{
    const auto& tm = tuple.members[f];
    if (tm.member == olap::kAllMembers)
        return;
    const olap::HierarchyInfo& hierarchy = design.cube().dimensions.at(dimension).hierarchies.at(0);
    uint32_t member = static_cast<uint32_t>(tm.member);
    for (int32_t depth = tm.depth; depth >= 0; --depth) {
        const size_t slot = static_cast<size_t>(layout.fieldOffset[f] + depth);
        line.keys[slot] = std::to_string(f) + ':' + std::to_string(member);
        const olap::MemberInfo& info = olap::memberOf(hierarchy, member);
        line.labels[slot] = caption(info);
        if (depth == tm.depth && totalled) {
            line.keys[slot] += 'T';
            line.labels[slot] += " Total";
        }
        if (info.parent >= 0)
            member = static_cast<uint32_t>(info.parent);
    }
}

void tupleLabels(const PivotDesign& design, const AxisLayout& layout, const std::vector<uint32_t>& fields,
                 const AxisTuple& tuple, Line& line)
{
    if (tuple.kind == TupleKind::GrandTotal) {
        line.keys[0] = "G";
        line.labels[0] = "Grand Total";
        return;
    }
    size_t totalled = fields.size();
    if (tuple.kind == TupleKind::Subtotal) {
        for (size_t f = 0; f < fields.size(); ++f) {
            if (tuple.members[f].member != olap::kAllMembers)
                totalled = f;
        }
    }
    for (size_t f = 0; f < fields.size(); ++f)
        fieldLabels(design, layout, fields[f], f, tuple, f == totalled, line);
}

}  // namespace

AxisLayout axisLayout(const PivotDesign& design, const std::vector<AxisTuple>& tuples,
                      const std::vector<uint32_t>& fields, bool measuresHere, size_t measureCount,
                      const std::string& fieldlessLabel)
{
    AxisLayout layout;
    layout.measureSlot = measuresHere && measureCount > 1;
    for (size_t f = 0; f < fields.size(); ++f) {
        int32_t depth = 0;
        for (const auto& tuple : tuples) {
            if (tuple.members[f].member != olap::kAllMembers)
                depth = std::max<int32_t>(depth, tuple.members[f].depth);
        }
        layout.fieldOffset.push_back(layout.slots);
        layout.fieldLevels.push_back(depth + 1);
        layout.slots += depth + 1;
    }
    const int32_t measureSlot = layout.slots;
    layout.slots = std::max<int32_t>(1, layout.slots + (layout.measureSlot ? 1 : 0));
    const size_t perTuple = layout.measureSlot ? measureCount : 1;
    for (size_t t = 0; t < tuples.size(); ++t) {
        for (size_t m = 0; m < perTuple; ++m) {
            Line line;
            line.tuple = t;
            line.measure = measuresHere && measureCount > 0 ? static_cast<int32_t>(m) : -1;
            line.total = tuples[t].kind != TupleKind::Member && !fields.empty();
            line.grand = tuples[t].kind == TupleKind::GrandTotal && !fields.empty();
            line.keys.resize(static_cast<size_t>(layout.slots));
            line.labels.resize(static_cast<size_t>(layout.slots));
            if (fields.empty()) {
                line.keys[0] = "*";
                line.labels[0] = fieldlessLabel;
            } else {
                tupleLabels(design, layout, fields, tuples[t], line);
            }
            if (layout.measureSlot) {
                const uint32_t measure = design.axis(kDataField)[m];
                line.keys[static_cast<size_t>(measureSlot)] = "m" + std::to_string(m);
                line.labels[static_cast<size_t>(measureSlot)] = design.cube().measures[measure].name;
            }
            layout.lines.push_back(std::move(line));
        }
    }
    return layout;
}

size_t firstChangedSlot(const Line* previous, const Line& line)
{
    if (!previous)
        return 0;
    size_t slot = 0;
    while (slot < line.keys.size() && line.keys[slot] == previous->keys[slot] && !line.keys[slot].empty())
        ++slot;
    return slot;
}

int32_t measureOf(const Line& row, const Line& column, size_t measureCount)
{
    if (row.measure >= 0)
        return row.measure;
    if (column.measure >= 0)
        return column.measure;
    return measureCount > 0 ? 0 : -1;
}

std::string joinedLabels(const Line& line)
{
    std::string text;
    for (const auto& label : line.labels) {
        if (label.empty())
            continue;
        if (!text.empty())
            text += " - ";
        text += label;
    }
    return text;
}

std::string numberFormatOf(const PivotDesign& design, uint32_t measure)
{
    const auto& state = design.measure(measure);
    return state.numberFormat ? *state.numberFormat : design.cube().measures[measure].formatString;
}

}  // namespace sheet::pivot
