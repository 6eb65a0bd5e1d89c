// The query of a pivot design.
#include "pivotgrid.h"

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

olap::QueryAxis queryAxis(const PivotDesign& design, int32_t orientation)
{
    olap::QueryAxis axis;
    axis.subtotals = false;
    for (uint32_t d : design.axis(orientation)) {
        const DimensionState& state = design.dimension(d);
        olap::AxisField field;
        field.dimension = d;
        field.drilled.assign(state.drilled.begin(), state.drilled.end());
        field.hidden.assign(state.treeHidden.begin(), state.treeHidden.end());
        for (const auto& [level, levelState] : state.levels)
            field.hidden.insert(field.hidden.end(), levelState.hidden.begin(), levelState.hidden.end());
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
        query.pages.push_back({d, 0, {}});
    query.measures = design.axis(kDataField);
    return query;
}

}  // namespace sheet::pivot
