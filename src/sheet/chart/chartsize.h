// How large an embedded chart is drawn: large enough that its title, its
// legend (one line per series) and its category labels show whole, at the
// text sizes chartxml.h writes. Small data gets the size of a small chart
// (about 12 by 8 cm); more series make it taller, more or longer categories
// wider, up to about 100 cm across, beyond which labels turn and thin out.
#pragma once

#include "sheet/host/chartdata.h"

#include <cstdint>

namespace sheet {

// English Metric Units, as drawing parts measure: 12,700 to the point.
struct ChartSize {
    int64_t width = 0;
    int64_t height = 0;
};

ChartSize chartSize(const ChartData& data);

}  // namespace sheet
