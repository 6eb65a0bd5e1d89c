#include "sheet/chart/chartxml.h"

#include "sheet/xlsx/xmlpart.h"

#include <pugixml.hpp>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace sheet {

namespace {

// Readers that find no theme in a workbook draw series without a fill, so
// every series names its colour. No two of these are closer than about 30
// in CIELAB distance, so twelve series stay apart.
constexpr std::array<uint32_t, 12> kSeriesColours = {0x4472C4, 0xED7D31, 0x70AD47, 0xFFC000, 0x7030A0, 0xC00000,
                                                     0x17BECF, 0xA5A5A5, 0x00594F, 0xF4A6C7, 0x808000, 0x5C2E00};

// Axis ids: any numbers, the same in a chart group and its axes.
constexpr const char* kCategoryAxisId = "111111111";
constexpr const char* kValueAxisId = "222222222";
constexpr const char* kSecondaryCategoryAxisId = "333333333";
constexpr const char* kSecondaryValueAxisId = "444444444";

// Text sizes in hundredths of a point; the frame's size (chartsize.h) counts on them.
constexpr const char* kTextSize = "900";
constexpr const char* kTitleSize = "1200";

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

std::string hexColour(uint32_t rgb)
{
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "%06X", rgb & 0xFFFFFFu);
    return buffer;
}

void addFill(pugi::xml_node parent, uint32_t rgb)
{
    addValue(add(parent, "a:solidFill"), "a:srgbClr", hexColour(rgb));
}

// Rich text of one run, for titles.
void addRichText(pugi::xml_node tx, const std::string& text, const char* size)
{
    auto rich = add(tx, "c:rich");
    add(rich, "a:bodyPr");
    auto paragraph = add(rich, "a:p");
    auto defaults = add(add(paragraph, "a:pPr"), "a:defRPr");
    defaults.append_attribute("sz") = size;
    defaults.append_attribute("b") = "1";
    auto run = add(paragraph, "a:r");
    auto properties = add(run, "a:rPr");
    properties.append_attribute("lang") = "en-US";
    properties.append_attribute("sz") = size;
    properties.append_attribute("b") = "1";
    add(run, "a:t").text() = text.c_str();
}

void addTitle(pugi::xml_node parent, const std::string& title, const char* size)
{
    auto node = add(parent, "c:title");
    addRichText(add(node, "c:tx"), title, size);
    addValue(node, "c:overlay", "0");
}

// The text size of everything in the chart without its own.
void addTextSize(pugi::xml_node parent, const char* size)
{
    auto text = add(parent, "c:txPr");
    add(text, "a:bodyPr");
    add(text, "a:lstStyle");
    auto paragraph = add(text, "a:p");
    add(add(paragraph, "a:pPr"), "a:defRPr").append_attribute("sz") = size;
    add(paragraph, "a:endParaRPr").append_attribute("lang") = "en-US";
}

void addCategories(pugi::xml_node series, const ChartData& data)
{
    auto reference = add(add(series, "c:cat"), "c:strRef");
    add(reference, "c:f").text() = cellsFormula(data.sheet, data.categoryCells).c_str();
    auto cache = add(reference, "c:strCache");
    addValue(cache, "c:ptCount", std::to_string(data.categories.size()));
    for (size_t i = 0; i < data.categories.size(); ++i) {
        auto point = add(cache, "c:pt");
        point.append_attribute("idx") = std::to_string(i).c_str();
        add(point, "c:v").text() = data.categories[i].c_str();
    }
}

// Empty cells are points left out of the cache, which the chart shows as gaps.
void addValues(pugi::xml_node series, const ChartData& data, const ChartSeries& values)
{
    auto reference = add(add(series, "c:val"), "c:numRef");
    add(reference, "c:f").text() = cellsFormula(data.sheet, values.cells).c_str();
    auto cache = add(reference, "c:numCache");
    const std::string& format = data.measures.at(values.measure).numberFormat;
    add(cache, "c:formatCode").text() = format.empty() ? "General" : format.c_str();
    addValue(cache, "c:ptCount", std::to_string(values.values.size()));
    for (size_t i = 0; i < values.values.size(); ++i) {
        if (!values.values[i] || !std::isfinite(*values.values[i]))
            continue;
        auto point = add(cache, "c:pt");
        point.append_attribute("idx") = std::to_string(i).c_str();
        add(point, "c:v").text() = number(*values.values[i]).c_str();
    }
}

