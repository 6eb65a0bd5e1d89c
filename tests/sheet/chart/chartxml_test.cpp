// The chart part the host writes for a pivot table's values.
#include "sheet/chart/chartxml.h"

#include "charttestsupport.h"

using namespace sheet;
using namespace charttest;

namespace {

class ChartPart : public ::testing::Test {
protected:
    pugi::xml_node chart() { return document->child("c:chartSpace").child("c:chart"); }
    pugi::xml_node barChart() { return chart().child("c:plotArea").child("c:barChart"); }
    std::vector<pugi::xml_node> series()
    {
        std::vector<pugi::xml_node> found;
        for (auto node : barChart().children("c:ser"))
            found.push_back(node);
        return found;
    }

    void write(const ChartData& data) { document = parseXml(chartPart(data)); }

    std::unique_ptr<pugi::xml_document> document = parseXml(chartPart(salesData()));
};

TEST_F(ChartPart, IsAClusteredColumnChartWithTitleLegendAndTwoAxes)
{
    EXPECT_STREQ(barChart().child("c:barDir").attribute("val").value(), "col");
    EXPECT_STREQ(barChart().child("c:grouping").attribute("val").value(), "clustered");
    EXPECT_EQ(texts(chart().child("c:title"), "a:t"), std::vector<std::string>{"Amount"});
    EXPECT_STREQ(chart().child("c:legend").child("c:legendPos").attribute("val").value(), "r");
    // The bar chart names the two axes the plot area defines.
    const auto plotArea = chart().child("c:plotArea");
    EXPECT_EQ(childNames(plotArea), (std::vector<std::string>{"c:layout", "c:barChart", "c:catAx", "c:valAx"}));
    const auto axisIds = barChart().select_nodes("c:axId");
    ASSERT_EQ(axisIds.size(), 2u);
    EXPECT_STREQ(axisIds[0].node().attribute("val").value(),
                 plotArea.child("c:catAx").child("c:axId").attribute("val").value());
    EXPECT_STREQ(axisIds[1].node().attribute("val").value(),
                 plotArea.child("c:valAx").child("c:axId").attribute("val").value());
    EXPECT_STREQ(plotArea.child("c:catAx").child("c:crossAx").attribute("val").value(),
                 plotArea.child("c:valAx").child("c:axId").attribute("val").value());
}

// Readers refuse or misread parts whose elements are out of the schema's order.
TEST_F(ChartPart, KeepsTheSchemaOrderOfTheChartAndItsSeries)
{
    EXPECT_EQ(childNames(chart()), (std::vector<std::string>{"c:title", "c:autoTitleDeleted", "c:plotArea", "c:legend",
                                                             "c:plotVisOnly", "c:dispBlanksAs"}));
    EXPECT_EQ(childNames(barChart()),
              (std::vector<std::string>{"c:barDir", "c:grouping", "c:varyColors", "c:ser", "c:ser", "c:gapWidth",
                                        "c:axId", "c:axId"}));
    EXPECT_EQ(childNames(series().front()), (std::vector<std::string>{"c:idx", "c:order", "c:tx", "c:spPr",
                                                                      "c:invertIfNegative", "c:cat", "c:val"}));
    EXPECT_EQ(childNames(chart().child("c:plotArea").child("c:valAx")),
              (std::vector<std::string>{"c:axId", "c:scaling", "c:delete", "c:axPos", "c:majorGridlines",
                                        "c:majorTickMark", "c:minorTickMark", "c:tickLblPos", "c:crossAx",
                                        "c:crosses", "c:crossBetween"}));
}

TEST_F(ChartPart, WritesOneSeriesPerDataSeriesWithItsNameCategoriesAndValues)
{
    const auto all = series();
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(texts(all[0].child("c:tx"), "c:v"), std::vector<std::string>{"2023"});
    EXPECT_EQ(texts(all[1].child("c:tx"), "c:v"), std::vector<std::string>{"2024"});
    for (const auto& one : all) {
        EXPECT_EQ(texts(one.child("c:cat"), "c:v"), (std::vector<std::string>{"North", "South", "East"}));
        EXPECT_STREQ(one.child("c:cat").child("c:strLit").child("c:ptCount").attribute("val").value(), "3");
    }
    EXPECT_EQ(texts(all[1].child("c:val"), "c:v"), (std::vector<std::string>{"15", "20", "25"}));
    EXPECT_STREQ(all[1].child("c:idx").attribute("val").value(), "1");
    EXPECT_STREQ(all[1].child("c:order").attribute("val").value(), "1");
}

TEST_F(ChartPart, LeavesEmptyCellsOutAsGapsButCountsThem)
{
    const auto values = series()[0].child("c:val").child("c:numLit");
    EXPECT_STREQ(values.child("c:ptCount").attribute("val").value(), "3");
    std::vector<std::string> indices;
    for (auto point : values.children("c:pt"))
        indices.push_back(point.attribute("idx").value());
    EXPECT_EQ(indices, (std::vector<std::string>{"0", "1"}));
    EXPECT_STREQ(chart().child("c:dispBlanksAs").attribute("val").value(), "gap");
}

TEST_F(ChartPart, GivesEverySeriesItsOwnFillColour)
{
    std::vector<std::string> colours;
    for (const auto& one : series())
        colours.push_back(one.child("c:spPr").child("a:solidFill").child("a:srgbClr").attribute("val").value());
    ASSERT_EQ(colours.size(), 2u);
    EXPECT_FALSE(colours[0].empty());
    EXPECT_NE(colours[0], colours[1]);
}

TEST_F(ChartPart, KeepsNumbersExactAndTextsEscaped)
{
    write({"Sales & <Costs>", {"A \"quoted\" 'one'"}, {{"Q1 < Q2", {1234567.125}}, {"Tiny", {-0.000001}}}});
    EXPECT_EQ(texts(chart().child("c:title"), "a:t"), std::vector<std::string>{"Sales & <Costs>"});
    EXPECT_EQ(texts(series()[0].child("c:cat"), "c:v"), std::vector<std::string>{"A \"quoted\" 'one'"});
    EXPECT_EQ(texts(series()[0].child("c:tx"), "c:v"), std::vector<std::string>{"Q1 < Q2"});
    EXPECT_EQ(texts(series()[0].child("c:val"), "c:v"), std::vector<std::string>{"1234567.125"});
    EXPECT_EQ(std::stod(texts(series()[1].child("c:val"), "c:v").front()), -0.000001);
}

TEST_F(ChartPart, WithoutDataIsAnEmptyChartWithoutTitle)
{
    write({});
    EXPECT_TRUE(series().empty());
    EXPECT_FALSE(chart().child("c:title"));
    EXPECT_STREQ(chart().child("c:autoTitleDeleted").attribute("val").value(), "1");
    EXPECT_TRUE(chart().child("c:plotArea").child("c:catAx"));
    // A title alone, with nothing to show, is left out too.
    write({"Amount", {}, {}});
    EXPECT_FALSE(chart().child("c:title"));
}

}  // namespace
