// Refreshing a report after its cube was built again with more facts: the
// report's cells against sqlite3 over the new tables, everything else of the
// workbook byte for byte as it was, and refusals that leave the file alone.
#include "pivottestsupport.h"
#include "reporttestsupport.h"
#include "support/requiredprograms.h"
#include "support/sqlitescript.h"

#include "sheet/host/hostapplication.h"
#include "sheet/host/hostworkbook.h"
#include "sheet/host/hostworksheet.h"
#include "sheet/report/reportbook.h"
#include "sheet/report/reportrefresh.h"
#include "sheet/xlsx/workbookdocument.h"

#include <algorithm>
#include <cstdio>

using namespace sheet;
using namespace reporttest;
using sheet::report::ReportDefinition;

namespace {

namespace fs = std::filesystem;

const std::string kReportSheet = "xl/worksheets/sheet1.xml";

// Food drilled to its subcategories, the other categories closed, by year,
// as sqlite3 sums them over the tables in `folder`; sorted.
std::vector<std::string> expectedBySqlite(const fs::path& folder)
{
    auto lines = sqliteScriptLines(R"(.mode list
.import --csv sales.csv sales
.import --csv products.csv products
.import --csv subcategories.csv subcategories
.import --csv categories.csv categories
.import --csv months.csv months
CREATE VIEW f AS SELECT c.category, s.subcategory, m.year, CAST(x.sales_amount AS REAL) AS amount
  FROM sales x JOIN products p USING (product_id) JOIN subcategories s USING (subcategory_id)
  JOIN categories c USING (category_id) JOIN months m USING (month_id);
CREATE VIEW lines AS
  SELECT subcategory AS label, year, amount FROM f WHERE category = 'Food'
  UNION ALL SELECT category, year, amount FROM f WHERE category <> 'Food'
  UNION ALL SELECT 'Food Total', year, amount FROM f WHERE category = 'Food'
  UNION ALL SELECT 'Grand Total', year, amount FROM f;
SELECT label, year, printf('%.2f', SUM(amount)) FROM lines GROUP BY 1, 2;
SELECT label, 'Grand Total', printf('%.2f', SUM(amount)) FROM lines GROUP BY 1;
)",
                                   folder, folder);
    std::sort(lines.begin(), lines.end());
    return lines;
}

// The report's values as "label|column|value": the label is the
// subcategory where there is one, else the category or total.
std::vector<std::string> reportValues(const fs::path& book)
{
    const auto cells = pivottest::savedCells(book, kReportSheet);
    int header = 0;
    for (int row = 1; row < 20 && !header; ++row) {
        if (cells.count("B" + std::to_string(row)) && cells.at("B" + std::to_string(row)).text == "Category")
            header = row;
    }
    EXPECT_GT(header, 0) << "no header row";
    std::vector<std::string> values;
    for (int row = header + 1; cells.count("B" + std::to_string(row)) || cells.count("C" + std::to_string(row)); ++row) {
        const std::string r = std::to_string(row);
        const std::string label = cells.count("C" + r) ? cells.at("C" + r).text : cells.at("B" + r).text;
        for (char column = 'D'; cells.count(column + std::to_string(header)); ++column) {
            if (!cells.count(column + r))
                continue;
            char text[64];
            std::snprintf(text, sizeof text, "%.2f", std::stod(cells.at(column + r).text));
            values.push_back(label + "|" + cells.at(column + std::to_string(header)).text + "|" + text);
        }
    }
    std::sort(values.begin(), values.end());
    return values;
}

