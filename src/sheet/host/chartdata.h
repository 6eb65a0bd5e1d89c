// What a chart of a pivot table shows: the table's visible values, one
// category per row item and one series per column item or data field.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace sheet {

struct ChartSeries {
    std::string name;                           // the column item's or data field's label
    std::vector<std::optional<double>> values;  // one per category; nullopt: an empty cell
};

struct ChartData {
    std::string title;                    // the data caption (the measure's name, or "Values")
    std::vector<std::string> categories;  // row item labels, outer levels joined with " - "
    std::vector<ChartSeries> series;
};

}  // namespace sheet
