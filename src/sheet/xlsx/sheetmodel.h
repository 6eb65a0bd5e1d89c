// One sheet of a workbook as the host holds it between opening and saving:
// where its part is, what opening learnt about it, and what the host has
// changed in it since.
#pragma once

#include "sheet/xlsx/a1address.h"
#include "sheet/xlsx/cellstore.h"
#include "sheet/xlsx/relationships.h"

#include <pugixml.hpp>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace sheet {

class Chart;

enum class SheetKind { Worksheet, Chartsheet, Dialogsheet, Macrosheet, Other };

// A pivot table held in the file, as much of it as the host reads.
struct StoredPivotTableInfo {
    std::string name;
    Area area;               // the cells its location covers
    bool rowGrand = true;
    bool columnGrand = true;
};

struct SheetModel {
    pugi::xml_node entry;     // the sheet's element in the workbook part (name, state)
    SheetKind kind = SheetKind::Worksheet;
    std::string part;         // "xl/worksheets/sheet1.xml"
    bool created = false;     // made by the host; its part exists only after the next save

    // From opening: the pivot table parts the sheet's relationships name,
    // and the reports the host drew on it in earlier sessions.
    std::vector<std::string> pivotTableParts;
    std::vector<StoredPivotTableInfo> drawnReports;
    // Read on first use, then kept.
    std::optional<bool> protectContents;
    std::optional<std::vector<StoredPivotTableInfo>> storedPivotTables;

    // Changes the next save writes into the sheet's part.
    CellStore cells;
    // Further edits of the sheet's document, run in order after the cells
    // are written (the drawing element of an embedded chart, for one).
    std::vector<std::function<void(pugi::xml_node worksheet)>> edits;
    // The sheet's relationships once read or added to; null while they are
    // as in the file and unread.
    std::unique_ptr<Relationships> relationships;

    // The chart of a chart sheet the host made (the chart engine's object, so
    // that Charts returns the same chart each time); null for other sheets.
    std::shared_ptr<Chart> chart;

    // Whether the next save must rewrite the sheet's part.
    bool touched() const { return created || !cells.empty() || !edits.empty(); }
};

}  // namespace sheet
