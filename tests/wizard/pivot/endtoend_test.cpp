// End to end: the host program's window, the real spreadsheet host and the
// sample store. The wizard is clicked through to Finish, the report saved,
// and the saved workbook read back by the host and by LibreOffice, its values
// compared with what sqlite3 computes from the CSV tables the cubes were
// built from. How the window saves a report is hostwindow_test.cpp's.
#include "samplesqlite.h"
#include "wizardwalk.h"
#include "sheet/host/hostapplication.h"
#include "sheettestsupport.h"
#include "support/requiredprograms.h"

#include <QDir>

#include <sstream>
#include <utility>

namespace {

const std::filesystem::path kSamples = PIVOTWIZARD_SAMPLES;
using Grid = sheettest::CsvGrid;
using sheettest::csvGrid;
using sheettest::reportValue;

// sqlite3's answer to `sql` over the sample store's source tables.
Grid sqlite(const std::string& sql) { return csvGrid(sqliteOverSamples({"sales", "stores", "months", "inventory"}, sql)); }

bool hasLabel(const Grid& cells, const std::string& label)
{
    for (const auto& row : cells)
        if (std::find(row.begin(), row.end(), label) != row.end())
            return true;
    return false;
}

// Every sqlite3 row (row label, column heading, value) is in the report.
void expectValues(const Grid& report, const std::string& sql, size_t count)
{
    const Grid expected = sqlite(sql);
    ASSERT_EQ(expected.size(), count);
    for (const auto& row : expected)
        EXPECT_EQ(reportValue(report, row.at(0), row.at(1)), row.at(2)) << row.at(0) << " in " << row.at(1);
}

class EndToEnd : public testing::Test {
protected:
    void SetUp() override { REQUIRE_PROGRAMS("soffice", "sqlite3"); }

    // The report's sheet in the saved workbook, reopened: a very hidden marker
    // sheet, the report's sheet unprotected, and one chart more than before.
    // Its cells as LibreOffice shows them.
    Grid savedReport(const std::filesystem::path& file, size_t chartsBefore)
    {
        std::string sheet;
        for (const auto& worksheet : *host->ActiveWorkbook()->Worksheets())
            if (worksheet->PivotTables()->Count() > 0)
                sheet = worksheet->Name();
        window.reset();
        const auto book = sheet::createApplication()->Workbooks()->Open(file.string());
        EXPECT_EQ(book->Worksheets()->Item("Brenn Pivot")->Visible(), sheet::kSheetVeryHidden);
        EXPECT_FALSE(book->Worksheets()->Item(sheet)->ProtectContents());
        EXPECT_EQ(chartParts(file), chartsBefore + 1);
        const std::filesystem::path out = folder / "csv";
        std::filesystem::create_directories(out);
        EXPECT_EQ(sheettest::convertToCsv(testsupport::programPath("soffice"), file, out, folder / "profile"), 0)
            << textOf(out / "soffice.log");
        return csvGrid(textOf(out / (file.stem().string() + "-" + sheet + ".csv")));
    }
    static size_t chartParts(const std::filesystem::path& file)
    {
        const auto parts = sheettest::readZip(file);
        return size_t(std::count_if(parts.begin(), parts.end(),
                                    [](const auto& part) { return part.first.starts_with("xl/charts/chart"); }));
    }

