// End to end: a pivot report added to a workbook another program saved, as
// the wizard builds it, then opened by LibreOffice, which reads the report's
// labels and formatted values and the user's sheets as they were.
#include "pivottestsupport.h"
#include "support/requiredprograms.h"

#include "sheet/constants.h"
#include "sheet/cubefield.h"
#include "sheet/host/hostapplication.h"
#include "sheet/pivotfield.h"

using namespace sheet;
using namespace pivottest;
using namespace sheettest;

namespace {

TEST(PivotReportEndToEnd, AReportSheetAddedToAnExistingWorkbookReadsBackInLibreOffice)
{
    ScratchFolder folder;
    const auto cube = folder / "shop.cub";
    const auto file = folder / "Sales.xlsx";
    writeShopCube(cube);
    writeZip(file, fixtureParts());

    auto app = createApplication();
    auto book = app->Workbooks()->Open(file.string());
    auto sheets = book->Worksheets();
    auto report = sheets->Add(sheets->Item(sheets->Count()));
    report->Name("Report");
    auto table = shopCache(*book, cube)->CreatePivotTable(report->Range("B2"), "Table Shop");
    table->Format(kTableFormat13);
    table->CubeFields()->Item("[Product]")->Orientation(kPageField);
    table->CubeFields()->Item("[Time]")->Orientation(kRowField);
    VariantArray drilled = VariantArray::twoDimensional(1, 1);
    drilled(0, 0) = "[Time].[2023]";
    table->CubeFields()->Item("[Time]")->TreeviewControl()->Drilled(drilled);
    table->ManualUpdate(true);
    table->CubeFields()->Item("[Measures].[Sales]")->Orientation(kDataField);
    table->CubeFields()->Item("[Measures].[Units]")->Orientation(kDataField);
    table->ManualUpdate(false);
    for (const auto& field : *table->DataFields())
        field->NumberFormat("0.00");
    report->Columns()->AutoFit();
    report->Activate();
    book->Save();

    REQUIRE_PROGRAMS("soffice");
    const auto out = folder / "csv";
    std::filesystem::create_directory(out);
    ASSERT_EQ(convertToCsv(testsupport::programPath("soffice"), file, out, folder / "profile"), 0) << textOf(out / "soffice.log");
    EXPECT_EQ(textOf(out / "Sales-Report.csv"),
              ",,,,\n"
              ",Product,(All),,\n"
              ",,,,\n"
              ",Values,,,\n"
              ",Year,Quarter,Sales,Units\n"
              ",2023,Q1,15.00,3.00\n"
              ",,Q2,7.50,3.00\n"
              ",2023 Total,,22.50,6.00\n"
              ",2024,,21.25,9.00\n"
              ",Grand Total,,43.75,15.00\n");
    // The user's sheets as they were, their formats and formulas.
    EXPECT_EQ(textOf(out / "Sales-Data.csv"), "Region,Amount\nNorth,10.0\nSouth,32.0\nTotal,42.0\n");
    EXPECT_EQ(textOf(out / "Sales-Calc.csv"), "84\n");
    EXPECT_EQ(textOf(out / "Sales-Locked.csv"), "Do not touch,7\n");
}

}  // namespace
