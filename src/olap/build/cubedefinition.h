// A cube definition: what the command-line cube builder reads to make a cube
// file from CSV files. One definition file describes one catalog, and so one
// cube file. Its JSON form:
//
//   { "catalog": "Sales", "store": {...}?, "cubes": [ {
//       "name": "Sales", "factTable": "sales.csv",
//       "dimensions": [ { "name": "Product", "type": "other",
//           "joins": [ {"table": "products.csv", "key": "product_id", "foreignKey": "product_id"}, ... ],
//           "hierarchies": [ { "name": "", "allLevel": true, "allMemberName": "All Products",
//               "levels": [ {"name": "Category", "column": "category", "table": "categories.csv",
//                            "captionColumn": "...", "namedByKey": false,
//                            "orderBy": "name" | "key" | "ordinal", "orderColumn": "...",
//                            "descending": false}, ... ] } ] } ],
//       "measures": [ {"name": "Units", "column": "units", "aggregation": "sum", "format": "#,##0",
//                      "filter": {"column": "...", "table": "...",
//                                 "equals": "x" | "notEquals": "x" | "oneOf": ["x", ...]
//                                 | "from": 1, "to": 9}} ],
//       "calculatedMeasures": [ {"name": "Price", "formula": "[Sales] / [Units]", "format": "0.00"} ] } ] }
//
// A dimension with one hierarchy may give "levels", "allLevel" and
// "allMemberName" directly instead of "hierarchies". Comments ("//", "/* */")
// are allowed. File names are relative to the definition's folder.
#pragma once

#include "olap/build/cubesourceerror.h"
#include "olap/cube/cubebuilder.h"
#include "olap/cube/schema.h"
#include "olap/store/storecompanion.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace olap {

// A text of the definition that names something in the CSV files, with the
// place it was written, so that a CSV problem can point back to it.
struct DefinitionText {
    std::string value;
    TextPosition position;
    bool empty() const { return value.empty(); }
};

// One step from a table to a dimension table: the rows of `table` are found
// by `key`, the value of `foreignKey` in the table before (the fact table for
// the first step). Steps chain: product -> subcategory -> category.
struct JoinDefinition {
    DefinitionText table;
    DefinitionText key;
    DefinitionText foreignKey;
    TextPosition position;
};

struct LevelDefinition {
    std::string name;
    DefinitionText table;          // the table of the columns; empty: the dimension's table that has `column`
    DefinitionText column;         // member names
    DefinitionText captionColumn;  // member captions; empty: the names
    bool namedByKey = false;       // unique names use the key marker "&"
    MemberOrder order = MemberOrder::FirstSeen;
    DefinitionText orderColumn;    // numbers giving each member's place, for MemberOrder::Ordinal
    bool descending = false;
    TextPosition position;
};

struct HierarchyDefinition {
    std::string name;              // empty: the dimension's name
    bool allLevel = false;
    std::string allMemberName;     // empty: "All " + dimension name
    std::vector<LevelDefinition> levels;  // top first, at least one
    TextPosition position;
};

struct DimensionDefinition {
    std::string name;
    DimensionType type = DimensionType::Other;
    // Empty: the level columns are columns of the fact table.
    std::vector<JoinDefinition> joins;
    std::vector<HierarchyDefinition> hierarchies;  // at least one
    TextPosition position;
};

// The facts a filtered measure takes its value from: those whose cell in
// `column` meets the test. The others have no value for the measure.
struct MeasureFilter {
    enum class Test : uint8_t { Equals, NotEquals, OneOf, Range };
    DefinitionText table;              // empty: the fact table, else a table a dimension joins
    DefinitionText column;
    Test test = Test::Equals;
    std::vector<std::string> values;   // Equals and NotEquals: one; OneOf: the list
    std::optional<double> from, to;    // Range, both ends included; a cell that is no number fails
    TextPosition position;
};

struct MeasureDefinition {
    std::string name;
    DefinitionText column;         // empty only for "count": every fact counts one
    Aggregation aggregation = Aggregation::Sum;
    std::string formatString;
    std::optional<MeasureFilter> filter;
    TextPosition position;
};

struct CalculatedMeasureDefinition {
    std::string name;
    DefinitionText formula;        // checked: it parses and names known measures, no cycle
    std::string formatString;
    TextPosition position;
};

struct CubeDefinition {
    std::string name;
    DefinitionText factTable;
    std::vector<DimensionDefinition> dimensions;
    std::vector<MeasureDefinition> measures;   // at least one
    std::vector<CalculatedMeasureDefinition> calculatedMeasures;
    TextPosition position;
};

struct CatalogDefinition {
    std::filesystem::path file;     // the definition file itself
    std::string catalog;
    std::vector<CubeDefinition> cubes;  // at least one
    // Present: the cube file is an application-store cube and gets this
    // companion file beside it.
    std::optional<StoreCompanion> store;

    // A table named in the definition, as a path: relative names are taken
    // from the definition's folder.
    std::filesystem::path tablePath(std::string_view table) const;
};

// Reads and checks a definition file. Throws Failure (source "cubebuilder")
// naming the file, line and column of the first problem: malformed JSON, a
// missing or unknown member, a value of the wrong kind, an unknown
// aggregation or dimension type, duplicate names, a level table that the
// dimension does not join, a bad member order or measure filter, a formula
// that does not parse, names an unknown measure or refers to itself
// (directly or through other calculated measures; placed at the reference).
// Columns are not checked against the CSV files here.
CatalogDefinition readCubeDefinition(const std::filesystem::path& file);

// The same for a definition already in memory; `file` names it in messages
// and anchors relative table names.
CatalogDefinition parseCubeDefinition(std::string_view text, const std::filesystem::path& file);

}  // namespace olap
