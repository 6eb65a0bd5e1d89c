// End to end: LibreOffice opens a workbook with the host's charts (one
// embedded beside its table, one on a chart sheet) and prints it; the test
// reads the printed text and looks for the columns' colours in the pages.
// Then the chart of a report as the wizard builds it, with two measures of
// very different size and two dozen series: the title names the measures,
// every legend line and category label shows whole, and the smaller
// measure goes on a second value axis (as lines beside the larger one's
// columns).
#include "sheet/xlsx/cellstore.h"
#include "sheet/host/hostworksheet.h"

#include "charttestsupport.h"
#include "support/requiredprograms.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <fstream>

using namespace sheet;
using namespace charttest;
using sheettest::fileBytes;

namespace {

// The table's cells as a pivot table would draw them, the table itself, a
// chart beside it and a chart sheet.
void produceWorkbook(const std::filesystem::path& file)
{
    auto app = chartApplication();
    auto book = app->Workbooks()->Add();
    auto sheet = std::dynamic_pointer_cast<HostWorksheet>(book->Worksheets()->Item(1));
    auto& cells = sheet->cells();
    const std::vector<std::vector<CellValue>> rows = {{std::string("Region"), std::string("2023"), std::string("2024")},
                                                      {std::string("North"), 10.0, 15.0},
                                                      {std::string("South"), 32.0, 20.0},
                                                      {std::string("East"), CellValue(), 25.0}};
    for (size_t r = 0; r < rows.size(); ++r) {
        for (size_t c = 0; c < rows[r].size(); ++c)
            cells.setValue({static_cast<int32_t>(r) + 2, static_cast<int32_t>(c) + 2}, rows[r][c]);
    }
    placeTable(sheet, "B2:D5");
    sheet->Range("B2")->Select();
    app->Charts()->Add()->Location(kLocationAsObject, sheet->Name());
    sheet->Range("B2")->Select();
    app->Charts()->Add();
    book->SaveAs(file.string());
}

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
        << fileBytes(log);
    return folder / (file.stem().string() + ".pdf");
}

// The pages of `pdf` as binary PPM images at `resolution` dots per inch.
std::vector<std::filesystem::path> pageImages(const ScratchFolder& folder, const std::filesystem::path& pdf,
                                              int resolution)
{
    EXPECT_EQ(run("pdftoppm -r " + std::to_string(resolution) + " '" + pdf.string() + "' '"
                      + (folder / "page").string() + "'",
                  folder / "pdftoppm.log"),
              0);
    std::vector<std::filesystem::path> pages;
    for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
        if (entry.path().extension() == ".ppm")
            pages.push_back(entry.path());
    }
    return pages;
}

// How many pixels of the colour `rgb` the binary PPM images `pages` hold.
size_t pixelsOf(const std::vector<std::filesystem::path>& pages, uint32_t rgb)
{
    size_t count = 0;
    for (const auto& page : pages) {
        std::ifstream in(page, std::ios::binary);
        std::string magic;
        int width = 0, height = 0, maximum = 0;
        in >> magic >> width >> height >> maximum;
        in.get();
        std::string pixels(static_cast<size_t>(width) * static_cast<size_t>(height) * 3, '\0');
        in.read(pixels.data(), static_cast<std::streamsize>(pixels.size()));
        for (size_t i = 0; i + 2 < pixels.size(); i += 3) {
            const auto byte = [&](size_t at) { return uint32_t(static_cast<unsigned char>(pixels[at])); };
            count += (byte(i) << 16 | byte(i + 1) << 8 | byte(i + 2)) == rgb;
        }
    }
    return count;
}

// The text pdftotext reads from `pdf`, lines joined by spaces (a label may
// wrap), with runs of blanks made one.
std::string printedText(const ScratchFolder& folder, const std::filesystem::path& pdf)
{
    EXPECT_EQ(run("pdftotext '" + pdf.string() + "' '" + (folder / "printed.txt").string() + "'", folder / "t.log"), 0);
    std::string text;
    for (char c : fileBytes(folder / "printed.txt")) {
        const char blank = std::isspace(static_cast<unsigned char>(c)) ? ' ' : c;
        if (!(blank == ' ' && !text.empty() && text.back() == ' '))
            text += blank;
    }
    return text;
}

TEST(LibreOfficeCharts, ShowsTheChartsColumnsLabelsAndLegend)
{
    REQUIRE_PROGRAMS("soffice", "pdftotext", "pdftoppm");
    ScratchFolder folder;
    const auto file = folder / "Charts.xlsx";
    produceWorkbook(file);
    const auto pdf = printed(folder, file);
    ASSERT_TRUE(std::filesystem::exists(pdf)) << fileBytes(folder / "soffice.log");
    const std::string text = printedText(folder, pdf);
    // The title, the categories and the legend of the charts.
    for (const char* shown : {"Amount", "North", "South", "East", "2023", "2024"})
        EXPECT_NE(text.find(shown), std::string::npos) << shown << " is not shown:\n" << text;

    const auto pages = pageImages(folder, pdf, 30);
    // Columns of both series, in each series' own colour, on both charts.
    EXPECT_GT(pixelsOf(pages, 0x4472C4), 1000u);
    EXPECT_GT(pixelsOf(pages, 0xED7D31), 1000u);
}

TEST(LibreOfficeCharts, AReportsChartNamesItsMeasuresShowsEveryLabelWholeAndTheSmallMeasureBesideTheLarge)
{
    REQUIRE_PROGRAMS("soffice", "pdftotext", "pdftoppm");
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
