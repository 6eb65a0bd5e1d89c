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

TEST_F(ChartPart, TheBarChartNamesTheTwoAxesThePlotAreaDefines)
{
    const auto plotArea = chart().child("c:plotArea");
    const auto axisIds = barChart().select_nodes("c:axId");
    ASSERT_EQ(axisIds.size(), 2u);
    const std::string categoryAxis = plotArea.child("c:catAx").child("c:axId").attribute("val").value();
    const std::string valueAxis = plotArea.child("c:valAx").child("c:axId").attribute("val").value();
    EXPECT_NE(categoryAxis, valueAxis);
    EXPECT_EQ(axisIds[0].node().attribute("val").value(), categoryAxis);
    EXPECT_EQ(axisIds[1].node().attribute("val").value(), valueAxis);
    EXPECT_EQ(plotArea.child("c:catAx").child("c:crossAx").attribute("val").value(), valueAxis);
    EXPECT_EQ(plotArea.child("c:valAx").child("c:crossAx").attribute("val").value(), categoryAxis);
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

// Empty cells are points left out, which readers show as gaps, but counted.
TEST_F(ChartPart, WritesOneSeriesPerDataSeriesWithItsNameCategoriesAndValuesLeavingGaps)
{
    std::vector<std::string> written;
    for (const auto& one : series()) {
        std::string text = std::string(one.child("c:idx").attribute("val").value()) + "/"
                           + one.child("c:order").attribute("val").value() + " " + texts(one.child("c:tx"), "c:v").at(0);
        for (const char* axis : {"c:cat", "c:val"}) {
            const auto literal = one.child(axis).first_child();
            text += std::string(" [") + literal.child("c:ptCount").attribute("val").value() + "]";
            for (auto point : literal.children("c:pt"))
                text += std::string(" ") + point.attribute("idx").value() + ":" + point.child("c:v").text().get();
        }
        written.push_back(text);
    }
    EXPECT_EQ(written, (std::vector<std::string>{"0/0 2023 [3] 0:North 1:South 2:East [3] 0:10 1:32",
                                                 "1/1 2024 [3] 0:North 1:South 2:East [3] 0:15 1:20 2:25"}));
    EXPECT_STREQ(chart().child("c:dispBlanksAs").attribute("val").value(), "gap");
    EXPECT_EQ(texts(chart().child("c:title"), "a:t"), std::vector<std::string>{"Amount"});
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
