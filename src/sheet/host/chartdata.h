// What a chart of a pivot table shows: the table's visible values, one
// category per row item and one series per column item (and per data field
// where the data fields go down the rows), and the cells of the table that
// show each label and value, which the chart refers to.
#pragma once

#include "sheet/xlsx/a1address.h"

#include <optional>
#include <string>
#include <vector>

namespace sheet {

// A data field the chart shows.
struct ChartMeasure {
    std::string name;
    std::string numberFormat;  // of its values; "" for General
};

struct ChartSeries {
    std::string name;                           // the legend's text: the column item's labels, joined with " - "
    size_t measure = 0;                         // index into ChartData::measures
    std::vector<std::optional<double>> values;  // one per category; nullopt: an empty cell
    std::vector<CellRef> cells;                 // where each value is, one per category
};

struct ChartData {
    std::string title;                    // the data fields' names ("Sales", "Sales and Units")
    std::string sheet;                    // the worksheet holding the cells; the chart fills it in
    std::vector<std::string> categories;  // each row item's innermost label, as its cell shows it
    std::vector<CellRef> categoryCells;   // where each label is, one per category
    std::vector<ChartMeasure> measures;
    std::vector<ChartSeries> series;
};

}  // namespace sheet
