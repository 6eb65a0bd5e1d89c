// The sample's largest report, shared by the benchmarks of reports drilled
// all the way down: the drill table that opens every level of a dimension and
// the arrangement of the table. Header-only: every .cpp in bench/ is a
// program of its own.
#pragma once

#include "olap/cube/schema.h"
#include "sheet/constants.h"
#include "sheet/cubefield.h"
#include "sheet/pivotfield.h"
#include "sheet/pivottable.h"
#include "sheet/variant.h"

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace bench {

// Every member with children of the dimension's first hierarchy, a row per level.
inline sheet::VariantArray everyParent(const olap::DimensionInfo& dimension)
{
    const auto& hierarchy = dimension.hierarchies.at(0);
    std::vector<std::vector<std::string>> rows(hierarchy.levels.size());
    for (const auto& member : hierarchy.members) {
        if (member.childCount > 0)
            rows[member.level].push_back(member.uniqueName);
    }
    size_t width = 1;
    for (const auto& row : rows)
        width = std::max(width, row.size());
    auto table = sheet::VariantArray::twoDimensional(rows.size(), width);
    for (size_t r = 0; r < rows.size(); ++r) {
        for (size_t s = 0; s < rows[r].size(); ++s)
            table(r, s) = rows[r][s];
    }
    return table;
}

// Every dimension's drill table by cube field name ("[Time]").
inline std::map<std::string, sheet::VariantArray> everyParentByField(const olap::CubeInfo& cube)
{
    std::map<std::string, sheet::VariantArray> drills;
    for (const auto& dimension : cube.dimensions)
        drills["[" + dimension.name + "]"] = everyParent(dimension);
    return drills;
}

// Arranges a new table over the sample's Sales cube as its largest report:
// Customer on the page, Product and Store on the rows, Time on the columns,
// every level drilled open by `drills` (from everyParentByField), every
// measure a data field with two decimal places.
inline void arrangeLargestReport(sheet::PivotTable& table, const olap::CubeInfo& cube,
                                 const std::map<std::string, sheet::VariantArray>& drills)
{
    auto fields = table.CubeFields();
    fields->Item("[Customer]")->Orientation(sheet::kPageField);
    for (const char* name : {"[Time]", "[Product]", "[Store]"}) {
        fields->Item(name)->Orientation(std::string(name) == "[Time]" ? sheet::kColumnField : sheet::kRowField);
        fields->Item(name)->TreeviewControl()->Drilled(drills.at(name));
    }
    table.ManualUpdate(true);
    for (const auto& measure : cube.measures)
        fields->Item("[Measures].[" + measure.name + "]")->Orientation(sheet::kDataField);
    table.ManualUpdate(false);
    for (const auto& field : *table.DataFields())
        field->NumberFormat("0.00");
}

}  // namespace bench