    TempSettings settings;
    RecordingMessages messages;
    ScratchFolder folder;
    std::shared_ptr<sheet::Application> host = sheet::createApplication();
    std::unique_ptr<HostWindow> window;
};

// The Sales store cube on the sheet Data of the user's workbook, which holds
// the user's own cells, saved into the workbook's own file: Store on the rows
// with the USA drilled to the cities of CA and OR (WA, Canada and Mexico
// unchecked), the months of 2024 on the columns, Sales Amount.
TEST_F(EndToEnd, AStoreCubeReportInTheUsersWorkbookLeavesItsOtherPartsByteForByte)
{
    const auto file = folder / "Review.xlsx";
    sheettest::writeZip(file, sheettest::fixtureParts());
    const auto before = sheettest::readZip(file);
    const size_t charts = chartParts(file);
    host->Workbooks()->Open(file.string());
    const char* const months[] = {"January", "February", "March", "April", "May", "June", "July", "August",
                                  "September", "October", "November", "December"};
    Names time{"[Time].[2024]"};
    for (int m = 0; m < 12; ++m) {
        const std::string quarter = "[Time].[2024].[Q" + std::to_string(m / 3 + 1) + "]";
        if (m % 3 == 0)
            time.push_back(quarter);
        time.push_back(quarter + ".[" + months[m] + "]");
    }
    const std::string usa = "[Store].[USA]";
    const Layout layout{"Data", "H", 20, false, true, false, 2};
    ASSERT_TRUE(finishWizard(window, host, {}, kStoreCube, "Sales",
                    {QStringList{QStringLiteral("Product"), QStringLiteral("Customer")}, {QStringLiteral("Store")},
                     {QStringLiteral("Time")}},
                    {"[Measures].[Sales Amount]"},
                    {{{"Store",
                      {usa + ".[CA]", usa + ".[OR]", usa + ".[CA].[Los Angeles]", usa + ".[CA].[San Francisco]",
                       usa + ".[CA].[San Diego]", usa + ".[OR].[Portland]", usa + ".[OR].[Salem]"},
                      {"[Store].[Canada]", "[Store].[Mexico]"}},
                     {"Time", time, {"[Time].[2022]", "[Time].[2023]"}}}},
                    layout));
    ASSERT_EQ(window->savedFile(), QString::fromStdString(file.string()));
    const Grid report = savedReport(file, charts);
    // The parts of the other sheets, and those the report's sheet shares (its drawing takes the new chart).
    const auto after = sheettest::readZip(file);
    for (const char* part : {"xl/worksheets/sheet2.xml", "xl/worksheets/sheet3.xml", "xl/worksheets/sheet4.xml",
                             "xl/chartsheets/sheet1.xml", "xl/charts/chart1.xml", "xl/charts/chart2.xml",
                             "xl/drawings/drawing2.xml", "xl/sharedStrings.xml"}) {
        ASSERT_TRUE(after.count(part)) << part;
        EXPECT_EQ(after.at(part).data, before.at(part).data) << part;
    }
    // Cities, states, the USA and the grand total row in every month column.
    std::string sql;
    for (const auto& [label, group] : {std::pair{"t.city", "t.city"}, {"t.state || ' Total'", "t.state"},
                                       {"'USA Total'", "1"}, {"'Grand Total'", "1"}})
        sql += std::string(sql.empty() ? "SELECT " : " UNION ALL SELECT ") + label
               + ", m.month, printf('%.2f', sum(s.sales_amount)) FROM sales s JOIN stores t ON t.store_id = s.store_id"
                 " JOIN months m ON m.month_id = s.month_id WHERE m.year = '2024' AND t.state IN ('CA', 'OR')"
                 " GROUP BY " + group + ", m.month";
    expectValues(report, sql, 9 * 12);
    EXPECT_TRUE(hasLabel(report, "North")) << "the user's own cells on that sheet";
    // Drilled members show their children; unchecked ones are hidden. Row
    // subtotals and the grand total row are on; column subtotals and the
    // grand total column off.
    for (const char* shown : {"Los Angeles", "January", "CA Total", "Grand Total"})
        EXPECT_TRUE(hasLabel(report, shown)) << shown;
    for (const char* hidden : {"WA", "Seattle", "Canada", "Mexico", "2023", "Q1 Total"})
        EXPECT_FALSE(hasLabel(report, hidden)) << hidden;
    EXPECT_EQ(reportValue(report, "Los Angeles", "Grand Total"), "");
}

// The Inventory cube file in a new workbook: Beverages drilled to its
// products on the rows, the warehouses of East and West on the columns
// (Central unchecked).
TEST_F(EndToEnd, ALocalCubeReportInANewWorkbook)
{
    const auto file = folder / "Inventory.xlsx";
    Names beverages;
    for (const auto& row : sqlite("SELECT DISTINCT product FROM inventory WHERE category = 'Beverages'"))
        beverages.push_back("[Product].[Beverages].[" + row.at(0) + "]");
    const std::string east = "[Warehouse].[East]", west = "[Warehouse].[West]";
    ASSERT_TRUE(finishWizard(window, host, file, kCubeFile, (kSamples / "store" / "NoTime.cub").string(),
                    {QStringList{}, {QStringLiteral("Product")}, {QStringLiteral("Warehouse")}},
                    {"[Measures].[Quantity On Hand]"},
                    {{{"Product", beverages, {"[Product].[Food]", "[Product].[Household]", "[Product].[Personal Care]"}},
                      {"Warehouse", {east + ".[Newark]", east + ".[Richmond]", west + ".[Oakland]", west + ".[Tacoma]"},
                       {"[Warehouse].[Central]"}}}},
                    Layout{}));
    ASSERT_EQ(window->savedFile(), QString::fromStdString(file.string()));
    const Grid report = savedReport(file, 0);
    expectValues(report,
                 "SELECT product, warehouse, sum(on_hand) FROM inventory WHERE category = 'Beverages' AND region IN "
                 "('East', 'West') GROUP BY product, warehouse",
                 12 * 4);
    EXPECT_NE(reportValue(report, "Chai", "Grand Total"), "");
    // Hidden members of a local cube go by the level names of the connection
    // model, which must be the table's level field names ("[Product].[Category]").
    for (const char* hidden : {"Food", "Almonds", "Central", "Denver"})
        EXPECT_FALSE(hasLabel(report, hidden)) << hidden;
}

}  // namespace
