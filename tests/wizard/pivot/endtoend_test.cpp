// End to end: the host program's window, the real spreadsheet host and the
// sample store. The wizard is clicked through to Finish, the report saved,
// and the saved workbook read back by LibreOffice and the host, its values
// compared with sqlite3 over the CSV tables the cubes were built from.
#include "common/wizardtest.h"
#include "hostwindow.h"
#include "reportcheck.h"
#include "sheet/host/hostapplication.h"
#include "sheettestsupport.h"
#include "support/requiredprograms.h"
#include "widgets/nxcubeselectorctrl.h"
#include "widgets/nxdimeditctrl.h"

#include <cstdlib>
#include <memory>

namespace {

const std::filesystem::path kSamples = PIVOTWIZARD_SAMPLES;

// sqlite3's answer to `sql` over the sample store's source tables.
Grid sqlite(const std::string& sql)
{
    std::map<std::string, std::filesystem::path> tables;
    for (const char* name : {"sales", "stores", "months", "inventory"})
        tables[name] = kSamples / "source" / (std::string(name) + ".csv");
    return sqliteRows(tables, sql);
}

struct Layout {
    const char* sheet = "New Sheet";
    const char* column = "B";
    int row = 3;
    bool chart = false, rowGrand = true, columnGrand = true, rowSubtotals = true, columnSubtotals = true;
    int decimalPlaces = -1;  // -1: not set
};

// A member step's changes to the default selection of one dimension.
struct Members {
    bool columns;
    const char* dimension;
    Names check, uncheck;
};

class EndToEnd : public testing::Test {
protected:
    void SetUp() override { REQUIRE_PROGRAMS("soffice", "sqlite3"); }