// The series' first elements, common to columns and lines.
pugi::xml_node startSeries(pugi::xml_node group, const ChartSeries& data, size_t index)
{
    auto series = add(group, "c:ser");
    addValue(series, "c:idx", std::to_string(index));
    addValue(series, "c:order", std::to_string(index));
    add(add(series, "c:tx"), "c:v").text() = data.name.c_str();
    return series;
}

void addColumnSeries(pugi::xml_node group, const ChartData& data, size_t index)
{
    auto series = startSeries(group, data.series[index], index);
    addFill(add(series, "c:spPr"), seriesColour(index));
    addValue(series, "c:invertIfNegative", "0");
    addCategories(series, data);
    addValues(series, data, data.series[index]);
}

void addLineSeries(pugi::xml_node group, const ChartData& data, size_t index)
{
    auto series = startSeries(group, data.series[index], index);
    auto line = add(add(series, "c:spPr"), "a:ln");
    line.append_attribute("w") = "28575";
    addFill(line, seriesColour(index));
    auto marker = add(series, "c:marker");
    addValue(marker, "c:symbol", "circle");
    addValue(marker, "c:size", "6");
    auto markerShape = add(marker, "c:spPr");
    addFill(markerShape, seriesColour(index));
    addFill(add(markerShape, "a:ln"), seriesColour(index));
    addCategories(series, data);
    addValues(series, data, data.series[index]);
    addValue(series, "c:smooth", "0");
}

// The parts every axis has, in their schema order up to the crossing axis.
pugi::xml_node addAxis(pugi::xml_node plotArea, const char* element, const char* id, const char* position,
                       const char* crossing, bool deleted, bool gridlines, const std::string& title)
{
    auto axis = add(plotArea, element);
    addValue(axis, "c:axId", id);
    addValue(add(axis, "c:scaling"), "c:orientation", "minMax");
    addValue(axis, "c:delete", deleted ? "1" : "0");
    addValue(axis, "c:axPos", position);
    if (gridlines)
        add(axis, "c:majorGridlines");
    if (!title.empty())
        addTitle(axis, title, kTextSize);
    addValue(axis, "c:majorTickMark", deleted ? "none" : "out");
    addValue(axis, "c:minorTickMark", "none");
    addValue(axis, "c:tickLblPos", "nextTo");
    addValue(axis, "c:crossAx", crossing);
    return axis;
}

void addCategoryAxis(pugi::xml_node plotArea, const char* id, const char* crossing, bool deleted)
{
    auto axis = addAxis(plotArea, "c:catAx", id, "b", crossing, deleted, false, {});
    addValue(axis, "c:crosses", "autoZero");
    addValue(axis, "c:auto", "1");
    addValue(axis, "c:lblAlgn", "ctr");
    addValue(axis, "c:lblOffset", "100");
    addValue(axis, "c:noMultiLvlLbl", "0");
}

void addValueAxis(pugi::xml_node plotArea, const char* id, const char* crossing, bool secondary,
                  const std::string& title)
{
    auto axis = addAxis(plotArea, "c:valAx", id, secondary ? "r" : "l", crossing, false, !secondary, title);
    addValue(axis, "c:crosses", secondary ? "max" : "autoZero");
    addValue(axis, "c:crossBetween", "between");
}

// "Sales" or "Sales, Cost and Profit": the measures on one axis.
std::string axisTitle(const ChartData& data, const std::vector<bool>& secondary, bool onSecondary)
{
    std::vector<std::string> names;
    for (size_t m = 0; m < data.measures.size(); ++m) {
        if (secondary[m] == onSecondary)
            names.push_back(data.measures[m].name);
    }
    std::string text;
    for (size_t i = 0; i < names.size(); ++i)
        text += (i == 0 ? "" : i + 1 == names.size() ? " and " : ", ") + names[i];
    return text;
}

