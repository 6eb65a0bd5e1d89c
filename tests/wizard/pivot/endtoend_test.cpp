// End to end: the host program's window, the real spreadsheet host and the
// sample store. The wizard is clicked through to Finish, the report saved,
// and the saved workbook read back by LibreOffice and the host, its values
// compared with sqlite3 over the CSV tables the cubes were built from.
#include "reportcheck.h"
#include "sheet/host/hostapplication.h"
#include "sheettestsupport.h"
#include "support/recordingmessages.h"
#include "support/scratchfolder.h"
#include "support/tempsettings.h"
#include "wizardrun.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace pivottest;

namespace {

const std::filesystem::path kSamples = PIVOTWIZARD_SAMPLES;

std::map<std::string, std::filesystem::path> sourceTables(std::initializer_list<const char*> names)
{
    std::map<std::string, std::filesystem::path> tables;
    for (const char* name : names)
        tables[name] = kSamples / "source" / (std::string(name) + ".csv");
    return tables;
}

class EndToEnd : public testing::Test {
protected:
    // The workbook the user opened: one as another program saved it, with
    // visible, hidden, very hidden and protected sheets and charts.
    std::filesystem::path openUsersWorkbook()
    {
        const auto file = folder / "Review.xlsx";
        sheettest::writeZip(file, sheettest::fixtureParts());
        for (const auto& [name, bytes] : sheettest::readZip(file))
            chartsBefore += name.rfind("xl/charts/chart", 0) == 0 ? 1 : 0;
        host->Workbooks()->Open(file.string());
        return file;
    }

    // The name of the sheet that holds the report in the active workbook.
    std::string reportSheet()
    {
        for (const auto& sheet : *host->ActiveWorkbook()->Worksheets())
            if (sheet->PivotTables()->Count() > 0)
                return sheet->Name();
        return {};
    }

    // The report as LibreOffice shows it, kept beside the build when
    // PIVOTWIZARD_KEEP_REPORTS names a folder.
    ReportTable shown(const std::filesystem::path& file, const std::string& sheet)
    {
        if (const char* keep = std::getenv("PIVOTWIZARD_KEEP_REPORTS"))
            std::filesystem::copy_file(file, std::filesystem::path(keep) / file.filename(),
                                       std::filesystem::copy_options::overwrite_existing);
        const std::optional<Grid> grid = sheetAsShown(file, sheet, folder.path());
        if (!grid)
            return ReportTable({});
        return ReportTable(*grid);
    }

    // The saved workbook, reopened: its marker sheet is very hidden and the
    // report sheet holds an embedded chart when one was asked for.
    void expectMarkedWorkbook(const std::filesystem::path& file, const std::string& sheet, bool chart)
    {
        const auto book = sheet::createApplication()->Workbooks()->Open(file.string());
        EXPECT_EQ(book->Worksheets()->Item("Brenn Pivot")->Visible(), sheet::kSheetVeryHidden);
        EXPECT_FALSE(book->Worksheets()->Item(sheet)->ProtectContents());
        size_t charts = 0;
        for (const auto& [name, bytes] : sheettest::readZip(file))
            charts += name.rfind("xl/charts/chart", 0) == 0 ? 1 : 0;
        EXPECT_EQ(charts > chartsBefore, chart);
    }

