// End to end: Gnumeric's ssconvert, a spreadsheet program of another maker,
// reads a report's chart without refusing any of it, and its series follow
// the report's cells.
#include "charttestsupport.h"
#include "support/requiredprograms.h"

using namespace charttest;

namespace {

TEST(GnumericCharts, ReadsAReportsChartWithItsSeriesOnTheReportsCells)
{
    REQUIRE_PROGRAMS("ssconvert", "gzip");
    ScratchFolder folder;
    const auto file = folder / "Sales Report.xlsx";
    std::vector<std::string> series, categories;
    saveSalesReportWithChart(file, series, categories);
    const auto log = folder / "ssconvert.log";
    ASSERT_EQ(run("ssconvert '" + file.string() + "' '" + (folder / "report.gnumeric").string() + "'", log), 0)
        << textOf(log);
    // ssconvert says what it does not understand, and keeps going.
    EXPECT_EQ(textOf(log), "");
    ASSERT_EQ(run("gzip -dc '" + (folder / "report.gnumeric").string() + "'", folder / "report.xml"), 0);
    const auto document = parseXml(textOf(folder / "report.xml"));
    std::vector<std::string> names, values;
    for (const auto& hit : document->select_nodes("//*[local-name()='GogObject'][@role='Series']")) {
        for (auto dimension : hit.node().child("data").children()) {
            const std::string id = dimension.attribute("id").value();
            (id == "-1" ? names : values).push_back(dimension.text().get());
        }
    }
    ASSERT_EQ(names.size(), series.size());
    EXPECT_EQ(names.front(), "\"" + series.front() + "\"");
    // Categories and values of the first series, on the sheet's cells: the
    // states of the USA between its rows and its total, then the countries.
    EXPECT_EQ(values.at(0), "Report!$C$7:$C$9,Report!$B$11:$B$12");
    EXPECT_EQ(values.at(1), "Report!$D$7:$D$9,Report!$D$11:$D$12");
}

}  // namespace
