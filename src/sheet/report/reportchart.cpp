#include "sheet/report/reportchart.h"

#include "sheet/chart/chartsize.h"
#include "sheet/chart/chartxml.h"
#include "sheet/chart/drawingpart.h"
#include "sheet/xlsx/partnames.h"
#include "sheet/xlsx/relationships.h"
#include "sheet/xlsx/workbookdocument.h"
#include "sheet/xlsx/xmlpart.h"

#include <algorithm>
#include <map>

namespace sheet::report {

namespace {

// Whether `formula` ("'Report'!$C$5:$C$7" or a union of such in brackets)
// names only cells of `area` on `sheetName`.
bool refersWithin(std::string_view formula, const std::string& sheetName, const Area& area)
{
    if (formula.size() >= 2 && formula.front() == '(' && formula.back() == ')')
        formula = formula.substr(1, formula.size() - 2);
    std::string prefix = "'";
    for (char c : sheetName)
        prefix += c == '\'' ? std::string("''") : std::string(1, c);
    prefix += "'!";
    while (!formula.empty()) {
        if (!formula.starts_with(prefix))
            return false;
        formula.remove_prefix(prefix.size());
        const size_t comma = std::min(formula.find(','), formula.size());
        const auto range = parseAddress(formula.substr(0, comma));
        if (!range || range->kind != Area::Kind::Cells || !area.contains(range->first) || !area.contains(range->last))
            return false;
        formula.remove_prefix(std::min(comma + 1, formula.size()));
    }
    return true;
}

// Whether every series reference of the chart part `text` lies in `area`;
// false for a chart that refers to nothing.
bool chartWithin(const std::string& text, const std::string& part, const std::string& file,
                 const std::string& sheetName, const Area& area)
{
    const auto chart = xml::parse(text, file, part);
    size_t references = 0;
    bool within = true;
    const auto visit = [&](auto&& self, pugi::xml_node node) -> void {
        for (auto child = node.first_child(); child && within; child = child.next_sibling()) {
            if (child.type() != pugi::node_element)
                continue;
            if (xml::localName(child) == "f") {
                ++references;
                within = refersWithin(child.text().get(), sheetName, area);
            } else {
                self(self, child);
            }
        }
    };
    visit(visit, xml::root(*chart));
    return within && references > 0;
}

// Where a build puts a report's chart: two columns right of it, on its top row.
CellRef besideOf(const Area& area)
{
    return {area.first.row, std::min(area.last.column + 2, kMaxColumn)};
}

pugi::xml_node childNamed(pugi::xml_node parent, std::string_view name)
{
    for (auto child : parent.children()) {
        if (child.type() == pugi::node_element && xml::localName(child) == name)
            return child;
    }
    return {};
}

// Whether the anchor's frame shows a chart of relationship `ids`.
bool showsOneOf(pugi::xml_node anchor, const std::vector<std::string>& ids)
{
    const auto chart = childNamed(childNamed(childNamed(anchor, "graphicFrame"), "graphic"), "graphicData");
    const auto reference = xml::relationshipAttribute(childNamed(chart, "chart"), "id");
    return reference && std::find(ids.begin(), ids.end(), reference.value()) != ids.end();
}

bool setText(pugi::xml_node node, const std::string& text)
{
    if (!node || text == node.text().get())
        return false;
    node.text() = text.c_str();
    return true;
}

bool setExtent(pugi::xml_node extent, ChartSize size)
{
    if (!extent)
        return false;
    bool changed = false;
    for (const auto& [name, value] : {std::pair{"cx", size.width}, std::pair{"cy", size.height}}) {
        const std::string text = std::to_string(value);
        if (text != extent.attribute(name).value()) {
            (extent.attribute(name) ? extent.attribute(name) : extent.append_attribute(name)) = text.c_str();
            changed = true;
        }
    }
    return changed;
}

// Sizes the frame for `size` and moves it from `oldPlace` to `newPlace`
// when it sits at `oldPlace` (else someone put it there). Whether anything changed.
bool placeFrame(pugi::xml_node anchor, ChartSize size, CellRef oldPlace, CellRef newPlace)
{
    bool changed = setExtent(childNamed(anchor, "ext"), size);
    changed |= setExtent(childNamed(childNamed(childNamed(anchor, "graphicFrame"), "xfrm"), "ext"), size);
    const auto from = childNamed(anchor, "from");
    const auto column = childNamed(from, "col"), row = childNamed(from, "row");
    if (column.text().as_int(-1) == oldPlace.column - 1 && row.text().as_int(-1) == oldPlace.row - 1) {
        changed |= setText(column, std::to_string(newPlace.column - 1));
        changed |= setText(row, std::to_string(newPlace.row - 1));
    }
    return changed;
}

}  // namespace

std::vector<ReportChart> chartsOfArea(WorkbookDocument& document, SheetModel& sheet, const std::string& sheetName,
                                      const Area& area)
{
    std::vector<ReportChart> found;
    for (const auto& drawingLink : document.relationships(sheet).ofType("drawing")) {
        const std::string drawing = resolveTarget(sheet.part, drawingLink.target);
        const std::string linksPart = relationshipsPartOf(drawing);
        if (!document.hasPart(linksPart))
            continue;
        const auto links = Relationships::parse(document.readPart(linksPart), document.displayName(), linksPart);
        for (const auto& chartLink : links.ofType("chart")) {
            const std::string chart = resolveTarget(drawing, chartLink.target);
            if (document.hasPart(chart)
                && chartWithin(document.readPart(chart), chart, document.displayName(), sheetName, area))
                found.push_back({chart, drawing, chartLink.id});
        }
    }
    return found;
}

void redrawCharts(WorkbookDocument& document, const std::vector<ReportChart>& charts, const ChartData& data,
                  const Area& before, const Area& after)
{
    const std::string bytes = chartPart(data);
    std::map<std::string, std::vector<std::string>> framesByDrawing;
    for (const auto& chart : charts) {
        document.putPart(chart.part, kContentTypeChart, [bytes] { return bytes; });
        framesByDrawing[chart.drawing].push_back(chart.relationshipId);
    }
    const ChartSize size = chartSize(data);
    for (const auto& [drawing, ids] : framesByDrawing) {
        const auto parsed = xml::parse(document.readPart(drawing), document.displayName(), drawing);
        bool changed = false;
        for (auto anchor : xml::root(*parsed).children()) {
            if (xml::localName(anchor) == "oneCellAnchor" && showsOneOf(anchor, ids))
                changed |= placeFrame(anchor, size, besideOf(before), besideOf(after));
        }
        if (changed)
            document.putPart(drawing, kContentTypeDrawing, [text = xml::serialize(*parsed)] { return text; });
    }
}

}  // namespace sheet::report
