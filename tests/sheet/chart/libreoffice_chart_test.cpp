// End to end: LibreOffice prints the chart of a report as the wizard builds
// it, with two measures of very different size and two dozen series: the
// title names the measures, every legend line and category label shows
// whole, and the smaller measure goes on a second value axis.
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

}  // namespace
