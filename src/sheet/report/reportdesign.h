// A report definition and a pivot design turned into each other: what the
// wizard's build leaves in a table's design is what a definition records,
// and laying a definition onto a new design gives the same table.
#pragma once

#include "sheet/pivot/pivotdesign.h"
#include "sheet/report/reportdefinition.h"

#include <string>
#include <vector>

namespace sheet::report {

// Sets `design` (new, nothing placed) to what `report` asks for: the
// autoformat, the page, column and row fields in order with their drilled,
// hidden and selected members and their levels' subtotals and hidden
// members, the data fields with their number formats, where the values go,
// the grand totals. Members the cube no longer has are skipped and their
// unique names added to `skipped`. Throws 1004 naming the report and the
// dimension, level or measure for a field the cube does not have, or a
// dimension placed twice.
void applyDefinition(const ReportDefinition& report, pivot::PivotDesign& design, std::vector<std::string>& skipped);

// The fields, totals and formats of `design` as a definition (name, sheet,
// cell, source and chart are left for the caller).
ReportDefinition captureDefinition(const pivot::PivotDesign& design);

}  // namespace sheet::report
