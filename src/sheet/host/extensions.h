// Where the pivot tables computed from cubes and the charts plug into the
// host. The host's workbook and sheet objects serve everything else; these
// engines make the objects only they know how to make. An application
// without an engine refuses the call with 1004 (HostApplication::setEngines).
#pragma once

#include "sheet/xlsx/a1address.h"
#include "sheet/chart.h"
#include "sheet/host/chartdata.h"
#include "sheet/pivottable.h"
#include "sheet/xlsx/cellstore.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace sheet {

class HostWorkbook;
class HostWorksheet;

// One cell of a table as its drawing writes it, counted from the table's
// top-left cell (from 0).
struct DrawnCell {
    int32_t row = 0;
    int32_t column = 0;
    CellValue value;
    CellFormat format;
};

// The first rows of a table's drawing, and the whole drawing's size.
struct DrawnRows {
    int32_t rows = 0;
    int32_t columns = 0;
    std::vector<DrawnCell> cells;  // in row, then column order
};

// A pivot table that knows which cells it covers, so that the sheet can
// refuse a new table over it.
class PlacedPivotTable : public PivotTable {
public:
    // The cells the table covers on its sheet, as last drawn.
    virtual Area area() = 0;
    // Brings the table's cells on the sheet up to date with its fields, unless
    // ManualUpdate holds it back. The sheet calls it before anything reads
    // the cells: AutoFit, a chart, a save.
    virtual void update() {}
    // The visible values of the table for a chart of it, drawn up to date;
    // nullopt for a table whose values the host does not compute.
    virtual std::optional<ChartData> chartData() { return std::nullopt; }
    // The first `rows` rows of the table as drawing it now would write them,
    // without writing them; nullopt for a table the host does not compute.
    virtual std::optional<DrawnRows> firstRows(int32_t rows)
    {
        static_cast<void>(rows);
        return std::nullopt;
    }
};

// What a pivot cache passes to the engine when a table is made from it.
struct PivotSource {
    std::string connection;   // the joined connection string
    int32_t commandType = 0;  // kCommandCube
    std::string commandText;  // the cube name
};

class PivotEngine {
public:
    virtual ~PivotEngine() = default;
    // Makes pivot table `name` from `source` with its top-left cell at
    // `topLeft` of `sheet`, and renders it into the sheet's cells. The caller
    // has checked the name and that `topLeft` lies in no other table, and
    // adds the returned table to the sheet. Throws 1004 when the cube cannot
    // be reached.
    virtual std::shared_ptr<PlacedPivotTable> create(const PivotSource& source, HostWorksheet& sheet,
                                                     CellRef topLeft, const std::string& name) = 0;
};

class ChartEngine {
public:
    virtual ~ChartEngine() = default;
    // Adds a new chart sheet to `workbook` and returns its chart (the caller
    // makes it the application's active chart).
    virtual std::shared_ptr<Chart> addChart(HostWorkbook& workbook) = 0;
    // Called when `workbook` is about to be saved, after its pivot tables
    // were brought up to date: writes the workbook's charts into its
    // document (parts, relationships, sheet elements).
    virtual void prepareSave(HostWorkbook& workbook) = 0;
};

// Something cut to the application's clipboard (a chart object), which a
// worksheet's Paste places.
class ClipboardContent {
public:
    virtual ~ClipboardContent() = default;
    // Places the content onto `sheet` with its top-left at `destination`.
    virtual void pasteOnto(HostWorksheet& sheet, CellRef destination) = 0;
};

}  // namespace sheet
