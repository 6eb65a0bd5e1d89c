#include "sheet/chart/chartwriter.h"

#include "sheet/chart/chartxml.h"
#include "sheet/chart/drawingpart.h"
#include "sheet/chart/hostchart.h"
#include "sheet/chart/hostchartobject.h"

#include "sheet/host/hostworkbook.h"
#include "sheet/host/hostworksheet.h"
#include "sheet/xlsx/partnames.h"
#include "sheet/xlsx/relationships.h"
#include "sheet/xlsx/workbookdocument.h"
#include "sheet/xlsx/xmlpart.h"

#include <algorithm>

namespace sheet {

namespace {

constexpr const char* kDrawingStem = "xl/drawings/drawing";
constexpr const char* kChartStem = "xl/charts/chart";

// Puts `bytes` as `part` unless that is what was put last.
void putChanged(WorkbookDocument& document, const std::string& part, const char* contentType, std::string bytes,
                std::string& last)
{
    if (bytes == last && document.hasPart(part))
        return;
    last = bytes;
    document.putPart(part, contentType, [bytes = std::move(bytes)] { return bytes; });
}

void dropChart(WorkbookDocument& document, ChartParts& parts)
{
    if (!parts.chart.empty())
        document.dropPart(parts.chart);
    parts.chart.clear();
    parts.chartBytes.clear();
}

ChartFrame frameOf(HostChartObject& object, HostWorksheet& sheet, const std::string& relationshipId,
                   const ChartData& data)
{
    const CellRef from = object.topLeft().value_or(object.chart()->besideTable(sheet).value_or(CellRef{1, 1}));
    return {from, chartSize(data), object.Name(), relationshipId};
}

}  // namespace

void ChartWriter::track(const std::shared_ptr<HostChart>& chart)
{
    mCharts.push_back({chart->workbook(), chart, chart->parts()});
}

void ChartWriter::write(HostWorkbook& workbook)
{
    writeCharts(workbook);
    auto& document = workbook.document();
    for (const auto& model : workbook.worksheetModels()) {
        const auto sheet = workbook.worksheet(model);
        std::vector<std::shared_ptr<HostChartObject>> objects;
        for (const auto& object : sheet->chartObjects()) {
            if (auto ours = std::dynamic_pointer_cast<HostChartObject>(object))
                objects.push_back(std::move(ours));
        }
        auto known = mDrawings.find(model);
        if (objects.empty() && known == mDrawings.end())
            continue;
        if (known == mDrawings.end())
            known = mDrawings.emplace(model, startDrawing(document, *model)).first;
        writeDrawing(document, *sheet, objects, known->second);
    }
    std::erase_if(mDrawings, [](const auto& entry) { return entry.first.expired(); });
}

// Each chart's own part first: the drawings refer to the parts by name.
void ChartWriter::writeCharts(HostWorkbook& workbook)
{
    auto& document = workbook.document();
    for (auto& tracked : mCharts) {
        if (tracked.workbook.lock().get() != &workbook)
            continue;
        const auto chart = tracked.chart.lock();
        if (!chart || !chart->placed()) {
            dropChart(document, *tracked.parts);
            continue;
        }
        auto& parts = *tracked.parts;
        if (parts.chart.empty())
            parts.chart = document.freePartName(kChartStem, ".xml");
        putChanged(document, parts.chart, kContentTypeChart, chartPart(chart->data()), parts.chartBytes);
        if (chart->chartSheet())
            writeChartSheet(document, *chart);
    }
    // A thrown-away chart is forgotten once its part is dropped.
    std::erase_if(mCharts, [](const Tracked& t) {
        return t.workbook.expired() || (t.chart.expired() && t.parts->chart.empty());
    });
}

// A chart sheet's drawing never changes: it is written once, with the
// sheet's relationship to it and its drawing element.
void ChartWriter::writeChartSheet(WorkbookDocument& document, HostChart& chart)
{
    auto& parts = *chart.parts();
    if (!parts.sheetDrawing.empty())
        return;
    const auto sheet = chart.chartSheet();
    parts.sheetDrawing = document.freePartName(kDrawingStem, ".xml");
    Relationships links;
    const std::string chartId = links.add(kRelChart, relativeTarget(parts.sheetDrawing, parts.chart));
    std::string drawing = chartSheetDrawingPart(chartId);
    document.putPart(parts.sheetDrawing, kContentTypeDrawing, [drawing] { return drawing; });
    std::string linkBytes = links.serialize();
    document.putPart(relationshipsPartOf(parts.sheetDrawing), "", [linkBytes] { return linkBytes; });
    const std::string sheetId = document.addRelationship(*sheet, kRelDrawing, parts.sheetDrawing);
    sheet->edits.push_back([sheetId](pugi::xml_node root) { addDrawingElement(root, sheetId); });
}

// The sheet's own drawing when it has one; else a new drawing part, linked
// from the sheet.
ChartWriter::SheetDrawing ChartWriter::startDrawing(WorkbookDocument& document, SheetModel& sheet)
{
    SheetDrawing drawing;
    const auto links = document.relationships(sheet).ofType("drawing");
    if (!links.empty()) {
        drawing.part = resolveTarget(sheet.part, links.front().target);
        const std::string relsPart = relationshipsPartOf(drawing.part);
        drawing.base = document.hasPart(drawing.part) ? document.readPart(drawing.part) : emptyDrawingPart();
        drawing.baseRelationships = document.hasPart(relsPart) ? document.readPart(relsPart) : std::string();
        return drawing;
    }
    drawing.part = document.freePartName(kDrawingStem, ".xml");
    drawing.base = emptyDrawingPart();
    const std::string id = document.addRelationship(sheet, kRelDrawing, drawing.part);
    sheet.edits.push_back([id](pugi::xml_node root) { addDrawingElement(root, id); });
    return drawing;
}

void ChartWriter::writeDrawing(WorkbookDocument& document, HostWorksheet& sheet,
                               const std::vector<std::shared_ptr<HostChartObject>>& objects, SheetDrawing& drawing)
{
    if (objects.empty()) {
        restoreDrawing(document, drawing);
        return;
    }
    const std::string relsPart = relationshipsPartOf(drawing.part);
    const auto parsed = xml::parse(drawing.base, document.displayName(), drawing.part);
    auto links = drawing.baseRelationships.empty()
                     ? Relationships()
                     : Relationships::parse(drawing.baseRelationships, document.displayName(), relsPart);
    for (const auto& object : objects) {
        const std::string& chartPart = object->chart()->parts()->chart;
        const std::string id = links.add(kRelChart, relativeTarget(drawing.part, chartPart));
        addChartFrame(xml::root(*parsed), frameOf(*object, sheet, id, object->chart()->data()));
    }
    putChanged(document, drawing.part, kContentTypeDrawing, xml::serialize(*parsed), drawing.bytes);
    putChanged(document, relsPart, "", links.serialize(), drawing.relationshipBytes);
}

// With the host's charts gone from the sheet, its drawing goes back to what
// it was, byte for byte (a drawing the host made stays, empty).
void ChartWriter::restoreDrawing(WorkbookDocument& document, SheetDrawing& drawing)
{
    putChanged(document, drawing.part, kContentTypeDrawing, drawing.base, drawing.bytes);
    const std::string relsPart = relationshipsPartOf(drawing.part);
    if (!drawing.baseRelationships.empty()) {
        putChanged(document, relsPart, "", drawing.baseRelationships, drawing.relationshipBytes);
    } else if (!drawing.relationshipBytes.empty()) {
        document.dropPart(relsPart);
        drawing.relationshipBytes.clear();
    }
}

}  // namespace sheet
