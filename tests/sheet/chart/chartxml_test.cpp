// The chart part the host writes for a pivot table's values, against golden
// parts. What they pin: the schema's element order (readers refuse or misread
// parts out of order), the bar chart naming the two axes that cross each
// other, one series per data series with its name and colour, empty cells as
// points left out but counted (readers show gaps), exact numbers, escaped
// texts, and no title for a chart without data.
#include "sheet/chart/chartxml.h"

#include "charttestsupport.h"

using namespace sheet;
using namespace charttest;

namespace {

TEST(ChartPart, IsTheGoldenPartForEachKindOfData)
{
    const std::pair<ChartData, const char*> cases[] = {
        {salesData(), "chart-sales"},
        {{"Sales & <Costs>", {"A \"quoted\" 'one'"}, {{"Q1 < Q2", {1234567.125}}, {"Tiny", {-0.000001}}}},
         "chart-escaped"},
        {{}, "chart-empty"},
        {{"Amount", {}, {}}, "chart-empty"},  // a title alone, with nothing to show, is left out too
    };
    for (const auto& [data, golden] : cases) {
        SCOPED_TRACE(golden);
        expectGolden(chartPart(data), golden);
    }
}

}  // namespace
