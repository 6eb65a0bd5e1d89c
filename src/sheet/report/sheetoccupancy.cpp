#include "sheet/report/sheetoccupancy.h"

#include "sheet/failures.h"
#include "sheet/xlsx/workbookdocument.h"

#include <pugixml.hpp>

#include <map>

namespace sheet::report {

namespace {

// The cells of the sheet's part within `box`. A row or cell without its
// reference follows the one before it, as the file format allows.
void readPart(WorkbookDocument& document, const SheetModel& sheet, const Area& box, std::map<CellRef, bool>& cells)
{
    if (sheet.created || !document.hasPart(sheet.part))
        return;
    const std::string bytes = document.readPart(sheet.part);
    pugi::xml_document xml;
    if (!xml.load_buffer(bytes.data(), bytes.size(), pugi::parse_minimal))
        failApplication("'" + document.displayName() + "' is damaged: the sheet part " + sheet.part + " is not XML");
    const auto sheetData = xml.document_element().child("sheetData");
    int32_t rowNumber = 0;
    for (auto row = sheetData.child("row"); row; row = row.next_sibling("row")) {
        const int32_t given = row.attribute("r").as_int(0);
        rowNumber = given > 0 ? given : rowNumber + 1;
        if (rowNumber < box.first.row)
            continue;
        if (rowNumber > box.last.row)
            break;
        int32_t column = 0;
        for (auto cell = row.child("c"); cell; cell = cell.next_sibling("c")) {
            const auto at = parseCellName(cell.attribute("r").value());
            column = at ? at->column : column + 1;
            const CellRef ref{rowNumber, column};
            if (!box.contains(ref))
                continue;
            const bool content = cell.child("v") || cell.child("f") || cell.child("is");
            cells[ref] = content;
        }
    }
}

}  // namespace

SheetOccupancy occupiedCells(WorkbookDocument& document, SheetModel& sheet, const Area& box)
{
    std::map<CellRef, bool> cells;
    readPart(document, sheet, box, cells);
    // The host's own writes since opening decide over the file's.
    for (auto it = sheet.cells.cells().lower_bound(box.first); it != sheet.cells.cells().end(); ++it) {
        if (it->first.row > box.last.row)
            break;
        if (box.contains(it->first))
            cells[it->first] = !std::holds_alternative<std::monostate>(it->second.value);
    }
    return {{cells.begin(), cells.end()}};
}

}  // namespace sheet::report
