// The chart part the host writes for a pivot table's values, against golden
// parts: the schema's element order (readers refuse parts out of order),
// series with their colours and cell references, gaps for empty cells, exact
// numbers, escaped texts, a second value axis, no title without data.
#include "sheet/chart/chartsize.h"
#include "sheet/chart/chartxml.h"

#include "charttestsupport.h"

using namespace sheet;
using namespace charttest;

namespace {

// Sales in thousands and units in tens, for two years by region.
ChartData salesAndUnits()
{
    ChartData data = salesData();
    data.title = "Amount and Units";
    data.measures.push_back({"Units", "0"});
    data.series.push_back({"2023 - Units", 1, {4.0, 12.0, 9.0}, {{3, 5}, {4, 5}, {5, 5}}});
    for (auto& series : data.series) {
        for (auto& value : series.values) {
            if (value && series.measure == 0)
                *value *= 1000;
        }
    }
    return data;
}

TEST(ChartPart, IsTheGoldenPartForEachKindOfData)
{
    ChartData escaped{"Sales & <Costs>", "It's <mine>", {"A \"quoted\" 'one'"}, {{1, 1}},
                      {{"Sales & <Costs>", "#,##0.00"}}, {{"Q1 < Q2", 0, {1234567.125}, {{1, 2}}}}};
    escaped.series.push_back({"Tiny", 0, {-0.000001}, {{1, 3}}});
    const std::pair<ChartData, const char*> cases[] = {
        {salesData(), "chart-sales"},
        {escaped, "chart-escaped"},
        {salesAndUnits(), "chart-two-axes"},
        {{}, "chart-empty"},
        {{"Amount", "", {}, {}, {}, {}}, "chart-empty"},  // a title alone, with nothing to show, is left out too
    };
    for (const auto& [data, golden] : cases) {
        SCOPED_TRACE(golden);
        expectGolden(chartPart(data), golden);
    }
}

TEST(ChartPart, ReferencesJoinRunsOfNeighbouringCellsDownAColumnOrAlongARow)
{
    const struct {
        std::vector<CellRef> cells;
        const char* formula;
    } cases[] = {
        {{{5, 3}, {6, 3}, {7, 3}}, "'S'!$C$5:$C$7"},
        {{{5, 3}}, "'S'!$C$5"},
        {{{5, 3}, {5, 4}, {5, 5}}, "'S'!$C$5:$E$5"},
        {{{5, 3}, {6, 3}, {8, 3}, {9, 2}}, "('S'!$C$5:$C$6,'S'!$C$8,'S'!$B$9)"},
        {{{5, 3}, {6, 3}, {6, 4}}, "('S'!$C$5:$C$6,'S'!$D$6)"},  // a run turns no corner
        {{}, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.formula);
        EXPECT_EQ(cellsFormula("S", c.cells), c.formula);
    }
}

TEST(ChartPart, AMeasureUnderAQuarterOfTheLargestGoesOnTheSecondaryAxis)
{
    const struct {
        const char* what;
        std::vector<double> largest;  // per measure
        std::vector<bool> secondary;
    } cases[] = {
        {"one measure", {5}, {false}},
        {"alike", {5000, 1300}, {false, false}},
        {"units beside sales", {5000, 1200, 3000}, {false, true, false}},
        {"a negative measure counts by size", {-5000, 100}, {false, true}},
        {"nothing but zeros", {0, 0}, {false, false}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ChartData data;
        for (size_t m = 0; m < c.largest.size(); ++m) {
            data.measures.push_back({"M" + std::to_string(m), ""});
            data.series.push_back({"S", m, {c.largest[m] / 2, c.largest[m], std::nullopt}, {}});
        }
        EXPECT_EQ(secondaryMeasures(data), c.secondary);
    }
}

// A chart grows so that every legend line and category label has room:
// taller with more series, wider with more or longer categories.
TEST(ChartSizes, GrowWithTheLegendAndTheCategoryLabels)
{
    const auto sized = [](size_t series, size_t categories, size_t labelLength, size_t nameLength) {
        ChartData data{"Sales", "S", {}, {}, {{"Sales", ""}}, {}};
        for (size_t c = 0; c < categories; ++c) {
            data.categories.push_back(std::string(labelLength, 'x'));
            data.categoryCells.push_back({int32_t(c) + 1, 1});
        }
        for (size_t s = 0; s < series; ++s)
            data.series.push_back({std::string(nameLength, 'y'), 0, std::vector<std::optional<double>>(categories, 1.0),
                                   std::vector<CellRef>(categories, CellRef{})});
        return chartSize(data);
    };
    constexpr int64_t kPoint = 12700;
    const ChartSize small = sized(2, 3, 5, 5);
    EXPECT_LE(small.width, 14 * 360000) << "a small chart stays under 14 cm";
    EXPECT_LE(small.height, 9 * 360000);
    EXPECT_GT(sized(24, 3, 5, 5).height, 24 * 14 * kPoint) << "a line of the legend per series";
    EXPECT_GT(sized(2, 3, 5, 40).width, (40 * 5 + 150) * kPoint) << "the longest legend line";
    EXPECT_GT(sized(2, 60, 5, 5).width, 60 * 20 * kPoint) << "room for every category";
    EXPECT_GT(sized(2, 60, 30, 5).height, small.height + 30 * 3 * kPoint) << "room for labels turned";
}

}  // namespace
