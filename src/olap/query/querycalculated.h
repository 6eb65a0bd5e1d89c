// Calculated measures in a pivot. The facts hold stored measures only, so a
// pivot that shows calculated measures aggregates the stored measures their
// formulas read (whether shown or not), and each calculated cell is then
// computed from the aggregated cells of the same tuple pair: a subtotal's or
// grand total's value is the formula over the totals, never a total of the
// formula's values. Used by the local engine and the server provider alike.
#pragma once

#include "olap/query/query.h"

namespace olap::query {

// `query` with its measures replaced by the stored measures to aggregate:
// those it shows, in its order, then the inputs of its calculated measures.
// The same measures when it shows no calculated one. Throws Failure (source
// "olap") for a measure the cube does not have or a cube whose formulas are
// broken.
PivotQuery aggregatedQuery(const CubeInfo& cube, const PivotQuery& query);

// Turns `result`, computed for aggregatedQuery(cube, query), into the result
// of `query`: its measures in its order, calculated cells filled in, inputs
// that were not asked for dropped, then entries whose cells are all empty
// dropped as the query's axes ask.
void showMeasures(const CubeInfo& cube, const PivotQuery& query, QueryResult& result);

}  // namespace olap::query
