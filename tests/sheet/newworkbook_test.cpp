// Workbooks the host makes from nothing: what their first save writes.
#include "sheet/xlsx/cellstore.h"
#include "sheet/host/hostapplication.h"
#include "sheet/host/hostworksheet.h"

#include "sheettestsupport.h"

#include <pugixml.hpp>

using namespace sheet;
using namespace sheettest;

namespace {

TEST(NewWorkbooks, SaveAsAPackageOfWellFormedPartsThatReopens)
{
    TempFolder folder;
    auto app = createApplication();
    auto book = app->Workbooks()->Add();
    book->SaveAs((folder / "New.xlsx").string());
    EXPECT_EQ(book->Name(), "New.xlsx");

    const auto entries = readZip(folder / "New.xlsx");
    std::vector<std::string> names;
    for (const auto& [name, entry] : entries) {
        names.push_back(name);
        pugi::xml_document document;
        EXPECT_TRUE(document.load_string(entry.data.c_str())) << name;
    }
    EXPECT_EQ(names, (std::vector<std::string>{"[Content_Types].xml", "_rels/.rels", "xl/_rels/workbook.xml.rels",
                                               "xl/styles.xml", "xl/workbook.xml", "xl/worksheets/sheet1.xml"}));
    auto reopened = createApplication()->Workbooks()->Open((folder / "New.xlsx").string());
    ASSERT_EQ(reopened->Worksheets()->Count(), 1);
    EXPECT_EQ(reopened->Worksheets()->Item(1)->Name(), "Sheet1");
}

TEST(NewWorkbooks, KeepWhatWasWrittenIntoThemAcrossSaves)
{
    TempFolder folder;
    auto app = createApplication();
    auto book = app->Workbooks()->Add();
    auto sheet = std::dynamic_pointer_cast<HostWorksheet>(book->Worksheets()->Item(1));
    sheet->cells().setValue({1, 1}, std::string("Hello"));
    book->SaveAs((folder / "New.xlsx").string());
    book->Worksheets()->Add(sheet)->Name("Second");
    book->Save();
    const auto entries = readZip(folder / "New.xlsx");
    EXPECT_NE(entries.at("xl/worksheets/sheet1.xml").data.find("<t>Hello</t>"), std::string::npos);
    EXPECT_TRUE(entries.count("xl/worksheets/sheet2.xml"));
    EXPECT_NE(entries.at("xl/workbook.xml").data.find("<sheet name=\"Second\" sheetId=\"2\""), std::string::npos);
}

}  // namespace
