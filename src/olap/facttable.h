// The facts of one cube in memory, column by column: for each fact its key in
// every dimension and its value for every measure. Columns are what queries
// scan, so each is one contiguous array.
#pragma once

#include <cstdint>
#include <vector>

namespace olap {

struct FactTable {
    uint64_t rowCount = 0;
    // keys[d][row]: the fact's key in dimension d (an index into that
    // dimension's HierarchyInfo::memberOfKey).
    std::vector<std::vector<uint32_t>> keys;
    // values[m][row]: the fact's value for measure m; NaN when it has none.
    std::vector<std::vector<double>> values;
};

}  // namespace olap
