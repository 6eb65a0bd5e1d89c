// End to end, spreadsheet programs of other makers read a report's chart as
// the wizard builds it. LibreOffice prints it, with two measures of very
// different size and two dozen series: the title names the measures, every
// legend line and category label shows whole, and the smaller measure goes
// on a second value axis. Gnumeric's ssconvert reads it without refusing any
// of it, its series on the report's cells.
#include "charttestsupport.h"
#include "support/requiredprograms.h"

#include <algorithm>
#include <cctype>

using namespace charttest;

namespace {

// Prints `file` to a PDF in `folder` with LibreOffice, each sheet on one
// page; the PDF's path.
std::filesystem::path printed(const ScratchFolder& folder, const std::filesystem::path& file)
{
    const auto log = folder / "soffice.log";
    const std::string filter = "pdf:calc_pdf_Export:{\"SinglePageSheets\":{\"type\":\"boolean\",\"value\":\"true\"}}";
    EXPECT_EQ(run("soffice -env:UserInstallation=file://" + (folder / "profile").string()
                      + " --headless --norestore --convert-to '" + filter + "' --outdir '" + folder.path().string()
                      + "' '" + file.string() + "'",
                  log),
              0)
        << textOf(log);
    return folder / (file.stem().string() + ".pdf");
}

// The text pdftotext reads from `pdf`, lines joined by spaces (a label may
// wrap), with runs of blanks made one.
std::string printedText(const ScratchFolder& folder, const std::filesystem::path& pdf)
{
    EXPECT_EQ(run("pdftotext '" + pdf.string() + "' '" + (folder / "printed.txt").string() + "'", folder / "t.log"), 0);
    std::string text;
    for (char c : textOf(folder / "printed.txt")) {
        const char blank = std::isspace(static_cast<unsigned char>(c)) ? ' ' : c;
        if (!(blank == ' ' && !text.empty() && text.back() == ' '))
            text += blank;
    }
    return text;
}

TEST(LibreOfficeCharts, AReportsChartNamesItsMeasuresShowsEveryLabelWholeAndTheSmallMeasureBesideTheLarge)
{
    REQUIRE_PROGRAMS("soffice", "pdftotext");
    ScratchFolder folder;
    const auto file = folder / "Sales Report.xlsx";
    std::vector<std::string> series, categories;
    saveSalesReportWithChart(file, series, categories);
    ASSERT_EQ(series.size(), 24u);  // 12 quarters, 2 measures
    const auto pdf = printed(folder, file);
    const std::string text = printedText(folder, pdf);
    EXPECT_NE(text.find("Sales Amount and Units"), std::string::npos) << text;
    for (const auto& name : series)
        EXPECT_NE(text.find(name), std::string::npos) << "legend line cut or left out: " << name << "\n" << text;
    for (const auto& label : categories)
        EXPECT_NE(text.find(label), std::string::npos) << "category label cut or left out: " << label;
    // As LibreOffice keeps the chart in its own format: the Units series on
    // a second value axis, the Sales Amount series on the first, every one
    // on the report's cells.
    ASSERT_EQ(run("soffice -env:UserInstallation=file://" + (folder / "profile").string()
                      + " --headless --norestore --convert-to ods --outdir '" + folder.path().string() + "' '"
                      + file.string() + "'",
                  folder / "ods.log"),
              0);
    const auto ods = sheettest::readZip(folder / "Sales Report.ods");
    ASSERT_TRUE(ods.count("Object 1/content.xml"));
    const auto chart = parseXml(ods.at("Object 1/content.xml").data);
    std::vector<std::string> axes, ranges;
    for (const auto& hit : chart->select_nodes("//chart:series")) {
        axes.push_back(hit.node().attribute("chart:attached-axis").value());
        ranges.push_back(hit.node().attribute("chart:values-cell-range-address").value());
    }
    EXPECT_EQ(std::count(axes.begin(), axes.end(), "primary-y"), 12);
    EXPECT_EQ(std::count(axes.begin(), axes.end(), "secondary-y"), 12);
    for (const auto& range : ranges)
        EXPECT_TRUE(range.starts_with("Report.")) << range;
}

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
