// A report's definition: everything needed to draw a pivot report again from
// its cube (the source, the fields on each axis with their drilled and hidden
// members by unique name, the page selections, the data fields and their
// number formats, totals, where it stands, autoformat and chart), as the
// versioned JSON documented in docs/report-definitions.md.
//
// Definitions come from outside (a workbook another program saved, a file a
// script wrote): reading checks every type and size before using it and
// fails with 1004 naming the origin and the offending field.
#pragma once

#include "sheet/constants.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace sheet::report {

inline constexpr int kDefinitionVersion = 1;

struct ReportSource {
    std::string kind;        // "store", "file" or "server"; informative
    std::string provider;    // the provider string of the connection ("MSOLAP.2")
    std::string dataSource;  // the cube file, or the server's address
    std::string catalog;
    std::string location;    // a server cube's location; empty for files
    std::string cube;
};

struct LevelDefinition {
    std::string level;                                 // the level's name
    std::array<bool, kSubtotalCount> subtotals{true};  // automatic only, by default
    std::vector<std::string> hidden;                   // unique names
};

struct FieldDefinition {
    std::string dimension;
    std::vector<std::string> drilled;  // unique names, members shown open
    std::vector<std::string> hidden;   // unique names, hidden in the member tree
    std::vector<LevelDefinition> levels;  // only levels told something
    std::vector<std::string> selected;    // page fields: the selected members; empty: all
};

struct DataDefinition {
    std::string measure;       // the measure's name
    std::string numberFormat;  // empty: the cube's format
};

struct ReportDefinition {
    std::string name;   // the table's name ("Table Sales")
    std::string sheet = "Sheet1";  // the worksheet's name
    std::string cell = "A1";  // top-left cell
    std::string area;         // the cells drawn last; empty in a definition not yet drawn
    std::string refreshed;    // when drawn last (UTC, ISO 8601); may be empty
    ReportSource source;
    std::vector<FieldDefinition> rows, columns, pages;
    std::vector<DataDefinition> data;
    bool valuesOnRows = false;
    bool rowGrand = true;
    bool columnGrand = true;
    bool autoformat = false;  // the plain table look: bold headings, borders
    bool shaded = false;      // the shaded look over it (dark headings, shaded totals)
    bool chart = false;
};

// The JSON of one report ({"version": 1, ...}) and of a workbook's reports
// ({"version": 1, "reports": [...]}).
std::string toJson(const ReportDefinition& report);
std::string toJson(const std::vector<ReportDefinition>& reports);

// Parse either form; `origin` names the file or part in failures (1004). A
// version above kDefinitionVersion is refused.
ReportDefinition reportFromJson(std::string_view text, std::string_view origin);
std::vector<ReportDefinition> reportsFromJson(std::string_view text, std::string_view origin);

// The subtotal names in the host's order ("automatic", "sum", ...).
extern const std::array<std::string_view, kSubtotalCount> kSubtotalNames;

// The current time as "2026-12-06T03:04:05Z".
std::string utcNow();

}  // namespace sheet::report
