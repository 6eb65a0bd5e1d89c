#include "sheet/chart/chartxml.h"

#include "sheet/xlsx/xmlpart.h"

#include <pugixml.hpp>

#include <array>
#include <charconv>
#include <cmath>

namespace sheet {

namespace {

// Readers that find no theme in a workbook draw series without a fill, so
// every series names its colour; the colours repeat after the last.
constexpr std::array<const char*, 8> kSeriesColours = {"4472C4", "ED7D31", "A5A5A5", "FFC000",
                                                       "5B9BD5", "70AD47", "264478", "9E480E"};

// Axis ids: any two numbers, the same in the bar chart and its axes.
constexpr const char* kCategoryAxisId = "111111111";
constexpr const char* kValueAxisId = "222222222";

pugi::xml_node add(pugi::xml_node parent, const char* name)
{
    return parent.append_child(name);
}

pugi::xml_node addValue(pugi::xml_node parent, const char* name, const std::string& value)
{
    auto node = parent.append_child(name);
    node.append_attribute("val") = value.c_str();
    return node;
}

std::string number(double value)
{
    char buffer[32];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return ec == std::errc() ? std::string(buffer, end) : std::string("0");
}

void addSeriesName(pugi::xml_node series, const std::string& name)
{
    add(add(series, "c:tx"), "c:v").text() = name.c_str();
}

void addTitle(pugi::xml_node chart, const std::string& title)
{
    auto node = add(chart, "c:title");
    auto rich = add(add(node, "c:tx"), "c:rich");
    add(rich, "a:bodyPr");
    add(add(add(rich, "a:p"), "a:r"), "a:t").text() = title.c_str();
    addValue(node, "c:overlay", "0");
}

void addCategories(pugi::xml_node series, const std::vector<std::string>& categories)
{
    auto literal = add(add(series, "c:cat"), "c:strLit");
    addValue(literal, "c:ptCount", std::to_string(categories.size()));
    for (size_t i = 0; i < categories.size(); ++i) {
        auto point = add(literal, "c:pt");
        point.append_attribute("idx") = std::to_string(i).c_str();
        add(point, "c:v").text() = categories[i].c_str();
    }
}

// Empty cells are points left out, which the chart shows as gaps.
void addValues(pugi::xml_node series, const std::vector<std::optional<double>>& values)
{
    auto literal = add(add(series, "c:val"), "c:numLit");
    add(literal, "c:formatCode").text() = "General";
    addValue(literal, "c:ptCount", std::to_string(values.size()));
    for (size_t i = 0; i < values.size(); ++i) {
        if (!values[i] || !std::isfinite(*values[i]))
            continue;
        auto point = add(literal, "c:pt");
        point.append_attribute("idx") = std::to_string(i).c_str();
        add(point, "c:v").text() = number(*values[i]).c_str();
    }
}

void addSeries(pugi::xml_node barChart, const ChartSeries& data, size_t index,
               const std::vector<std::string>& categories)
{
    auto series = add(barChart, "c:ser");
    addValue(series, "c:idx", std::to_string(index));
    addValue(series, "c:order", std::to_string(index));
    addSeriesName(series, data.name);
    auto fill = add(add(series, "c:spPr"), "a:solidFill");
    addValue(fill, "a:srgbClr", kSeriesColours[index % kSeriesColours.size()]);
    addValue(series, "c:invertIfNegative", "0");
    addCategories(series, categories);
    addValues(series, data.values);
}

// The parts every axis has, in their schema order up to the crossing axis.
pugi::xml_node addAxis(pugi::xml_node plotArea, const char* element, const char* id, const char* position,
                       const char* crossing)
{
    auto axis = add(plotArea, element);
    addValue(axis, "c:axId", id);
    addValue(add(axis, "c:scaling"), "c:orientation", "minMax");
    addValue(axis, "c:delete", "0");
    addValue(axis, "c:axPos", position);
    if (std::string_view(element) == "c:valAx")
        add(axis, "c:majorGridlines");
    addValue(axis, "c:majorTickMark", "out");
    addValue(axis, "c:minorTickMark", "none");
    addValue(axis, "c:tickLblPos", "nextTo");
    addValue(axis, "c:crossAx", crossing);
    addValue(axis, "c:crosses", "autoZero");
    return axis;
}

void addAxes(pugi::xml_node plotArea)
{
    auto categories = addAxis(plotArea, "c:catAx", kCategoryAxisId, "b", kValueAxisId);
    addValue(categories, "c:auto", "1");
    addValue(categories, "c:lblAlgn", "ctr");
    addValue(categories, "c:lblOffset", "100");
    addValue(categories, "c:noMultiLvlLbl", "0");
    auto values = addAxis(plotArea, "c:valAx", kValueAxisId, "l", kCategoryAxisId);
    addValue(values, "c:crossBetween", "between");
}

void addPlotArea(pugi::xml_node chart, const ChartData& data)
{
    auto plotArea = add(chart, "c:plotArea");
    add(plotArea, "c:layout");
    auto barChart = add(plotArea, "c:barChart");
    addValue(barChart, "c:barDir", "col");
    addValue(barChart, "c:grouping", "clustered");
    addValue(barChart, "c:varyColors", "0");
    for (size_t i = 0; i < data.series.size(); ++i)
        addSeries(barChart, data.series[i], i, data.categories);
    addValue(barChart, "c:gapWidth", "150");
    addValue(barChart, "c:axId", kCategoryAxisId);
    addValue(barChart, "c:axId", kValueAxisId);
    addAxes(plotArea);
}

}  // namespace

std::string chartPart(const ChartData& data)
{
    pugi::xml_document document;
    auto space = add(document, "c:chartSpace");
    space.append_attribute("xmlns:c") = kChartNamespace;
    space.append_attribute("xmlns:a") = kDrawingMainNamespace;
    space.append_attribute("xmlns:r") = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
    addValue(space, "c:roundedCorners", "0");
    auto chart = add(space, "c:chart");
    const bool titled = !data.title.empty() && (!data.series.empty() || !data.categories.empty());
    if (titled)
        addTitle(chart, data.title);
    addValue(chart, "c:autoTitleDeleted", titled ? "0" : "1");
    addPlotArea(chart, data);
    auto legend = add(chart, "c:legend");
    addValue(legend, "c:legendPos", "r");
    addValue(legend, "c:overlay", "0");
    addValue(chart, "c:plotVisOnly", "1");
    addValue(chart, "c:dispBlanksAs", "gap");
    return xml::serialize(document);
}

}  // namespace sheet
