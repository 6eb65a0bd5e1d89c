// The values of a pivot table over the sample store's Sales cube against an
// independent computation: sqlite3 grouping the tables the cube was built
// from. Needs the sqlite3 program.
#include "pivottestsupport.h"
#include "support/requiredprograms.h"
#include "support/sqlitescript.h"

#include "sheet/constants.h"
#include "sheet/cubefield.h"
#include "sheet/host/hostapplication.h"

#include <algorithm>
#include <cstdio>

using namespace sheet;
using namespace pivottest;

namespace {

const std::filesystem::path kSource = PIVOTWIZARD_SAMPLE_SOURCE;

std::string twoDecimals(const std::string& stored)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.2f", std::stod(stored));
    return text;
}

TEST(PivotAgainstSqlite, SalesByCategorySubcategoryAndYearMatchToTheCent)
{
    REQUIRE_PROGRAMS("sqlite3");
    ScratchFolder folder;
    // The sums grouped by category, subcategory and year, by category and
    // year, by year, and over everything: "key|key|year|sum".
    auto expected = sqliteScriptLines(R"(.mode list
.import --csv sales.csv sales
.import --csv products.csv products
.import --csv subcategories.csv subcategories
.import --csv categories.csv categories
.import --csv months.csv months
CREATE VIEW f AS SELECT c.category, s.subcategory, m.year, CAST(x.sales_amount AS REAL) AS amount
  FROM sales x JOIN products p USING (product_id) JOIN subcategories s USING (subcategory_id)
  JOIN categories c USING (category_id) JOIN months m USING (month_id);
SELECT category, subcategory, year, printf('%.2f', SUM(amount)) FROM f GROUP BY 1, 2, 3;
SELECT category, 'Total', year, printf('%.2f', SUM(amount)) FROM f GROUP BY 1, 3;
SELECT category, subcategory, 'Grand Total', printf('%.2f', SUM(amount)) FROM f GROUP BY 1, 2;
SELECT category, 'Total', 'Grand Total', printf('%.2f', SUM(amount)) FROM f GROUP BY 1;
SELECT 'Grand Total', '', year, printf('%.2f', SUM(amount)) FROM f GROUP BY 3;
SELECT 'Grand Total', '', 'Grand Total', printf('%.2f', SUM(amount)) FROM f;
)",
                                      kSource, folder.path());
    ASSERT_GT(expected.size(), 40u);
    std::sort(expected.begin(), expected.end());

    auto app = createApplication();
    auto book = app->Workbooks()->Add();
    auto table = sampleSalesTable(*book, "B2");
    table->CubeFields()->Item("[Product]")->Orientation(kRowField);
    table->CubeFields()->Item("[Time]")->Orientation(kColumnField);
    table->CubeFields()->Item("[Measures].[Sales Amount]")->Orientation(kDataField);
    auto categories = VariantArray::twoDimensional(1, 4);
    const char* names[] = {"Beverages", "Food", "Household", "Personal Care"};
    for (size_t i = 0; i < 4; ++i)
        categories(0, i) = std::string("[Product].[") + names[i] + "]";
    table->CubeFields()->Item("[Product]")->TreeviewControl()->Drilled(categories);
    book->SaveAs((folder / "sales.xlsx").string());

    // Read the report back: years in row 3 from column D; categories in B
    // (on the first line of their group), subcategories in C.
    const auto cells = savedCells(folder / "sales.xlsx", "xl/worksheets/sheet1.xml");
    std::vector<std::string> actual;
    std::string category;
    for (int row = 4; cells.count("B" + std::to_string(row)) || cells.count("C" + std::to_string(row)); ++row) {
        const std::string r = std::to_string(row);
        if (cells.count("B" + r))
            category = cells.at("B" + r).text;
        std::string first = category, second = cells.count("C" + r) ? cells.at("C" + r).text : "";
        if (first == "Grand Total")
            second.clear();
        else if (first.ends_with(" Total"))
            first = first.substr(0, first.size() - 6), second = "Total";
        for (char column = 'D'; cells.count(column + std::string("3")); ++column) {
            if (cells.count(column + r))
                actual.push_back(first + "|" + second + "|" + cells.at(column + std::string("3")).text + "|"
                                 + twoDecimals(cells.at(column + r).text));
        }
    }
    std::sort(actual.begin(), actual.end());
    EXPECT_EQ(actual, expected);
}

}  // namespace
