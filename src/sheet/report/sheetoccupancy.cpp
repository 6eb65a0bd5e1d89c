#include "sheet/report/sheetoccupancy.h"

#include "sheet/failures.h"
#include "sheet/xlsx/workbookdocument.h"

#include <map>
#include <string_view>

namespace sheet::report {

namespace {

// The value of attribute `name` in the start tag `tag`; empty when it has none.
std::string_view attribute(std::string_view tag, std::string_view name)
{
    for (size_t at = tag.find(name); at != std::string_view::npos; at = tag.find(name, at + 1)) {
        const bool whole = at > 0 && (tag[at - 1] == ' ' || tag[at - 1] == '\t' || tag[at - 1] == '\n' || tag[at - 1] == '\r');
        size_t p = at + name.size();
        while (p < tag.size() && tag[p] == ' ')
            ++p;
        if (!whole || p >= tag.size() || tag[p] != '=')
            continue;
        ++p;
        while (p < tag.size() && tag[p] == ' ')
            ++p;
        if (p >= tag.size() || (tag[p] != '"' && tag[p] != '\''))
            return {};
        const size_t end = tag.find(tag[p], p + 1);
        return end == std::string_view::npos ? std::string_view() : tag.substr(p + 1, end - p - 1);
    }
    return {};
}

// The local name of the element a start tag opens ("c" for "<x:c r=...").
std::string_view localName(std::string_view tag)
{
    const size_t end = tag.find_first_of(" \t\r\n/>", 1);
    std::string_view name = tag.substr(1, end == std::string_view::npos ? std::string_view::npos : end - 1);
    const size_t colon = name.find(':');
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

// Walks the sheet's rows and cells as text, without building a document: a
// report's sheet may hold hundreds of thousands of cells. A row or cell
// without its reference follows the one before it, as the format allows.
void scanPart(std::string_view xml, const Area& box, const std::function<bool(CellRef)>& ignored,
              std::map<CellRef, bool>& cells)
{
    int32_t row = 0, column = 0;
    for (size_t at = xml.find('<'); at != std::string_view::npos; at = xml.find('<', at + 1)) {
        if (xml.compare(at, 9, "<![CDATA[") == 0) {
            at = xml.find("]]>", at);
            if (at == std::string_view::npos)
                return;
            continue;
        }
        const size_t close = xml.find('>', at);
        if (close == std::string_view::npos)
            return;
        const std::string_view tag = xml.substr(at, close - at + 1);
        if (tag.size() < 2 || tag[1] == '/' || tag[1] == '?' || tag[1] == '!')
            continue;
        const std::string_view name = localName(tag);
        if (name == "row") {
            const int32_t given = std::atoi(std::string(attribute(tag, "r")).c_str());
            row = given > 0 ? given : row + 1;
            column = 0;
            if (row > box.last.row)
                return;
        } else if (name == "c" && row >= box.first.row) {
            const auto at = parseCellName(attribute(tag, "r"));
            column = at ? at->column : column + 1;
            const CellRef ref{row, column};
            if (!box.contains(ref) || (ignored && ignored(ref)))
                continue;
            const bool selfClosed = tag.size() >= 2 && tag[tag.size() - 2] == '/';
            // Content is a value, a formula or an inline string inside the cell.
            const bool content = !selfClosed && xml.compare(close + 1, 2, "</") != 0;
            cells[ref] = content;
        }
    }
}

}  // namespace

SheetOccupancy occupiedCells(WorkbookDocument& document, SheetModel& sheet, const Area& box,
                             const std::function<bool(CellRef)>& ignored)
{
    std::map<CellRef, bool> cells;
    if (!sheet.created) {
        if (!document.hasPart(sheet.part))
            failApplication("'" + document.displayName() + "' is damaged: the sheet part " + sheet.part + " is missing");
        scanPart(document.readPart(sheet.part), box, ignored, cells);
    }
    // The host's own writes since opening decide over the file's.
    for (auto it = sheet.cells.cells().lower_bound(box.first); it != sheet.cells.cells().end(); ++it) {
        if (it->first.row > box.last.row)
            break;
        if (box.contains(it->first) && !(ignored && ignored(it->first)))
            cells[it->first] = !std::holds_alternative<std::monostate>(it->second.value);
    }
    return {{cells.begin(), cells.end()}};
}

}  // namespace sheet::report