    // The workbook the user opened, as another program saved it: visible,
    // hidden, very hidden and protected sheets, and charts.
    std::filesystem::path openUsersWorkbook()
    {
        const auto file = folder / "Review.xlsx";
        sheettest::writeZip(file, sheettest::fixtureParts());
        chartsBefore = chartParts(file);
        host->Workbooks()->Open(file.string());
        return file;
    }
    static size_t chartParts(const std::filesystem::path& file)
    {
        size_t charts = 0;
        for (const auto& [name, entry] : sheettest::readZip(file))
            charts += name.starts_with("xl/charts/chart") ? 1 : 0;
        return charts;
    }
    // Clicks through the host window's wizard to Finish, the way a user does.
    const HostWindow& run(const std::filesystem::path& output, int kind, const std::string& cube,
                          const std::array<QStringList, 3>& areas, const Names& measures,
                          const std::vector<Members>& members, const Layout& layout);
    // The Sales store cube: Store on the rows with the USA drilled to the
    // cities of CA and OR (WA, Canada and Mexico unchecked), the months of the
    // first `quarters` quarters of 2024 on the columns, Sales Amount.
    const HostWindow& runSales(const std::filesystem::path& output, const Layout& layout, int quarters)
    {
        const char* const months[] = {"January", "February", "March", "April", "May", "June", "July", "August",
                                      "September", "October", "November", "December"};
        Names time{"[Time].[2024]"};
        for (int m = 0; m < 3 * quarters; ++m) {
            const std::string quarter = "[Time].[2024].[Q" + std::to_string(m / 3 + 1) + "]";
            if (m % 3 == 0)
                time.push_back(quarter);
            time.push_back(quarter + ".[" + months[m] + "]");
        }
        const std::string usa = "[Store].[USA]";
        return run(output, kStoreCube, "Sales",
                   {QStringList{QStringLiteral("Product"), QStringLiteral("Customer")}, {QStringLiteral("Store")}, {QStringLiteral("Time")}},
                   {"[Measures].[Sales Amount]"},
                   {{false, "Store",
                     {usa + ".[CA]", usa + ".[OR]", usa + ".[CA].[Los Angeles]", usa + ".[CA].[San Francisco]",
                      usa + ".[CA].[San Diego]", usa + ".[OR].[Portland]", usa + ".[OR].[Salem]"},
                     {"[Store].[Canada]", "[Store].[Mexico]"}},
                    {true, "Time", time, {"[Time].[2022]", "[Time].[2023]"}}},
                   layout);
    }
    // The Inventory cube file: Beverages drilled to its products on the rows,
    // the warehouses of East and West on the columns (Central unchecked).
    const HostWindow& runInventory(const std::filesystem::path& output, const Layout& layout)
    {
        Names beverages;
        for (const auto& row : sqlite("SELECT DISTINCT product FROM inventory WHERE category = 'Beverages'"))
            beverages.push_back("[Product].[Beverages].[" + row.at(0) + "]");
        const std::string east = "[Warehouse].[East]", west = "[Warehouse].[West]";
        return run(output, kCubeFile, (kSamples / "store" / "NoTime.cub").string(),
                   {QStringList{}, {QStringLiteral("Product")}, {QStringLiteral("Warehouse")}}, {"[Measures].[Quantity On Hand]"},
                   {{false, "Product", beverages, {"[Product].[Food]", "[Product].[Household]", "[Product].[Personal Care]"}},
                    {true, "Warehouse", {east + ".[Newark]", east + ".[Richmond]", west + ".[Oakland]", west + ".[Tacoma]"},
                     {"[Warehouse].[Central]"}}},
                   layout);
    }
    // The report's sheet in the saved workbook, reopened: a very hidden marker
    // sheet, the report's sheet unprotected, and a new chart when one was
    // asked for. Its cells as LibreOffice shows them, kept when
    // PIVOTWIZARD_KEEP_REPORTS names a folder.
    Grid savedReport(const std::filesystem::path& file, bool chart, std::string sheet = {})
    {
        for (const auto& worksheet : *host->ActiveWorkbook()->Worksheets())
            if (sheet.empty() && worksheet->PivotTables()->Count() > 0)
                sheet = worksheet->Name();
        window.reset();
        const auto book = sheet::createApplication()->Workbooks()->Open(file.string());
        EXPECT_EQ(book->Worksheets()->Item("Brenn Pivot")->Visible(), sheet::kSheetVeryHidden);
        EXPECT_FALSE(book->Worksheets()->Item(sheet)->ProtectContents());
        EXPECT_EQ(chartParts(file) > chartsBefore, chart);
        if (const char* keep = std::getenv("PIVOTWIZARD_KEEP_REPORTS"))
            std::filesystem::copy_file(file, std::filesystem::path(keep) / file.filename(),
                                       std::filesystem::copy_options::overwrite_existing);
        return sheetAsShown(file, sheet, folder.path());
    }

