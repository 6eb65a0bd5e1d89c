// End to end: a pivot report added to a workbook another program saved, as
// the wizard builds it, then opened by LibreOffice, which reads the report's
// labels and formatted values.
#include "pivottestsupport.h"
#include "support/requiredprograms.h"

#include "sheet/constants.h"
#include "sheet/cubefield.h"
#include "sheet/host/hostapplication.h"
#include "sheet/pivotfield.h"

#include <pugixml.hpp>

#include <cstdlib>

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
    ASSERT_EQ(convertToCsv(testsupport::programPath("soffice"), file, out, folder / "profile"), 0) << fileBytes(out / "soffice.log");
    EXPECT_EQ(fileBytes(out / "Sales-Report.csv"),
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
}

// The look LibreOffice reads from a shaded report, cell by cell, as its own
// flat document keeps it: the style of the cell showing `text`.
class ShadedLook {
public:
    explicit ShadedLook(const std::filesystem::path& fods)
    {
        EXPECT_TRUE(mDocument.load_file(fods.c_str())) << fods;
    }
    // The attribute `name` (fo:background-color, fo:color, fo:border-top,
    // fo:font-weight) of the cell style of the last cell showing `text`
    // (the row grand total's label comes after the column's); "" when the
    // style does not set it.
    std::string of(const std::string& text, const std::string& name) const
    {
        const auto cells = mDocument.select_nodes(("//table:table-cell[text:p='" + text + "']").c_str());
        EXPECT_FALSE(cells.empty()) << text;
        const auto cell = cells.empty() ? pugi::xml_node() : cells[cells.size() - 1].node();
        std::map<std::string, std::string> look;
        const std::string styleName = cell.attribute("table:style-name").value();
        const auto style = mDocument.select_node(("//style:style[@style:name='" + styleName + "']").c_str()).node();
        for (const char* part : {"style:table-cell-properties", "style:text-properties"})
            for (const auto& attribute : style.child(part).attributes())
                look[attribute.name()] = attribute.value();
        return look.count(name) ? look.at(name) : "";
    }

private:
    pugi::xml_document mDocument;
};

TEST(PivotReportEndToEnd, LibreOfficeShowsTheShadedLookWhiteHeadingsOnABandAndShadedTotals)
{
    REQUIRE_PROGRAMS("soffice");
    ScratchFolder folder;
    const auto cube = folder / "shop.cub";
    writeShopCube(cube);
    ShopTable shop = makeShopTable(cube, "B2");
    shop.table->Format(kTableFormatShaded);
    shop.place("[Time]", kRowField);
    shop.place("[Product]", kColumnField);
    shop.place("[Measures].[Sales]", kDataField);
    const auto file = folder / "Shaded.xlsx";
    shop.book->SaveAs(file.string());

    ASSERT_EQ(std::system(("soffice -env:UserInstallation=file://" + (folder / "profile").string()
                           + " --headless --norestore --convert-to fods --outdir '" + folder.path().string() + "' '"
                           + file.string() + "' > '" + (folder / "soffice.log").string() + "' 2>&1")
                              .c_str()),
              0)
        << fileBytes(folder / "soffice.log");
    const ShadedLook look(folder / "Shaded.fods");
    EXPECT_EQ(look.of("Year", "fo:background-color"), "#1f4e78") << "the headings on a dark band";
    EXPECT_EQ(look.of("Year", "fo:color"), "#ffffff");
    EXPECT_EQ(look.of("Grand Total", "fo:background-color"), "#bdd7ee");
    EXPECT_EQ(look.of("Grand Total", "fo:font-weight"), "bold");
    EXPECT_EQ(look.of("2023", "fo:background-color"), "") << "items stay plain";
    const std::string heavy = look.of("Grand Total", "fo:border-top");
    const std::string thin = look.of("2023", "fo:border-top") + look.of("2023", "fo:border");
    EXPECT_NE(heavy, "") << "the grand total's line";
    EXPECT_NE(heavy, thin) << "heavier than the items' line";
}

}  // namespace
