// The report definitions a workbook keeps: one custom XML part of the
// package, related from the workbook part, holding the JSON of every report
// the host drew (docs/report-definitions.md). Spreadsheet programs keep such
// parts and never show them; a workbook without one opens as any other.
//
// The part is read on first use. Each save records the reports drawn in the
// session (replacing the definition of a report of the same name on the same
// sheet) and rewrites the part only when a definition changed.
#pragma once

#include "sheet/report/reportdefinition.h"
#include "sheet/xlsx/a1address.h"

#include <optional>
#include <string>
#include <vector>

namespace sheet {

class HostWorkbook;
class WorkbookDocument;

namespace report {

// The root element of the part; its text is the JSON.
inline constexpr const char* kDefinitionsElement = "pivotReports";
inline constexpr const char* kDefinitionsNamespace = "urn:pivotwizard:report-definitions";

class ReportBook {
public:
    // The definitions the workbook holds, with any recorded since. Throws
    // 1004 naming the workbook for a part that is not a readable definition.
    const std::vector<ReportDefinition>& definitions(WorkbookDocument& document);
    // The definition of report `name` (on `sheet`, when not empty); null when none.
    const ReportDefinition* find(WorkbookDocument& document, const std::string& name, const std::string& sheet = {});

    // Records `report`, replacing one of the same name on the same sheet.
    void put(WorkbookDocument& document, ReportDefinition report);

    // Before a save: records every report the host drew in `book` this
    // session, drops definitions of sheets that are gone, and puts the part
    // for the save when anything changed.
    void prepareSave(HostWorkbook& book);

private:
    void load(WorkbookDocument& document);
    void write(WorkbookDocument& document);

    std::optional<std::vector<ReportDefinition>> mReports;
    std::string mPart;  // the part holding them; empty until there is one
    bool mChanged = false;
};

// "B2:H40".
std::string areaName(const Area& area);

// The connection string of a definition's source, as the wizard writes it.
std::string connectionOf(const ReportSource& source);
// A source from a connection string and a cube name.
ReportSource sourceOf(const std::string& connection, const std::string& cube);

}  // namespace report
}  // namespace sheet
