// The drill table that opens every level of a cube file's dimension, shared
// by the benchmarks of reports drilled all the way down. Header-only: every
// .cpp in bench/ is a program of its own.
#pragma once

#include "olap/cube/schema.h"
#include "sheet/variant.h"

#include <algorithm>
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

}  // namespace bench
