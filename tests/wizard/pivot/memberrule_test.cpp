// The member editor's rule, end to end on the sample store's Sales cube: the
// members a user unchecks with the mouse on the row members step are not in
// the report, nor in its totals, whatever the state of the "all" member. The
// report's cells are those the host writes into the sheet; the totals are
// compared with what sqlite3 computes from the tables the cube was built from.
#include "common/wizardtest.h"
#include "samplesqlite.h"
#include "sheet/host/hostapplication.h"
#include "sheet/host/hostworksheet.h"
#include "sheet/xlsx/cellstore.h"
#include "support/requiredprograms.h"
#include "widgets/nxdimeditctrl.h"

#include <QTest>

#include <cmath>
#include <map>
#include <optional>

namespace {

// The Sales Amount of the products whose category (and subcategory, when
// `subcategories` is not empty) is listed, over the three years.
double salesOf(const std::string& categories, const std::string& subcategories = {})
{
    std::string sql =
        "SELECT round(sum(s.sales_amount), 2) FROM sales s JOIN products p ON p.product_id = s.product_id"
        " JOIN subcategories u ON u.subcategory_id = p.subcategory_id JOIN categories c ON c.category_id = u.category_id"
        " WHERE c.category IN (" + categories + ")";
    if (!subcategories.empty())
        sql += " AND (c.category <> 'Beverages' OR u.subcategory IN (" + subcategories + "))";
    return std::stod(sqliteOverSamples({"sales", "products", "subcategories", "categories"}, sql));
}

// The cells of the report's sheet: text labels and numbers by position.
struct ReportCells {
    std::map<sheet::CellRef, sheet::CellValue> cells;

    bool hasLabel(const std::string& label) const
    {
        for (const auto& [at, value] : cells)
            if (const auto* text = std::get_if<std::string>(&value); text && *text == label)
                return true;
        return false;
    }
    // The number at the end of the row labelled `label` (its grand total).
    std::optional<double> rowTotal(const std::string& label) const
    {
        std::optional<int32_t> row;
        for (const auto& [at, value] : cells)
            if (const auto* text = std::get_if<std::string>(&value); text && *text == label)
                row = at.row;
        if (!row)
            return std::nullopt;
        std::optional<double> last;
        for (const auto& [at, value] : cells)
            if (at.row == *row)
                if (const auto* number = std::get_if<double>(&value))
                    last = *number;
        return last;
    }
};

class MemberRule : public WizardTest {
protected:
    void SetUp() override
    {
        REQUIRE_PROGRAMS("sqlite3");
        for (const char* name : {"Sales.cub", "Sales.bwf"})
            std::filesystem::copy_file(std::filesystem::path(PIVOTWIZARD_SAMPLES) / "store" / name, folder / name);
        host->Workbooks()->Add();
        wizard.xlApp(host);
        wizard.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&wizard));
        // Product on the rows, Time on the columns; Sales Amount alone.
        openCube(kStoreCube, QStringLiteral("Sales"));
        ASSERT_TRUE(next());
        for (const char* measure : {"Units", "Cost", "Customers", "Profit", "Margin"})
            clickCheckBox(wizard.NxDimEditMembers, measure);
        ASSERT_TRUE(next());
    }

    // Finishes the wizard and reads the cells of the sheet the report went on.
    ReportCells finish()
    {
        click(2);
        // Each report goes on a new sheet after the last.
        sheet::HostWorksheet* last = nullptr;
        for (const auto& worksheet : *host->ActiveWorkbook()->Worksheets())
            if (worksheet->PivotTables()->Count() > 0)
                last = dynamic_cast<sheet::HostWorksheet*>(worksheet.get());
        ReportCells report;
        if (!last)
            return report;
        last->updatePivotTables();
        for (const auto& [at, entry] : last->cells().cells())
            report.cells[at] = entry.value;
        return report;
    }

    std::shared_ptr<sheet::Application> host = sheet::createApplication();
};

TEST_F(MemberRule, AnUncheckedMemberIsNeitherInTheReportNorInItsTotals)
{
    const std::string all = "'Beverages', 'Food', 'Household', 'Personal Care'";
    const struct {
        const char* what;
        Names clicks;  // check boxes clicked in turn, from the default (the four categories checked)
        std::vector<const char*> hidden, shown;
        std::string categories, subcategories = {};  // what the grand total adds up
    } cases[] = {
        {"all member unchecked, Household unchecked", {"Household"}, {"Household"}, {"Beverages", "Food"},
         "'Beverages', 'Food', 'Personal Care'"},
        {"all member checked, Food unchecked", {"All Products", "Food"}, {"Food"}, {"Beverages", "Household"},
         "'Beverages', 'Household', 'Personal Care'"},
        {"Beverages opened on Coffee and Tea", {"Coffee", "Tea"}, {"Juice", "Bakery"}, {"Coffee", "Tea", "Food"}, all,
         "'Coffee', 'Tea'"},
        {"nothing unchecked", {}, {}, {"Beverages", "Household"}, all},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        NxDimEditCtrl* product = wizard.editorOf(1, QStringLiteral("Product"));
        ASSERT_NE(product, nullptr);
        for (const std::string& name : c.clicks)
            clickCheckBox(product, name);
        ASSERT_TRUE(next());
        ASSERT_TRUE(next());
        const ReportCells report = finish();
        for (const char* label : c.hidden)
            EXPECT_FALSE(report.hasLabel(label)) << label;
        for (const char* label : c.shown)
            EXPECT_TRUE(report.hasLabel(label)) << label;
        ASSERT_TRUE(report.rowTotal("Grand Total"));
        EXPECT_NEAR(*report.rowTotal("Grand Total"), salesOf(c.categories, c.subcategories), 0.005);
        // Back to the row members step, the clicks undone, for the next case.
        click(0);
        click(0);
        for (auto name = c.clicks.rbegin(); name != c.clicks.rend(); ++name)
            clickCheckBox(product, *name);
    }
    EXPECT_TRUE(messages.shown().empty()) << messages.shown().front().text.toStdString();
}

}  // namespace