class ReportRefresh : public ::testing::Test {
protected:
    void SetUp() override
    {
        const auto definition = folder / "sales.json";
        writeText(definition, salesDefinition(source.cube, R"(,
            "rows": [{"dimension": "Product", "drilled": ["[Product].[Food]"]}],
            "columns": [{"dimension": "Time"}],
            "data": [{"measure": "Sales Amount", "numberFormat": "0.00"}], "autoformat": true)"));
        const auto run = runPivotReport({"build", definition.string(), "--output", book.string()});
        ASSERT_EQ(run.status, 0) << run.err;
        // Content around the report (above, below, and beside it in a row
        // it spans), and a second sheet.
        auto app = createApplication();
        auto workbook = std::dynamic_pointer_cast<HostWorkbook>(app->Workbooks()->Open(book.string()));
        auto sheet = workbook->worksheet(workbook->worksheetModels().at(0));
        sheet->cells().set({1, 1}, std::string("Weekly sales"), CellFormat{true, false, ""});
        sheet->cells().set({5, 10}, std::string("note"), CellFormat{});
        sheet->cells().set({30, 12}, 42.0, CellFormat{});
        workbook->Worksheets()->Add(workbook->Worksheets()->Item(1));
        workbook->Save();
    }

    // A new year, a new subcategory under the drilled Food, more facts for old members.
    void addFacts() const
    {
        source.append("months.csv", {"2025-01,2025,Q1,January,FY2025,FQ3,1"});
        source.append("subcategories.csv", {"S99,Frozen,C2"});
        source.append("products.csv", {"P099,Frozen Peas,S99,2.50,1.20"});
        source.append("sales.csv", {"2025-01,P099,ST01,K0088,2,5.00,2.40,2.60", "2025-01,P028,ST01,K0088,1,17.98,12.38,5.60",
                                    "2024-06,P001,ST02,K0379,10,14.90,8.10,6.80"});
        source.buildCube();
    }

    ScratchFolder folder;
    SalesSource source{folder.path()};
    fs::path book = folder / "Weekly.xlsx";
};

TEST_F(ReportRefresh, NewFactsChangeExactlyTheReportsCellsAsSqliteSumsThem)
{
    REQUIRE_PROGRAMS("sqlite3");
    const auto before = sheettest::readZip(book);
    const auto cellsBefore = pivottest::savedCells(book, kReportSheet);
    addFacts();

    const auto run = runPivotReport({"refresh", book.string()});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("B3:H13"), std::string::npos) << "the new area is told: " << run.err;

    const auto expected = expectedBySqlite(folder.path());
    ASSERT_GT(expected.size(), 30u);
    EXPECT_EQ(reportValues(book), expected);
    EXPECT_NE(std::find(expected.begin(), expected.end(), "Frozen|2025|5.00"), expected.end());
    // Every other part as stored; the sheet's cells outside the report as they were.
    sheettest::expectUnchangedBut(before, book, {kReportSheet, "customXml/item1.xml", "xl/workbook.xml"});
    const auto cellsAfter = pivottest::savedCells(book, kReportSheet);
    const Area report = *parseAddress("B3:H13");
    const auto outside = [&](const std::map<std::string, pivottest::SavedCell>& cells) {
        std::map<std::string, std::string> kept;
        for (const auto& [name, cell] : cells)
            if (!report.contains(*parseCellName(name)))
                kept[name] = cell.text + (cell.bold ? "|bold" : "");
        return kept;
    };
    EXPECT_EQ(outside(cellsAfter), outside(cellsBefore));
    // Refreshing again with nothing new leaves the sheet as it is.
    const auto refreshed = sheettest::readZip(book);
    ASSERT_EQ(runPivotReport({"refresh", book.string()}).status, 0);
    sheettest::expectUnchangedBut(refreshed, book, {"customXml/item1.xml"});
}

TEST_F(ReportRefresh, RefusalsNameTheProblemAndLeaveTheWorkbookAsItWas)
{
    struct Case {
        const char* what;
        std::function<void()> spoil;
        std::string named;
    };
    const std::vector<Case> cases = {
        {"growing over other content",
         [&] {
             auto app = createApplication();
             auto workbook = std::dynamic_pointer_cast<HostWorkbook>(app->Workbooks()->Open(book.string()));
             workbook->worksheet(workbook->worksheetModels().at(0))->cells().set({4, 8}, std::string("mine"), {});
             workbook->Save();
             addFacts();
         },
         "H4"},
        {"a cube file that is gone", [&] { fs::remove(source.cube); }, "Sales.cub"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        c.spoil();
        const std::string bytes = textOf(book);
        const auto run = runPivotReport({"refresh", book.string()});
        EXPECT_EQ(run.status, 1);
        EXPECT_NE(run.err.find(c.named), std::string::npos) << run.err;
        EXPECT_NE(run.err.find("Weekly.xlsx"), std::string::npos) << run.err;
        EXPECT_EQ(textOf(book), bytes);
    }
}

TEST_F(ReportRefresh, MembersNoLongerInTheCubeAreSkippedWithAWarning)
{
    auto app = createApplication();
    auto workbook = std::dynamic_pointer_cast<HostWorkbook>(app->Workbooks()->Open(book.string()));
    ReportDefinition report = workbook->reports().definitions(workbook->document()).at(0);
    report.rows.at(0).drilled.push_back("[Product].[Pet Food]");
    report.rows.at(0).hidden.push_back("[Product].[Toys]");
    workbook->reports().put(workbook->document(), report);
    const auto outcome = report::refreshReports(*workbook);
    ASSERT_EQ(outcome.warnings().size(), 1u);
    EXPECT_NE(outcome.warnings()[0].find("[Product].[Pet Food], [Product].[Toys]"), std::string::npos)
        << outcome.warnings()[0];
}

}  // namespace
