// End to end: a workbook the host produced is opened by LibreOffice, which
// converts every sheet to CSV; the test reads back what LibreOffice saw.
#include "sheet/xlsx/cellstore.h"
#include "sheet/host/hostapplication.h"
#include "sheet/host/hostworksheet.h"

#include "sheettestsupport.h"
#include "support/requiredprograms.h"

using namespace sheet;
using namespace sheettest;

namespace {

// Opens the fixture at `file`, adds a formatted report after Data and a very
// hidden marker sheet, and saves.
void produceWorkbook(const std::filesystem::path& file)
{
    writeZip(file, fixtureParts());
    auto app = createApplication();
    auto book = app->Workbooks()->Open(file.string());
    auto report = std::dynamic_pointer_cast<HostWorksheet>(book->Worksheets()->Add(book->Worksheets()->Item(1)));
    report->Name("Report");
    auto& cells = report->cells();
    const CellFormat heading{.bold = true, .border = true, .numberFormat = ""};
    const CellFormat amount{.bold = false, .border = true, .numberFormat = "#,##0.00"};
    cells.set({3, 3}, std::string("Region"), heading);
    cells.set({3, 4}, std::string("Amount"), heading);
    cells.set({4, 3}, std::string("North, upper"), {});
    cells.set({4, 4}, 1234.5, amount);
    cells.set({5, 3}, std::string("South"), {});
    cells.set({5, 4}, 32.0, amount);
    report->Columns()->AutoFit();
    auto marker = book->Worksheets()->Add(report);
    marker->Name("Marker");
    marker->Visible(kSheetVeryHidden);
    report->Activate();
    book->Save();
}

TEST(LibreOffice, ReadsTheSheetsAndCellsOfAWorkbookTheHostSaved)
{
    REQUIRE_PROGRAMS("soffice");
    ScratchFolder folder;
    const auto file = folder / "Sales.xlsx";
    produceWorkbook(file);

    const auto out = folder / "csv";
    std::filesystem::create_directory(out);
    ASSERT_EQ(convertToCsv(testsupport::programPath("soffice"), file, out, folder / "profile"), 0) << fileBytes(out / "soffice.log");
    ASSERT_TRUE(std::filesystem::exists(out / "Sales-Report.csv")) << fileBytes(out / "soffice.log");
    EXPECT_EQ(fileBytes(out / "Sales-Report.csv"), ",,,\n,,,\n,,Region,Amount\n,,\"North, upper\",\"1,234.50\"\n"
                                                   ",,South,32.00\n");
    EXPECT_EQ(fileBytes(out / "Sales-Data.csv"), "Region,Amount\nNorth,10.0\nSouth,32.0\nTotal,42.0\n");
    EXPECT_EQ(fileBytes(out / "Sales-Calc.csv"), "84\n");
    EXPECT_EQ(fileBytes(out / "Sales-Locked.csv"), "Do not touch,7\n");
    EXPECT_TRUE(std::filesystem::exists(out / "Sales-Marker.csv"));
}

}  // namespace
