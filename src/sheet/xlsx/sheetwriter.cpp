#include "sheet/xlsx/sheetwriter.h"

#include "sheet/xlsx/cellwriting.h"
#include "sheet/xlsx/columnwidths.h"
#include "sheet/xlsx/ooxml.h"
#include "sheet/xlsx/rowmerge.h"
#include "sheet/xlsx/stylesheet.h"
#include "sheet/xlsx/tagedit.h"
#include "sheet/xlsx/xmlpart.h"

#include <algorithm>
#include <charconv>
#include <vector>

namespace sheet {

const std::initializer_list<std::string_view> kWorksheetOrder = {
    "sheetPr", "dimension", "sheetViews", "sheetFormatPr", "cols", "sheetData", "sheetCalcPr", "sheetProtection",
    "protectedRanges", "scenarios", "autoFilter", "sortState", "dataConsolidate", "customSheetViews", "mergeCells",
    "phoneticPr", "conditionalFormatting", "dataValidations", "hyperlinks", "printOptions", "pageMargins",
    "pageSetup", "headerFooter", "rowBreaks", "colBreaks", "customProperties", "cellWatches", "ignoredErrors",
    "smartTags", "drawing", "legacyDrawing", "legacyDrawingHF", "drawingHF", "picture", "oleObjects", "controls",
    "webPublishItems", "tableParts", "extLst"};

namespace {

using CellGroup = std::vector<std::pair<CellRef, const CellEntry*>>;

// Rows and cells may leave out their index; it is then one past the previous
// one. The index is written down when missing, so that it stays right when
// elements are inserted before it.
int32_t rowIndex(pugi::xml_node row, int32_t previous)
{
    const std::string_view r = row.attribute("r").value();
    int32_t index = 0;
    const auto [end, ec] = std::from_chars(r.data(), r.data() + r.size(), index);
    if (ec == std::errc() && end == r.data() + r.size() && index > 0)
        return index;
    row.remove_attribute("r");
    row.prepend_attribute("r") = previous + 1;
    return previous + 1;
}

int32_t cellColumn(pugi::xml_node cell, int32_t row, int32_t previous)
{
    if (const auto at = parseCellName(cell.attribute("r").value()))
        return at->column;
    cell.remove_attribute("r");
    cell.prepend_attribute("r") = cellName({row, previous + 1}).c_str();
    return previous + 1;
}

std::vector<Area> arrayFormulas(pugi::xml_node sheetData)
{
    std::vector<Area> areas;
    for (auto row : sheetData.children()) {
        for (auto cell : row.children()) {
            const auto formula = xml::child(cell, "f");
            if (formula && std::string_view(formula.attribute("t").value()) == "array") {
                const auto area = parseAddress(formula.attribute("ref").value());
                if (area && area->first != area->last)
                    areas.push_back(*area);
            }
        }
    }
    return areas;
}

// Moves `cursor` to the first child named `name` whose index is at least
// `wanted`, or to the trailing extension list, or past the end; returns the
// index of the child it stops at (when named `name`).
template <class IndexOf>
int32_t seek(pugi::xml_node& cursor, std::string_view name, int32_t wanted, int32_t& last, IndexOf indexOf)
{
    for (; cursor; cursor = cursor.next_sibling()) {
        const std::string_view local = xml::localName(cursor);
        if (local == "extLst")
            return 0;
        if (local == name) {
            last = indexOf(cursor, last);
            if (last >= wanted)
                return last;
        }
    }
    return 0;
}

pugi::xml_node insertBefore(pugi::xml_node parent, pugi::xml_node cursor, std::string_view name)
{
    const std::string tag = xml::qualified(parent, name);
    return cursor ? parent.insert_child_before(tag.c_str(), cursor) : parent.append_child(tag.c_str());
}

void writeRow(pugi::xml_node row, int32_t rowNumber, const CellGroup& cells, StyleSheet& styles,
              FormulaGuard& guard)
{
    row.remove_attribute("spans");  // a hint of the row's extent; wrong once cells are added
    auto cursor = row.first_child();
    int32_t last = 0;
    const auto indexOf = [rowNumber](pugi::xml_node cell, int32_t previous) {
        return cellColumn(cell, rowNumber, previous);
    };
    for (const auto& [at, entry] : cells) {
        pugi::xml_node cell;
        if (seek(cursor, "c", at.column, last, indexOf) == at.column) {
            cell = cursor;
            guard.check(cell, at);
        } else {
            guard.check(pugi::xml_node(), at);
            if (clears(*entry))
                continue;
            cell = insertBefore(row, cursor, "c");
            cell.append_attribute("r") = cellName(at).c_str();
        }
        fillCell(cell, *entry, styles);
    }
}

// The host's cells grouped by row, rows in order.
std::vector<std::pair<int32_t, CellGroup>> byRow(const CellStore& cells)
{
    std::vector<std::pair<int32_t, CellGroup>> rows;
    for (const auto& [at, entry] : cells.cells()) {
        if (rows.empty() || rows.back().first != at.row)
            rows.push_back({at.row, {}});
        rows.back().second.push_back({at, &entry});
    }
    return rows;
}

void writeRows(pugi::xml_node sheetData, const CellStore& cells, StyleSheet& styles, FormulaGuard& guard)
{
    auto cursor = sheetData.first_child();
    int32_t last = 0;
    for (const auto& [number, group] : byRow(cells)) {
        pugi::xml_node row;
        if (seek(cursor, "row", number, last, rowIndex) == number) {
            row = cursor;
        } else if (std::all_of(group.begin(), group.end(), [](const auto& cell) { return clears(*cell.second); })) {
            continue;
        } else {
            row = insertBefore(sheetData, cursor, "row");
            row.append_attribute("r") = number;
        }
        writeRow(row, number, group, styles, guard);
    }
}

// Grows the sheet's used range to cover the written cells; a sheet that had
// no cells gets exactly their range.
void growDimension(pugi::xml_node worksheet, const CellStore& cells, bool hadCells)
{
    auto dimension = xml::child(worksheet, "dimension");
    if (!dimension || cells.cells().empty())
        return;
    Area area = *cells.area();
    const auto existing = parseAddress(dimension.attribute("ref").value());
    if (existing && hadCells) {
        area.first = {std::min(area.first.row, existing->first.row), std::min(area.first.column, existing->first.column)};
        area.last = {std::max(area.last.row, existing->last.row), std::max(area.last.column, existing->last.column)};
    }
    auto ref = dimension.attribute("ref");
    if (!ref)
        ref = dimension.append_attribute("ref");
    ref = plainAddress(area).c_str();
}

}  // namespace

std::string newSheetPart()
{
    return std::string("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<worksheet xmlns=\"")
           + ooxml::kMainNamespace + "\" xmlns:r=\"" + ooxml::kRelNamespace
           + "\"><dimension ref=\"A1\"/><sheetViews><sheetView workbookViewId=\"0\"/></sheetViews>"
             "<sheetFormatPr defaultRowHeight=\"15\"/><sheetData/><pageMargins left=\"0.7\" right=\"0.7\" "
             "top=\"0.75\" bottom=\"0.75\" header=\"0.3\" footer=\"0.3\"/></worksheet>";
}

WriteOutcome writeCells(pugi::xml_node worksheet, const CellStore& cells, StyleSheet& styles,
                        std::string_view sheetName)
{
    auto sheetData = xml::ensureChild(worksheet, "sheetData", kWorksheetOrder);
    FormulaGuard guard{arrayFormulas(sheetData), sheetName};
    const bool hadCells = static_cast<bool>(xml::child(sheetData, "row"));
    if (!cells.cells().empty()) {
        writeRows(sheetData, cells, styles, guard);
        growDimension(worksheet, cells, hadCells);
    }
    if (!cells.columnWidths().empty())
        writeColumnWidths(worksheet, cells.columnWidths());
    return {guard.replacedFormula};
}

namespace {

// Stands for the merged rows in the part while the rest of it is edited as a
// document.
constexpr std::string_view kRowsMark = "<?pivotwizard-rows?>";

// Where a worksheet part's rows are: the sheetData element's name and
// offsets in the part.
struct RowsPlace {
    std::string name;
    size_t tagBegin = 0;   // the start tag's "<"
    size_t rowsBegin = 0;  // the rows, between the start and the end tag
    size_t rowsEnd = 0;
    size_t tailBegin = 0;  // just past the end tag
};

// nullopt when the part has no sheetData element, or one the text merge
// leaves to the document form.
std::optional<RowsPlace> locateRows(std::string_view text)
{
    const auto tag = locateStartTag(text, "sheetData");
    if (!tag)
        return std::nullopt;
    const std::string_view start = text.substr(tag->first, tag->second);
    // Markup before the rows that could hide or fake the start tag; the
    // element takes no attributes.
    if (text.substr(0, tag->first).find("<!") != std::string_view::npos || start.find('=') != std::string_view::npos)
        return std::nullopt;
    RowsPlace place;
    place.tagBegin = tag->first;
    place.rowsBegin = place.rowsEnd = place.tailBegin = tag->first + tag->second;
    const size_t nameEnd = start.find_first_of(" \t\r\n/>", 1);
    place.name = std::string(start.substr(1, nameEnd - 1));
    if (start.ends_with("/>"))
        return place;
    // From the end: the rows run to within a few elements of it.
    place.rowsEnd = text.rfind("</" + place.name + ">");
    if (place.rowsEnd == std::string_view::npos || place.rowsEnd < place.rowsBegin)
        return std::nullopt;
    place.tailBegin = place.rowsEnd + place.name.size() + 3;
    return place;
}

// `written` (the part serialised with kRowsMark for its rows) with `rows`
// in their place; nullopt when the mark is not there once.
std::optional<std::string> withRows(std::string written, const std::string& name, const std::string& rows)
{
    const size_t mark = written.find(kRowsMark);
    if (mark == std::string::npos || written.find(kRowsMark, mark + 1) != std::string::npos)
        return std::nullopt;
    const std::string open = "<" + name + ">", close = "</" + name + ">";
    if (rows.empty() && mark >= open.size() && written.compare(mark - open.size(), open.size(), open) == 0
        && written.compare(mark + kRowsMark.size(), close.size(), close) == 0)
        written.replace(mark - open.size(), open.size() + kRowsMark.size() + close.size(), "<" + name + "/>");
    else
        written.replace(mark, kRowsMark.size(), rows);
    return written;
}

// The part with its rows merged as text; nullopt where the document form
// must do it.
std::optional<WrittenSheet> writeByRows(std::string_view text, const CellStore& cells, StyleSheet& styles,
                                        std::string_view sheetName,
                                        const std::function<void(pugi::xml_node)>& finish, std::string_view file,
                                        std::string_view part)
{
    const auto place = locateRows(text);
    if (!place)
        return std::nullopt;
    const std::string& name = place->name;
    FormulaGuard guard{{}, sheetName};
    const auto rows = mergeRows(text.substr(place->rowsBegin, place->rowsEnd - place->rowsBegin),
                                name.substr(0, name.find(':') == std::string::npos ? 0 : name.find(':') + 1), cells,
                                styles, guard);
    if (!rows)
        return std::nullopt;
    const auto document = xml::parse(std::string(text.substr(0, place->tagBegin)) + "<" + name + ">"
                                         + std::string(kRowsMark) + "</" + name + ">"
                                         + std::string(text.substr(place->tailBegin)),
                                     file, part);
    const auto root = xml::root(*document);
    if (!cells.cells().empty())
        growDimension(root, cells, rows->hadRows);
    if (!cells.columnWidths().empty())
        writeColumnWidths(root, cells.columnWidths());
    if (finish)
        finish(root);
    auto written = withRows(xml::serialize(*document), name, rows->text);
    if (!written)
        return std::nullopt;
    return WrittenSheet{std::move(*written), {guard.replacedFormula}};
}

}  // namespace

WrittenSheet writeSheetPart(std::string_view text, const CellStore& cells, StyleSheet& styles,
                            std::string_view sheetName, const std::function<void(pugi::xml_node)>& finish,
                            std::string_view file, std::string_view part)
{
    if (auto written = writeByRows(text, cells, styles, sheetName, finish, file, part))
        return std::move(*written);
    const auto document = xml::parse(text, file, part);
    const auto root = xml::root(*document);
    WriteOutcome outcome;
    if (!cells.empty())
        outcome = writeCells(root, cells, styles, sheetName);
    if (finish)
        finish(root);
    return {xml::serialize(*document), outcome};
}

void setTabSelected(pugi::xml_node worksheet, bool selected)
{
    auto views = xml::child(worksheet, "sheetViews");
    auto view = views ? xml::child(views, "sheetView") : pugi::xml_node();
    if (!selected) {
        view.remove_attribute("tabSelected");
        return;
    }
    if (!view) {
        views = xml::ensureChild(worksheet, "sheetViews", kWorksheetOrder);
        view = views.append_child(xml::qualified(views, "sheetView").c_str());
        view.append_attribute("workbookViewId") = 0;
    }
    auto attribute = view.attribute("tabSelected");
    if (!attribute)
        attribute = view.prepend_attribute("tabSelected");
    attribute = 1;
}

}  // namespace sheet
