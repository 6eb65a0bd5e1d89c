// The query of a pivot design.
#include "sheet/pivot/pivotgrid.h"

#include "olap/model/membersource.h"

namespace sheet::pivot {

namespace {

bool anySubtotals(const DimensionState& state)
{
    if (state.levels.empty())
        return true;  // no level was told otherwise: automatic subtotals
    for (const auto& [level, levelState] : state.levels) {
        for (bool on : levelState.subtotals) {
            if (on)
                return true;
        }
    }
    return false;
}

// Whether `member` is on the report: on the top level shown, or a child of a
// drilled member that is itself on the report.
bool onReport(const olap::HierarchyInfo& hierarchy, uint32_t member, uint16_t top, const std::set<uint32_t>& drilled)
{
    const auto& info = olap::memberOf(hierarchy, member);
    if (info.level <= top || info.parent < 0)
        return info.level == top;
    const auto parent = static_cast<uint32_t>(info.parent);
    return drilled.count(parent) && onReport(hierarchy, parent, top, drilled);
}

// Drill and hidden states as the report applies them. A drilled member all
// of whose children are hidden shows closed, with its own total, rather than
// as nothing; and hiding a member counts only where the member would be on
// the report. A member editor hides the unchecked children of every checked
// member, so checking members of one level and none below reports those
// members, and what lies under closed members stays in their totals.
void applyTreeStates(const olap::HierarchyInfo& hierarchy, std::set<uint32_t>& drilled, std::set<uint32_t>& hidden)
{
    const uint16_t top = !hierarchy.levels.empty() && hierarchy.levels[0].type == olap::LevelType::All ? 1 : 0;
    for (auto it = drilled.begin(); it != drilled.end();) {
        const auto& info = olap::memberOf(hierarchy, *it);
        bool allHidden = info.childCount > 0;
        for (uint32_t c = info.firstChild; allHidden && c < info.firstChild + info.childCount; ++c)
            allHidden = hidden.count(c) > 0;
        if (!allHidden) {
            ++it;
            continue;
        }
        for (uint32_t c = info.firstChild; c < info.firstChild + info.childCount; ++c)
            hidden.erase(c);
        it = drilled.erase(it);
    }
    std::erase_if(hidden, [&](uint32_t member) { return !onReport(hierarchy, member, top, drilled); });
}

olap::QueryAxis queryAxis(const PivotDesign& design, int32_t orientation)
{
    olap::QueryAxis axis;
    axis.subtotals = false;
    for (uint32_t d : design.axis(orientation)) {
        const DimensionState& state = design.dimension(d);
        std::set<uint32_t> drilled = state.drilled;
        std::set<uint32_t> hidden = state.treeHidden;
        for (const auto& [level, levelState] : state.levels)
            hidden.insert(levelState.hidden.begin(), levelState.hidden.end());
        applyTreeStates(design.cube().dimensions[d].hierarchies.at(0), drilled, hidden);
        olap::AxisField field;
        field.dimension = d;
        field.drilled.assign(drilled.begin(), drilled.end());
        field.hidden.assign(hidden.begin(), hidden.end());
        axis.fields.push_back(std::move(field));
        axis.subtotals = axis.subtotals || anySubtotals(state);
    }
    return axis;
}

}  // namespace

olap::PivotQuery buildQuery(const PivotDesign& design)
{
    olap::PivotQuery query;
    query.rows = queryAxis(design, kRowField);
    query.columns = queryAxis(design, kColumnField);
    // Grand totals "for rows" total each row across the columns: they are the
    // grand total column, and those "for columns" the grand total row.
    query.columns.grandTotal = design.rowGrand;
    query.rows.grandTotal = design.columnGrand;
    for (uint32_t d : design.axis(kPageField))
        {
        const auto& selected = design.dimension(d).pageSelected;
        query.pages.push_back({d, 0, {selected.begin(), selected.end()}});
    }
    query.measures = design.axis(kDataField);
    return query;
}

}  // namespace sheet::pivot
