// Workbooks the host makes from nothing: what their first save writes.
#include "sheet/xlsx/cellstore.h"
#include "sheet/host/hostapplication.h"
#include "sheet/host/hostworksheet.h"

#include "sheettestsupport.h"

#include <pugixml.hpp>

using namespace sheet;
using namespace sheettest;

namespace {

TEST(NewWorkbooks, SaveAsAPackageOfWellFormedPartsThatKeepsWhatWasWrittenAcrossSavesAndReopens)
{
    ScratchFolder folder;
    auto app = createApplication();
    auto book = app->Workbooks()->Add();
    auto sheet = std::dynamic_pointer_cast<HostWorksheet>(book->Worksheets()->Item(1));
    sheet->cells().setValue({1, 1}, std::string("Hello"));
    book->SaveAs((folder / "New.xlsx").string());
    EXPECT_EQ(book->Name(), "New.xlsx");
    std::vector<std::string> names;
    for (const auto& [name, entry] : readZip(folder / "New.xlsx")) {
        names.push_back(name);
        pugi::xml_document document;
        EXPECT_TRUE(document.load_string(entry.data.c_str())) << name;
    }
    EXPECT_EQ(names, (std::vector<std::string>{"[Content_Types].xml", "_rels/.rels", "xl/_rels/workbook.xml.rels",
                                               "xl/styles.xml", "xl/workbook.xml", "xl/worksheets/sheet1.xml"}));
    book->Worksheets()->Add(sheet)->Name("Second");
    book->Save();
    EXPECT_NE(readZip(folder / "New.xlsx").at("xl/worksheets/sheet1.xml").data.find("<t>Hello</t>"), std::string::npos);
    auto other = createApplication();
    auto reopened = other->Workbooks()->Open((folder / "New.xlsx").string());
    std::vector<std::string> sheets;
    for (const auto& one : *reopened->Worksheets())
        sheets.push_back(one->Name());
    EXPECT_EQ(sheets, (std::vector<std::string>{"Sheet1", "Second"}));
}

}  // namespace
