// Helpers of the chart engine's tests: the pivot table stand-in placed on a
// sheet (the engine only reads its place and its values), an application
// with the chart engine, golden parts, and looks into saved parts.
#pragma once

#include "sheet/host/chartdata.h"
#include "sheet/host/extensions.h"
#include "sheet/host/hostapplication.h"

#include "sheettestsupport.h"

#include <pugixml.hpp>

#include <memory>
#include <string>
#include <vector>

namespace charttest {

using sheettest::FakeTable;

// Sales by region for two years as a table with its top-left at `topLeft`
// draws it: the header row, then categories North, South, East down its
// first column; series "2023" (10, 32, empty) and "2024" (15, 20, 25) in the
// next two; title and measure "Amount" ("#,##0"), on sheet "Report".
sheet::ChartData salesData(sheet::CellRef topLeft = {2, 2});

// The area of `address` ("C3:E7").
sheet::Area area(const std::string& address);

// A host application with the chart engine and no pivot engine.
std::shared_ptr<sheet::HostApplication> chartApplication();

// Places a FakeTable named "Sales" showing salesData() at `address` of `sheet`.
std::shared_ptr<FakeTable> placeTable(const std::shared_ptr<sheet::Worksheet>& sheet, const std::string& address);

// Saves as `file` a workbook with the report the wizard builds from the
// sample Sales cube with a chart: the stores on the rows (the USA open to its
// states), the quarters of every year on the columns, Sales Amount and Units
// (hundreds of times smaller), the table autoformat, the chart beside the
// table on the sheet "Report". The names of its series, in order, go to
// `series` and its category labels to `categories`.
void saveSalesReportWithChart(const std::filesystem::path& file, std::vector<std::string>& series,
                              std::vector<std::string>& categories);

// Runs the shell `command` with its output to `log`; its exit status.
int run(const std::string& command, const std::filesystem::path& log);

// A parsed XML part.
std::unique_ptr<pugi::xml_document> parseXml(const std::string& text);

// Expects the XML `part`, indented, to be the golden part golden/<name>.xml
// beside the chart tests. With UPDATE_GOLDEN set (and CI not), writes the
// golden part instead, for the change to be reviewed in the diff.
void expectGolden(const std::string& part, const std::string& name);

// The text of every element named `name` (a qualified name such as "c:v"),
// in document order.
std::vector<std::string> texts(const pugi::xml_node& node, const char* name);

// A saved package: its parts by name, decompressed.
class SavedParts {
public:
    explicit SavedParts(const std::filesystem::path& file);
    bool has(const std::string& part) const { return mParts.count(part) > 0; }
    // The part's bytes; fails the test when it is missing.
    std::string operator[](const std::string& part) const;
    // Relationship `id` of `part` as its type's last segment and target part
    // ("drawing xl/drawings/drawing1.xml"); empty when there is none.
    std::string link(const std::string& part, const std::string& id) const;
    // The content type [Content_Types].xml gives `part` by override.
    std::string overrideOf(const std::string& part) const;
    // The drawing the sheet part shows and the charts in it, followed through
    // the relationships ("xl/drawings/drawing1.xml: xl/charts/chart1.xml");
    // fails the test for a link or content type of the wrong kind.
    std::string charts(const std::string& sheetPart) const;
    // The anchors of `drawing` (the user's and the host's), "col,row" of the
    // top-left corner each, counted from 0.
    std::vector<std::string> anchors(const std::string& drawing) const;

private:
    std::map<std::string, std::string> mParts;
};

}  // namespace charttest