    TempSettings settings;
    RecordingMessages messages;
    ScratchFolder folder;
    std::shared_ptr<sheet::Application> host = sheet::createApplication();
    size_t chartsBefore = 0;
};

// The Sales store cube: Store on the rows with the USA drilled to the cities
// of CA and OR (WA, Canada and Mexico unchecked), months of 2024 on the
// columns (the first quarter's, or all), Sales Amount with two decimals.
void buildSalesReport(WizardRun& run, const WizardRun::Layout& layout, int quarters)
{
    const char* const months[] = {"January", "February", "March",     "April",   "May",      "June",
                                  "July",    "August",   "September", "October", "November", "December"};
    WizardRun::Names time{"[Time].[2024]"};
    for (int q = 0; q < quarters; ++q) {
        const std::string quarter = "[Time].[2024].[Q" + std::to_string(q + 1) + "]";
        time.push_back(quarter);
        for (int m = 0; m < 3; ++m)
            time.push_back(quarter + ".[" + months[q * 3 + m] + "]");
    }
    run.chooseStoreCube("Sales");
    run.arrange({"Product", "Customer"}, {"Store"}, {"Time"});
    run.chooseMeasures({"[Measures].[Sales Amount]"});
    run.chooseMembers(false, {{"Store",
                               {"[Store].[USA].[CA]", "[Store].[USA].[OR]", "[Store].[USA].[CA].[Los Angeles]",
                                "[Store].[USA].[CA].[San Francisco]", "[Store].[USA].[CA].[San Diego]",
                                "[Store].[USA].[OR].[Portland]", "[Store].[USA].[OR].[Salem]"},
                               {"[Store].[Canada]", "[Store].[Mexico]"}}});
    run.chooseMembers(true, {{"Time", time, {"[Time].[2022]", "[Time].[2023]"}}});
    run.finish(layout);
}

// Every value of the report's rows (cities, states, the USA, the grand
// total) in the month columns of the first `quarters` quarters of 2024, and
// in the grand total column when the report has one.
void expectSalesValues(const ReportTable& report, int quarters, bool totalColumn)
{
    const std::string facts = " FROM sales s JOIN stores t ON t.store_id = s.store_id JOIN months m ON m.month_id ="
                              " s.month_id WHERE m.year = '2024' AND t.state IN ('CA', 'OR') AND m.quarter <= 'Q"
                              + std::to_string(quarters) + "'";
    const std::pair<std::string, std::string> rows[] = {
        {"t.city", "t.city"}, {"t.state || ' Total'", "t.state"}, {"'USA Total'", "1"}, {"'Grand Total'", "1"}};
    std::string sql;
    for (const auto& [label, group] : rows) {
        for (const std::string column : {"m.month", "'Grand Total'"}) {
            if (column != "m.month" && !totalColumn)
                continue;
            sql += (sql.empty() ? "SELECT " : " UNION ALL SELECT ") + label + ", " + column
                   + ", printf('%.2f', sum(s.sales_amount))" + facts + " GROUP BY " + group + ", " + column;
        }
    }
    const Grid expected = sqliteRows(sourceTables({"sales", "stores", "months"}), sql);
    ASSERT_EQ(expected.size(), size_t(9 * (quarters * 3 + (totalColumn ? 1 : 0))));
    for (const auto& row : expected)
        EXPECT_EQ(report.value(row.at(0), row.at(1)), row.at(2)) << row.at(0) << " in " << row.at(1);
}

TEST_F(EndToEnd, AStoreCubeReportInANewWorkbook)
{
    const auto file = folder / "Sales Report.xlsx";
    WizardRun run(kSamples / "store", host, file);
    WizardRun::Layout layout;
    layout.decimalPlaces = 2;
    layout.chart = true;
    buildSalesReport(run, layout, 1);
    ASSERT_TRUE(run.window().result());
    ASSERT_EQ(run.window().savedFile(), QString::fromStdString(file.string()));
    const std::string sheet = reportSheet();
    expectMarkedWorkbook(file, sheet, true);

    const ReportTable report = shown(file, sheet);
    if (report.cells().empty())
        GTEST_SKIP() << "LibreOffice (soffice) is not installed";
    expectSalesValues(report, 1, true);
    // Drilled members show their children; unchecked ones are hidden.
    EXPECT_TRUE(report.hasLabel("Los Angeles"));
    EXPECT_TRUE(report.hasLabel("January"));
    for (const char* hidden : {"WA", "Seattle", "Canada", "Mexico", "2023", "Q2", "April"})
        EXPECT_FALSE(report.hasLabel(hidden)) << hidden;
    EXPECT_TRUE(report.hasLabel("CA Total"));
    EXPECT_TRUE(report.hasLabel("Q1 Total"));
}

TEST_F(EndToEnd, AStoreCubeReportInTheUsersWorkbookLeavesItsOtherSheetsAsTheyWere)
{
    const auto file = openUsersWorkbook();
    const auto before = sheettest::readZip(file);
    {
        WizardRun run(kSamples / "store", host, {});
        WizardRun::Layout layout;
        layout.decimalPlaces = 2;
        layout.columnSubtotals = false;
        layout.rowGrand = false;
        buildSalesReport(run, layout, 4);
        ASSERT_EQ(run.window().savedFile(), QString::fromStdString(file.string()));
    }
    const std::string sheet = reportSheet();
    expectMarkedWorkbook(file, sheet, false);
    const auto after = sheettest::readZip(file);
    for (const char* part : {"xl/worksheets/sheet2.xml", "xl/worksheets/sheet3.xml", "xl/worksheets/sheet4.xml",
                             "xl/chartsheets/sheet1.xml", "xl/charts/chart1.xml", "xl/charts/chart2.xml",
                             "xl/drawings/drawing1.xml", "xl/drawings/drawing2.xml", "xl/sharedStrings.xml"}) {
        ASSERT_TRUE(after.count(part)) << part;
        EXPECT_EQ(after.at(part).data, before.at(part).data) << part;
    }

    const ReportTable report = shown(file, sheet);
    if (report.cells().empty())
        GTEST_SKIP() << "LibreOffice (soffice) is not installed";
    expectSalesValues(report, 4, false);
    // Row subtotals and the grand total row are on; column subtotals and the
    // grand total column are off.
    EXPECT_TRUE(report.hasLabel("CA Total"));
    EXPECT_TRUE(report.hasLabel("Grand Total"));
    EXPECT_FALSE(report.hasLabel("Q1 Total"));
    EXPECT_EQ(report.value("Los Angeles", "Grand Total"), "");
}

// The Inventory cube file: Beverages drilled to its products on the rows,
// the warehouses of East and West on the columns (Central unchecked).
void buildInventoryReport(WizardRun& run, const WizardRun::Layout& layout)
{
    run.chooseLocalCube(kSamples / "store" / "NoTime.cub");
    run.arrange({}, {"Product"}, {"Warehouse"});
    run.chooseMeasures({"[Measures].[Quantity On Hand]"});
    WizardRun::Names beverages;
    for (const auto& row : sqliteRows(sourceTables({"inventory"}),
                                      "SELECT DISTINCT product FROM inventory WHERE category = 'Beverages'"))
        beverages.push_back("[Product].[Beverages].[" + row.at(0) + "]");
    run.chooseMembers(false, {{"Product", beverages, {"[Product].[Food]", "[Product].[Household]", "[Product].[Personal Care]"}}});
    run.chooseMembers(true, {{"Warehouse",
                              {"[Warehouse].[East].[Newark]", "[Warehouse].[East].[Richmond]",
                               "[Warehouse].[West].[Oakland]", "[Warehouse].[West].[Tacoma]"},
                              {"[Warehouse].[Central]"}}});
    run.finish(layout);
}

void expectInventoryValues(const ReportTable& report)
{
    const Grid expected = sqliteRows(sourceTables({"inventory"}),
                                     "SELECT product, warehouse, sum(on_hand) FROM inventory WHERE category = "
                                     "'Beverages' AND region IN ('East', 'West') GROUP BY product, warehouse");
    ASSERT_EQ(expected.size(), 12u * 4);
    for (const auto& row : expected)
        EXPECT_EQ(report.value(row.at(0), row.at(1)), row.at(2)) << row.at(0) << " in " << row.at(1);
}

TEST_F(EndToEnd, ALocalCubeReportInANewWorkbook)
{
    const auto file = folder / "Inventory.xlsx";
    WizardRun run(kSamples / "store", host, file);
    WizardRun::Layout layout;
    layout.chart = true;
    layout.decimalPlaces = 0;
    buildInventoryReport(run, layout);
    ASSERT_TRUE(run.window().result());
    const std::string sheet = reportSheet();
    expectMarkedWorkbook(file, sheet, true);

    const ReportTable report = shown(file, sheet);
    if (report.cells().empty())
        GTEST_SKIP() << "LibreOffice (soffice) is not installed";
    expectInventoryValues(report);
    EXPECT_TRUE(report.hasLabel("Chai"));
    // Hidden members of a local cube go by the level names of the connection
    // model, which must be the table's level field names ("[Product].[Category]").
    for (const char* hidden : {"Food", "Almonds", "Central", "Denver"})
        EXPECT_FALSE(report.hasLabel(hidden)) << hidden;
}

TEST_F(EndToEnd, ALocalCubeReportInTheUsersWorkbookOnASheetItNames)
{
    const auto file = openUsersWorkbook();
    const std::string before = sheettest::fileBytes(file);
    {
        WizardRun run(kSamples / "store", host, folder / "Copy.xlsx");
        WizardRun::Layout layout;
        layout.sheet = "Data";
        layout.column = "H";
        layout.row = 20;
        buildInventoryReport(run, layout);
        ASSERT_TRUE(run.window().result());
    }
    // Saved as another file: the opened one is untouched.
    EXPECT_EQ(sheettest::fileBytes(file), before);
    expectMarkedWorkbook(folder / "Copy.xlsx", "Data", false);
    const ReportTable report = shown(folder / "Copy.xlsx", "Data");
    if (report.cells().empty())
        GTEST_SKIP() << "LibreOffice (soffice) is not installed";
    expectInventoryValues(report);
    // The user's own cells on that sheet are still there.
    EXPECT_TRUE(report.hasLabel("North"));
}

}  // namespace
