// End to end: LibreOffice opens a workbook with the host's charts (one
// embedded beside its table, one on a chart sheet) and prints it; the test
// reads the printed text and looks for the columns' colours in the pages.
#include "sheet/xlsx/cellstore.h"
#include "sheet/host/hostworksheet.h"

#include "charttestsupport.h"
#include "support/requiredprograms.h"

#include <cstdlib>
#include <fstream>

using namespace sheet;
using namespace charttest;
using sheettest::fileBytes;

namespace {

int run(const std::string& command, const std::filesystem::path& log)
{
    return std::system((command + " > '" + log.string() + "' 2>&1").c_str());
}

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
            const uint32_t pixel = static_cast<uint32_t>(static_cast<unsigned char>(pixels[i])) << 16
                                   | static_cast<uint32_t>(static_cast<unsigned char>(pixels[i + 1])) << 8
                                   | static_cast<unsigned char>(pixels[i + 2]);
            count += pixel == rgb;
        }
    }
    return count;
}

TEST(LibreOfficeCharts, ShowsTheChartsColumnsLabelsAndLegend)
{
    REQUIRE_PROGRAMS("soffice", "pdftotext", "pdftoppm");
    ScratchFolder folder;
    const auto file = folder / "Charts.xlsx";
    produceWorkbook(file);

    const auto log = folder / "tools.log";
    ASSERT_EQ(run("soffice -env:UserInstallation=file://" + (folder / "profile").string()
                      + " --headless --norestore --convert-to pdf --outdir '" + folder.path().string() + "' '"
                      + file.string() + "'",
                  log),
              0)
        << fileBytes(log);
    const auto pdf = folder / "Charts.pdf";
    ASSERT_TRUE(std::filesystem::exists(pdf)) << fileBytes(log);

    ASSERT_EQ(run("pdftotext '" + pdf.string() + "' '" + (folder / "Charts.txt").string() + "'", log), 0);
    const std::string text = fileBytes(folder / "Charts.txt");
    // The title, the categories and the legend of the charts.
    for (const char* shown : {"Amount", "North", "South", "East", "2023", "2024"})
        EXPECT_NE(text.find(shown), std::string::npos) << shown << " is not shown:\n" << text;

    ASSERT_EQ(run("pdftoppm -r 30 '" + pdf.string() + "' '" + (folder / "page").string() + "'", log), 0);
    std::vector<std::filesystem::path> pages;
    for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
        if (entry.path().extension() == ".ppm")
            pages.push_back(entry.path());
    }
    // Columns of both series, in each series' own colour, on both charts.
    EXPECT_GT(pixelsOf(pages, 0x4472C4), 1000u);
    EXPECT_GT(pixelsOf(pages, 0xED7D31), 1000u);
}

}  // namespace