void addPlotArea(pugi::xml_node chart, const ChartData& data)
{
    const std::vector<bool> secondary = secondaryMeasures(data);
    const bool twoAxes = std::find(secondary.begin(), secondary.end(), true) != secondary.end();
    auto plotArea = add(chart, "c:plotArea");
    add(plotArea, "c:layout");
    auto columns = add(plotArea, "c:barChart");
    addValue(columns, "c:barDir", "col");
    addValue(columns, "c:grouping", "clustered");
    addValue(columns, "c:varyColors", "0");
    for (size_t i = 0; i < data.series.size(); ++i) {
        if (!secondary[data.series[i].measure])
            addColumnSeries(columns, data, i);
    }
    addValue(columns, "c:gapWidth", "150");
    addValue(columns, "c:axId", kCategoryAxisId);
    addValue(columns, "c:axId", kValueAxisId);
    if (twoAxes) {
        auto lines = add(plotArea, "c:lineChart");
        addValue(lines, "c:grouping", "standard");
        addValue(lines, "c:varyColors", "0");
        for (size_t i = 0; i < data.series.size(); ++i) {
            if (secondary[data.series[i].measure])
                addLineSeries(lines, data, i);
        }
        addValue(lines, "c:marker", "1");
        addValue(lines, "c:axId", kSecondaryCategoryAxisId);
        addValue(lines, "c:axId", kSecondaryValueAxisId);
    }
    addCategoryAxis(plotArea, kCategoryAxisId, kValueAxisId, false);
    addValueAxis(plotArea, kValueAxisId, kCategoryAxisId, false, twoAxes ? axisTitle(data, secondary, false) : "");
    if (twoAxes) {
        addCategoryAxis(plotArea, kSecondaryCategoryAxisId, kSecondaryValueAxisId, true);
        addValueAxis(plotArea, kSecondaryValueAxisId, kSecondaryCategoryAxisId, true, axisTitle(data, secondary, true));
    }
}

// Whether `cell` continues the run from `first` to `last`: the next cell
// down a column run, along a row run, or either after a single cell.
bool continues(const CellRef& first, const CellRef& last, const CellRef& cell)
{
    const bool below = cell.column == last.column && cell.row == last.row + 1;
    const bool right = cell.row == last.row && cell.column == last.column + 1;
    if (first == last)
        return below || right;
    return first.column == last.column ? below : right;
}

std::vector<std::pair<CellRef, CellRef>> runsOf(const std::vector<CellRef>& cells)
{
    std::vector<std::pair<CellRef, CellRef>> runs;
    for (const CellRef& cell : cells) {
        if (!runs.empty() && continues(runs.back().first, runs.back().second, cell))
            runs.back().second = cell;
        else
            runs.push_back({cell, cell});
    }
    return runs;
}

std::string quotedSheet(const std::string& sheet)
{
    std::string quoted = "'";
    for (char c : sheet)
        quoted += c == '\'' ? std::string("''") : std::string(1, c);
    return quoted + "'!";
}

}  // namespace

std::vector<bool> secondaryMeasures(const ChartData& data)
{
    std::vector<double> largest(data.measures.size(), 0.0);
    for (const auto& series : data.series) {
        for (const auto& value : series.values) {
            if (value && std::isfinite(*value) && series.measure < largest.size())
                largest[series.measure] = std::max(largest[series.measure], std::fabs(*value));
        }
    }
    const double top = largest.empty() ? 0.0 : *std::max_element(largest.begin(), largest.end());
    std::vector<bool> secondary(data.measures.size(), false);
    for (size_t m = 0; m < largest.size(); ++m)
        secondary[m] = largest[m] < top / 4;
    return secondary;
}

uint32_t seriesColour(size_t index)
{
    const uint32_t base = kSeriesColours[index % kSeriesColours.size()];
    const double shade = std::pow(0.6, double(index / kSeriesColours.size()));
    uint32_t rgb = 0;
    for (int shift : {16, 8, 0})
        rgb |= uint32_t(std::lround(double((base >> shift) & 0xFF) * shade)) << shift;
    return rgb;
}

std::string cellsFormula(const std::string& sheet, const std::vector<CellRef>& cells)
{
    const auto runs = runsOf(cells);
    std::string formula;
    for (const auto& [first, last] : runs) {
        if (!formula.empty())
            formula += ',';
        formula += quotedSheet(sheet) + absoluteAddress({first, last});
    }
    return runs.size() > 1 ? "(" + formula + ")" : formula;
}

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
        addTitle(chart, data.title, kTitleSize);
    addValue(chart, "c:autoTitleDeleted", titled ? "0" : "1");
    addPlotArea(chart, data);
    auto legend = add(chart, "c:legend");
    addValue(legend, "c:legendPos", "r");
    addValue(legend, "c:overlay", "0");
    addValue(chart, "c:plotVisOnly", "1");
    addValue(chart, "c:dispBlanksAs", "gap");
    addTextSize(space, kTextSize);
    return xml::serialize(document);
}

}  // namespace sheet
