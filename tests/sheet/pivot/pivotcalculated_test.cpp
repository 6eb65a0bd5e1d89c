// A report of the sample store's calculated Margin ("0.0%"), saved and read
// back by LibreOffice as it shows the cells: every percentage, subtotals and
// grand totals included, equals sqlite3's margin of the sums over the CSV
// tables the cube was built from (a total's margin is the margin of the
// totals, not a sum of margins).
#include "pivottestsupport.h"
#include "sheettestsupport.h"
#include "support/requiredprograms.h"
#include "support/sqlitescript.h"

#include "sheet/constants.h"
#include "sheet/cubefield.h"
#include "sheet/host/hostapplication.h"

#include <sstream>

using namespace sheet;
using namespace pivottest;

namespace {

const std::filesystem::path kSource = PIVOTWIZARD_SAMPLE_SOURCE;

using sheettest::CsvGrid;
using sheettest::reportValue;

TEST(CalculatedMeasureReport, LibreOfficeShowsTheMarginsOfTheSumsAsPercentages)
{
    REQUIRE_PROGRAMS("sqlite3", "soffice");
    ScratchFolder folder;
    const auto expected = sqliteScriptLines(R"(.mode list
.import --csv sales.csv sales
.import --csv stores.csv stores
.import --csv months.csv months
CREATE VIEW f AS SELECT t.country, m.year, CAST(x.sales_amount AS REAL) AS a, CAST(x.cost AS REAL) AS c
  FROM sales x JOIN stores t USING (store_id) JOIN months m USING (month_id);
SELECT country, year, printf('%.1f%%', 100 * (SUM(a) - SUM(c)) / SUM(a)) FROM f GROUP BY 1, 2;
SELECT country, 'Grand Total', printf('%.1f%%', 100 * (SUM(a) - SUM(c)) / SUM(a)) FROM f GROUP BY 1;
SELECT 'Grand Total', year, printf('%.1f%%', 100 * (SUM(a) - SUM(c)) / SUM(a)) FROM f GROUP BY 2;
SELECT 'Grand Total', 'Grand Total', printf('%.1f%%', 100 * (SUM(a) - SUM(c)) / SUM(a)) FROM f;
)",
                                            kSource, folder.path());
    ASSERT_GT(expected.size(), 8u);

    auto app = createApplication();
    auto book = app->Workbooks()->Add();
    auto table = sampleSalesTable(*book, "B2");
    table->CubeFields()->Item("[Store]")->Orientation(kRowField);
    table->CubeFields()->Item("[Time]")->Orientation(kColumnField);
    table->CubeFields()->Item("[Measures].[Margin]")->Orientation(kDataField);
    book->SaveAs((folder / "margin.xlsx").string());
    const std::string sheetName = book->Worksheets()->Item(1)->Name();
    book.reset();

    const std::filesystem::path out = folder / "csv";
    std::filesystem::create_directories(out);
    ASSERT_EQ(sheettest::convertToCsv(testsupport::programPath("soffice"), folder / "margin.xlsx", out, folder / "profile"), 0)
        << sheettest::fileBytes(out / "soffice.log");
    const CsvGrid report = sheettest::csvGrid(sheettest::fileBytes(out / ("margin-" + sheetName + ".csv")));
    for (const std::string& line : expected) {
        std::vector<std::string> parts;
        std::istringstream fields(line);
        for (std::string part; std::getline(fields, part, '|');)
            parts.push_back(part);
        ASSERT_EQ(parts.size(), 3u) << line;
        EXPECT_EQ(reportValue(report, parts[0], parts[1]), parts[2]) << parts[0] << " in " << parts[1];
    }
}

}  // namespace