    TempSettings settings;
    RecordingMessages messages;
    ScratchFolder folder;
    std::shared_ptr<sheet::Application> host = sheet::createApplication();
    std::unique_ptr<HostWindow> window;
    size_t chartsBefore = 0;
};

const HostWindow& EndToEnd::run(const std::filesystem::path& output, int kind, const std::string& cube,
                                const std::array<QStringList, 3>& areas, const Names& measures,
                                const std::vector<Members>& members, const Layout& layout)
{
    window = std::make_unique<HostWindow>(QString::fromStdString((kSamples / "store").string()), host);
    window->setOutputFile(QString::fromStdString(output.string()));
    window->show();
    window->begin();
    NxPivotWizardCtrl* wizard = window->wizard();
    auto next = [wizard] {
        const qint16 before = wizard->currentStep();
        findControl<QPushButton>(wizard, "butCommand", 1)->click();
        if (wizard->currentStep() == before)
            throw std::runtime_error("the wizard stayed on step " + std::to_string(before + 1));
    };
    if (wizard->currentStep() == 0)
        next();
    auto* selector = wizard->findChild<NxCubeSelectorCtrl*>(QStringLiteral("NxCubeSelectorCtrl1"));
    selector->setSelectorSourceType(kind);
    selector->setSelectorCubeName(QString::fromStdString(cube));
    next();
    for (int area = 1; area <= 3; ++area) {
        findControl<QListWidget>(wizard, "lstCubeDetails", area)->clear();
        findControl<QListWidget>(wizard, "lstCubeDetails", area)->addItems(areas[size_t(area - 1)]);
    }
    next();
    auto* measuresEditor = wizard->findChild<NxDimEditCtrl*>(QStringLiteral("NxDimEditMembers"));
    uncheckAll(measuresEditor);
    check(measuresEditor, measures);
    next();
    for (const bool columns : {false, true}) {
        auto* list = findControl<QListWidget>(wizard, "lstCubeOptions", columns ? 2 : 1);
        for (const Members& choice : members) {
            if (choice.columns != columns)
                continue;
            list->setCurrentItem(list->findItems(QString::fromLatin1(choice.dimension), Qt::MatchExactly).value(0));
            for (NxDimEditCtrl* editor : wizard->findChildren<NxDimEditCtrl*>(columns ? QStringLiteral("NxDimEditCols")
                                                                                      : QStringLiteral("NxDimEditRows"))) {
                if (attachedName(editor) == choice.dimension) {
                    check(editor, choice.uncheck, true);
                    check(editor, choice.check);
                }
            }
        }
        next();
    }
    auto* sheets = findControl<QComboBox>(wizard, "cboInsertSheet");
    sheets->setCurrentIndex(sheets->findText(QString::fromLatin1(layout.sheet)));
    findControl<QComboBox>(wizard, "cboAZ")->setCurrentText(QString::fromLatin1(layout.column));
    findControl<QLineEdit>(wizard, "fraText", 1)->setText(QString::number(layout.row));
    findControl<QCheckBox>(wizard, "chkDisplay", 1)->setChecked(layout.chart);
    findControl<QCheckBox>(wizard, "chkRowGrand")->setChecked(layout.rowGrand);
    findControl<QCheckBox>(wizard, "chkColumnsGrand")->setChecked(layout.columnGrand);
    findControl<QCheckBox>(wizard, "chkRowSubs")->setChecked(layout.rowSubtotals);
    findControl<QCheckBox>(wizard, "chkColumnSubs")->setChecked(layout.columnSubtotals);
    findControl<QCheckBox>(wizard, "chkDps")->setChecked(layout.decimalPlaces >= 0);
    findControl<QScrollBar>(wizard, "dpscrllbr")->setValue(-std::max(layout.decimalPlaces, 0));
    findControl<QPushButton>(wizard, "butCommand", 2)->click();
    return *window;
}

// Every value of the report's rows (cities, states, the USA, the grand
// total) in the month columns of the first `quarters` quarters of 2024, and
// in the grand total column when the report has one.
void expectSalesValues(const Grid& report, int quarters, bool totalColumn)
{
    const std::string facts = " FROM sales s JOIN stores t ON t.store_id = s.store_id JOIN months m ON m.month_id ="
                              " s.month_id WHERE m.year = '2024' AND t.state IN ('CA', 'OR') AND m.quarter <= 'Q"
                              + std::to_string(quarters) + "'";
    const std::pair<std::string, std::string> rows[] = {
        {"t.city", "t.city"}, {"t.state || ' Total'", "t.state"}, {"'USA Total'", "1"}, {"'Grand Total'", "1"}};
    std::string sql;
    for (const auto& [label, group] : rows)
        for (const std::string column : {"m.month", "'Grand Total'"})
            if (column == "m.month" || totalColumn)
                sql += (sql.empty() ? "SELECT " : " UNION ALL SELECT ") + label + ", " + column
                       + ", printf('%.2f', sum(s.sales_amount))" + facts + " GROUP BY " + group + ", " + column;
    const Grid expected = sqlite(sql);
    ASSERT_EQ(expected.size(), size_t(9 * (quarters * 3 + (totalColumn ? 1 : 0))));
    for (const auto& row : expected)
        EXPECT_EQ(reportValue(report, row.at(0), row.at(1)), row.at(2)) << row.at(0) << " in " << row.at(1);
}

void expectInventoryValues(const Grid& report)
{
    const Grid expected = sqlite("SELECT product, warehouse, sum(on_hand) FROM inventory WHERE category = 'Beverages' "
                                 "AND region IN ('East', 'West') GROUP BY product, warehouse");
    ASSERT_EQ(expected.size(), 12u * 4);
    for (const auto& row : expected)
        EXPECT_EQ(reportValue(report, row.at(0), row.at(1)), row.at(2)) << row.at(0) << " in " << row.at(1);
}

TEST_F(EndToEnd, AStoreCubeReportInANewWorkbook)
{
    const auto file = folder / "Sales Report.xlsx";
    Layout layout;
    layout.decimalPlaces = 2;
    layout.chart = true;
    const HostWindow& ended = runSales(file, layout, 1);
    ASSERT_TRUE(ended.result());
    ASSERT_EQ(ended.savedFile(), QString::fromStdString(file.string()));
    const Grid report = savedReport(file, true);
    expectSalesValues(report, 1, true);
    // Drilled members show their children; unchecked ones are hidden.
    for (const char* shown : {"Los Angeles", "January", "CA Total", "Q1 Total"})
        EXPECT_TRUE(hasLabel(report, shown)) << shown;
    for (const char* hidden : {"WA", "Seattle", "Canada", "Mexico", "2023", "Q2", "April"})
        EXPECT_FALSE(hasLabel(report, hidden)) << hidden;
}

// On a sheet of the user's workbook that holds the user's own cells, saved
// into the workbook's own file.
TEST_F(EndToEnd, AStoreCubeReportInTheUsersWorkbookLeavesItsOtherPartsByteForByte)
{
    const auto file = openUsersWorkbook();
    const auto before = sheettest::readZip(file);
    Layout layout;
    layout.sheet = "Data";
    layout.column = "H";
    layout.row = 20;
    layout.decimalPlaces = 2;
    layout.columnSubtotals = false;
    layout.rowGrand = false;
    ASSERT_EQ(runSales({}, layout, 4).savedFile(), QString::fromStdString(file.string()));
    const Grid report = savedReport(file, false, "Data");
    const auto after = sheettest::readZip(file);
    for (const char* part : {"xl/worksheets/sheet2.xml", "xl/worksheets/sheet3.xml", "xl/worksheets/sheet4.xml",
                             "xl/chartsheets/sheet1.xml", "xl/charts/chart1.xml", "xl/charts/chart2.xml",
                             "xl/drawings/drawing1.xml", "xl/drawings/drawing2.xml", "xl/sharedStrings.xml"}) {
        ASSERT_TRUE(after.count(part)) << part;
        EXPECT_EQ(after.at(part).data, before.at(part).data) << part;
    }
    expectSalesValues(report, 4, false);
    EXPECT_TRUE(hasLabel(report, "North")) << "the user's own cells on that sheet";
    // Row subtotals and the grand total row are on; column subtotals and the grand total column off.
    EXPECT_TRUE(hasLabel(report, "CA Total") && hasLabel(report, "Grand Total"));
    EXPECT_FALSE(hasLabel(report, "Q1 Total"));
    EXPECT_EQ(reportValue(report, "Los Angeles", "Grand Total"), "");
}

TEST_F(EndToEnd, ALocalCubeReportInANewWorkbook)
{
    const auto file = folder / "Inventory.xlsx";
    Layout layout;
    layout.chart = true;
    layout.decimalPlaces = 0;
    ASSERT_TRUE(runInventory(file, layout).result());
    const Grid report = savedReport(file, true);
    expectInventoryValues(report);
    EXPECT_TRUE(hasLabel(report, "Chai"));
    // Hidden members of a local cube go by the level names of the connection
    // model, which must be the table's level field names ("[Product].[Category]").
    for (const char* hidden : {"Food", "Almonds", "Central", "Denver"})
        EXPECT_FALSE(hasLabel(report, hidden)) << hidden;
}

}  // namespace
