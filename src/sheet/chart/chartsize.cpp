#include "sheet/chart/chartsize.h"

#include "sheet/chart/chartxml.h"

#include <algorithm>
#include <cmath>

namespace sheet {

namespace {

// Points, for text of 9 points: a generous average character width (wide
// capitals and digits included) and the height of a line of the legend.
constexpr double kCharacter = 5.5;
constexpr double kLine = 14.0;
constexpr double kEmuPerPoint = 12700.0;

constexpr double kSmallWidth = 340, kSmallPlotHeight = 170;
// Wider than this, category labels turn by 45 degrees instead.
constexpr double kFlatLabelsWidth = 620;
constexpr double kLargestWidth = 2800;

size_t characters(const std::string& text)
{
    return size_t(std::count_if(text.begin(), text.end(),
                                [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

template <class Range, class Text>
size_t longest(const Range& items, Text text)
{
    size_t most = 0;
    for (const auto& item : items)
        most = std::max(most, characters(text(item)));
    return most;
}

}  // namespace

ChartSize chartSize(const ChartData& data)
{
    const std::vector<bool> secondary = secondaryMeasures(data);
    const bool twoAxes = std::find(secondary.begin(), secondary.end(), true) != secondary.end();
    size_t columns = 0;  // per category
    for (const auto& series : data.series)
        columns += secondary[series.measure] ? 0 : 1;
    const double categories = double(std::max<size_t>(data.categories.size(), 1));
    const double labelWidth = double(longest(data.categories, [](const std::string& s) { return s; })) * kCharacter;

    double plotWidth = categories * std::max(labelWidth + 10, double(columns) * 8 + 12);
    double labelDepth = kLine + 8;
    if (plotWidth > kFlatLabelsWidth) {
        plotWidth = categories * std::max(kLine * 1.5, double(columns) * 4 + 6);
        labelDepth = labelWidth * 0.72 + kLine + 8;
    }
    const double legendWidth =
        double(longest(data.series, [](const ChartSeries& s) { return s.name; })) * kCharacter + 36;
    const double legendHeight = double(data.series.size()) * kLine + 24;
    const double axes = 70 + (twoAxes ? 70 : 0);  // value labels and axis titles
    const double title = data.title.empty() ? 0 : 36;

    const double width = std::clamp(axes + plotWidth + legendWidth + 24, kSmallWidth, kLargestWidth);
    const double height = title + std::max(legendHeight, kSmallPlotHeight + labelDepth) + 24;
    return {std::llround(width * kEmuPerPoint), std::llround(height * kEmuPerPoint)};
}

}  // namespace sheet
