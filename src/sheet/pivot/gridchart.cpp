// The chart of a laid-out report: its row items become categories and its
// column items series, each point naming the cell that shows its value.
#include "sheet/pivot/gridaxes.h"

#include "sheet/xlsx/numberformat.h"

#include <algorithm>

namespace sheet::pivot {

namespace {

// "Sales", "Sales and Units", "Sales, Cost and Units".
std::string namesJoined(const std::vector<ChartMeasure>& measures)
{
    std::string text;
    for (size_t m = 0; m < measures.size(); ++m)
        text += (m == 0 ? "" : m + 1 == measures.size() ? " and " : ", ") + measures[m].name;
    return text;
}

// A row item shown as a category: its label's line, and its line per
// measure where the measures go down the rows.
struct Category {
    size_t labelLine = 0;
    std::vector<size_t> lines;  // by measure; one entry when the measures are not on the rows
};

// The innermost slot holding a label of the item itself (not the measure's name).
int32_t labelSlot(const AxisLayout& rows, const Line& line)
{
    const int32_t itemSlots = rows.slots - (rows.measureSlot ? 1 : 0);
    for (int32_t s = itemSlots - 1; s > 0; --s) {
        if (!line.labels[static_cast<size_t>(s)].empty())
            return s;
    }
    return 0;
}

std::vector<Category> categoriesOf(const AxisLayout& rows, const GridFrame& frame, ChartData& chart)
{
    std::vector<Category> categories;
    for (size_t i = 0; i < rows.lines.size(); ++i) {
        const Line& line = rows.lines[i];
        if (line.total)
            continue;
        if (categories.empty() || rows.lines[categories.back().labelLine].tuple != line.tuple) {
            categories.push_back({i, {}});
            const int32_t slot = labelSlot(rows, line);
            chart.categories.push_back(line.labels[static_cast<size_t>(slot)]);
            chart.categoryCells.push_back({frame.firstDataRow + static_cast<int32_t>(i), slot});
        }
        categories.back().lines.push_back(i);
    }
    return categories;
}

}  // namespace

ChartData chartOf(const PivotDesign& design, const olap::QueryResult& result, const AxisLayout& rows,
                  const AxisLayout& columns, const GridFrame& frame)
{
    ChartData chart;
    for (uint32_t m : result.measures)
        chart.measures.push_back({design.cube().measures[m].name, numberFormatOf(design, m)});
    chart.title = namesJoined(chart.measures);
    const size_t measureCount = result.measures.size();
    if (measureCount == 0)
        return chart;
    const std::vector<Category> categories = categoriesOf(rows, frame, chart);
    const size_t perColumn = rows.measureSlot ? measureCount : 1;
    for (size_t j = 0; j < columns.lines.size(); ++j) {
        const Line& column = columns.lines[j];
        if (column.total)
            continue;
        for (size_t k = 0; k < perColumn; ++k) {
            ChartSeries series;
            series.name = joinedLabels(column);
            if (rows.measureSlot)
                series.name += " - " + chart.measures[k].name;
            series.measure = rows.measureSlot ? k : static_cast<size_t>(std::max(column.measure, 0));
            for (const Category& category : categories) {
                const size_t i = category.lines.at(std::min(k, category.lines.size() - 1));
                const Line& row = rows.lines[i];
                const auto value = result.cell(row.tuple, column.tuple, series.measure);
                series.values.push_back(value ? std::optional(shownValue(*value)) : std::nullopt);
                series.cells.push_back({frame.firstDataRow + static_cast<int32_t>(i),
                                        frame.left + static_cast<int32_t>(j)});
            }
            chart.series.push_back(std::move(series));
        }
    }
    return chart;
}

}  // namespace sheet::pivot
