// The sequence of calls the wizard's build makes on the host, up to where
// the pivot engine takes over, run on real files: choose or add the target
// sheet, check it, add the hidden marker sheet, fit the columns, save.
#include "sheet/host/hostapplication.h"

#include "sheettestsupport.h"

using namespace sheet;
using namespace sheettest;

namespace {

// The layout step's sheet list: visible worksheets of the active workbook.
std::vector<std::string> sheetList(Application& app)
{
    std::vector<std::string> names{"New Sheet"};
    auto book = app.ActiveWorkbook();
    if (!book)
        return {"New Sheet", "Sheet1", "Sheet2", "Sheet3"};
    auto sheets = book->Worksheets();
    for (int32_t i = 1; i <= sheets->Count(); ++i) {
        if (sheets->Item(i)->Visible() == -1)
            names.push_back(sheets->Item(i)->Name());
    }
    return names;
}

// Picks the target as the build does: the named sheet, else a new one after
// the last worksheet (named as chosen unless "New Sheet" was chosen).
std::shared_ptr<Worksheet> targetSheet(Application& app, const std::string& chosen)
{
    auto book = app.ActiveWorkbook() ? app.ActiveWorkbook() : app.Workbooks()->Add();
    auto sheets = book->Worksheets();
    if (chosen != "New Sheet") {
        for (int32_t i = 1; i <= sheets->Count(); ++i) {
            if (sheets->Item(i)->Name() == chosen)
                return sheets->Item(i);
        }
    }
    auto sheet = sheets->Add(sheets->Item(sheets->Count()));
    if (chosen != "New Sheet")
        sheet->Name(chosen);
    return sheet;
}

void addMarker(Workbook& book, const std::shared_ptr<Worksheet>& target)
{
    auto sheets = book.Worksheets();
    for (int32_t i = 1; i <= sheets->Count(); ++i) {
        if (sheets->Item(i)->Name() == "Marker")
            return;
    }
    auto marker = sheets->Add(target);
    marker->Name("Marker");
    marker->Visible(kSheetVeryHidden);
}

class BuildSequence : public ::testing::Test {
protected:
    void SetUp() override
    {
        writeZip(file, fixtureParts());
        app->Workbooks()->Open(file.string());
    }

    TempFolder folder;
    std::filesystem::path file = folder / "Sales.xlsx";
    std::shared_ptr<Application> app = createApplication();
};

TEST(BuildSequenceWithoutWorkbook, TheSheetListOffersTheDefaultNames)
{
    auto app = createApplication();
    EXPECT_EQ(sheetList(*app), (std::vector<std::string>{"New Sheet", "Sheet1", "Sheet2", "Sheet3"}));
    auto sheet = targetSheet(*app, "New Sheet");
    EXPECT_EQ(sheet->Name(), "Sheet2");
    EXPECT_EQ(app->ActiveWorkbook()->Worksheets()->Count(), 2);
}

TEST_F(BuildSequence, TheSheetListShowsOnlyVisibleWorksheets)
{
    EXPECT_EQ(sheetList(*app), (std::vector<std::string>{"New Sheet", "Data", "Locked"}));
}

TEST_F(BuildSequence, AChosenNameNoSheetHasAddsASheetOfThatNameAfterTheLast)
{
    auto sheet = targetSheet(*app, "Summary");
    auto sheets = app->ActiveWorkbook()->Worksheets();
    EXPECT_EQ(sheets->Item(sheets->Count()), sheet);
    EXPECT_EQ(sheet->Name(), "Summary");
    EXPECT_FALSE(sheet->ProtectContents());
    EXPECT_EQ(sheet->PivotTables()->Count(), 0);
}

TEST_F(BuildSequence, AProtectedTargetIsReportedAsProtected)
{
    EXPECT_TRUE(targetSheet(*app, "Locked")->ProtectContents());
}

TEST_F(BuildSequence, TheMarkerSheetIsAddedVeryHiddenOnceAndTheTargetStaysActive)
{
    auto book = app->ActiveWorkbook();
    auto target = targetSheet(*app, "New Sheet");
    app->ScreenUpdating(false);
    auto start = target->Range("C5");
    target->Select();
    addMarker(*book, target);
    target->Columns()->AutoFit();
    addMarker(*book, target);
    target->Activate();
    app->ScreenUpdating(true);
    book->Save();

    auto reopened = createApplication()->Workbooks()->Open(file.string());
    std::vector<std::pair<std::string, int32_t>> sheets;
    for (const auto& sheet : *reopened->Worksheets())
        sheets.push_back({sheet->Name(), sheet->Visible()});
    EXPECT_EQ(sheets, (std::vector<std::pair<std::string, int32_t>>{
                          {"Data", -1}, {"Calc", 0}, {"Locked", -1}, {"Secret", 2}, {"Sheet1", -1}, {"Marker", 2}}));
    const auto book2 = readZip(file).at("xl/workbook.xml").data;
    EXPECT_NE(book2.find("activeTab=\"4\""), std::string::npos) << book2;
}

}  // namespace
