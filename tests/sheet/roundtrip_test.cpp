// Saving a workbook the user made elsewhere: the host adds and changes what
// it was asked to, and every other part comes back byte for byte. A save
// either completes or leaves the file on disk as it was: a part that cannot
// be made, a process killed in the middle of writing, or a target that
// cannot be written must never cost the user their workbook.
#include "sheet/xlsx/cellstore.h"
#include "sheet/host/hostapplication.h"
#include "sheet/host/hostworkbook.h"
#include "sheet/host/hostworksheet.h"
#include "sheet/xlsx/workbookdocument.h"
#include "platform/core/failure.h"

#include "sheettestsupport.h"
#include "support/children.h"

#include <set>

#include <signal.h>

using namespace sheet;
using namespace sheettest;

namespace {

class RoundTrips : public ::testing::Test {
protected:
    void SetUp() override
    {
        writeZip(file, fixtureParts());
        before = readZip(file);
        original = textOf(file);
        workbook = app->Workbooks()->Open(file.string());
    }

    CellStore& cellsOf(const std::shared_ptr<Worksheet>& sheet)
    {
        return std::dynamic_pointer_cast<HostWorksheet>(sheet)->cells();
    }

    // Adds "Report" after Data and writes a small table into it.
    std::shared_ptr<Worksheet> addReport()
    {
        auto report = workbook->Worksheets()->Add(workbook->Worksheets()->Item("Data"));
        report->Name("Report");
        auto& cells = cellsOf(report);
        cells.set({1, 1}, std::string("Region"), CellFormat{.bold = true, .border = true, .numberFormat = ""});
        cells.setValue({2, 1}, std::string("North"));
        cells.set({2, 2}, 10.25, CellFormat{.bold = false, .border = false, .numberFormat = "#,##0.000"});
        return report;
    }

    void expectUnchangedBut(const std::set<std::string>& changed) { sheettest::expectUnchangedBut(before, file, changed); }

    std::string savedPart(const std::string& name) { return readZip(file).at(name).data; }
    WorkbookDocument& document() { return std::dynamic_pointer_cast<HostWorkbook>(workbook)->document(); }

    ScratchFolder folder;
    std::filesystem::path file = folder / "Sales.xlsx";
    std::map<std::string, StoredEntry> before;
    std::string original;
    std::shared_ptr<Application> app = createApplication();
    std::shared_ptr<Workbook> workbook;
};

// A renamed sheet's name is escaped in the workbook part and reads back as given.
TEST_F(RoundTrips, ASecondSaveMergesIntoWhatTheFirstWroteAndTheFileReopensWithEverySheet)
{
    auto report = addReport();
    workbook->Save();
    workbook->Worksheets()->Item("Locked")->Name("Q1 & <Q2");
    workbook->Worksheets()->Item("Q1 & <Q2")->Visible(kSheetVeryHidden);
    cellsOf(report).setValue({3, 1}, std::string("South"));
    workbook->Save();
    const auto sheet = savedPart("xl/worksheets/sheet5.xml");
    EXPECT_NE(sheet.find("<t>North</t>"), std::string::npos) << sheet;
    EXPECT_NE(sheet.find("<c r=\"A3\" t=\"inlineStr\"><is><t>South</t></is></c>"), std::string::npos) << sheet;
    workbook->Close();
    auto reopened = app->Workbooks()->Open(file.string());
    std::vector<std::pair<std::string, int32_t>> sheets;
    for (const auto& sheet : *reopened->Worksheets())
        sheets.push_back({sheet->Name(), sheet->Visible()});
    EXPECT_EQ(sheets, (std::vector<std::pair<std::string, int32_t>>{
                          {"Data", -1}, {"Report", -1}, {"Calc", 0}, {"Q1 & <Q2", 2}, {"Secret", 2}}));
    EXPECT_TRUE(reopened->Worksheets()->Item("Q1 & <Q2")->ProtectContents());
}

// The new sheet is written and registered, sheet-local names and the active
// tab follow their sheets, the sheet that loses the highlighted tab changes
// by that mark alone, and every other part stays byte for byte.
TEST_F(RoundTrips, TheNewSheetIsWrittenAndRegisteredAndOnlyTheTabMarkMovesElsewhere)
{
    addReport();
    workbook->Save();
    const std::pair<const char*, std::string> holds[] = {
        {"xl/worksheets/sheet5.xml", "<c r=\"A1\" s=\"3\" t=\"inlineStr\"><is><t>Region</t></is></c>"},
        {"xl/worksheets/sheet5.xml", "<c r=\"B2\" s=\"4\"><v>10.25</v></c>"},
        {"xl/worksheets/sheet5.xml", "<sheetView tabSelected=\"1\" workbookViewId=\"0\"/>"},
        {"xl/worksheets/sheet5.xml", "<dimension ref=\"A1:B2\"/>"},
        {"xl/workbook.xml", "<sheet name=\"Data\" sheetId=\"1\" r:id=\"rId1\"/><sheet name=\"Report\" sheetId=\"6\" "
                            "r:id=\"rId10\"/><sheet name=\"Calc\""},
        {"xl/workbook.xml", "<!-- written by the fixture -->"},
        {"xl/workbook.xml", "<definedName name=\"_xlnm.Print_Area\" localSheetId=\"3\">Locked!$A$1:$B$2</definedName>"},
        {"xl/workbook.xml", "activeTab=\"1\""},
        {"xl/_rels/workbook.xml.rels", "<Relationship Id=\"rId10\" Type=\"http://schemas.openxmlformats.org/"
                                       "officeDocument/2006/relationships/worksheet\" Target=\"worksheets/sheet5.xml\"/>"},
        {"[Content_Types].xml", "<Override PartName=\"/xl/worksheets/sheet5.xml\" ContentType=\"application/"
                                "vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml\"/>"}};
    for (const auto& [part, text] : holds)
        EXPECT_NE(savedPart(part).find(text), std::string::npos) << part << " lacks " << text;
    std::string data = before.at("xl/worksheets/sheet1.xml").data;
    const std::string mark = " tabSelected=\"1\"";
    data.erase(data.find(mark), mark.size());
    EXPECT_EQ(savedPart("xl/worksheets/sheet1.xml"), data);
    expectUnchangedBut({"xl/workbook.xml", "xl/_rels/workbook.xml.rels", "[Content_Types].xml", "xl/styles.xml",
                        "xl/worksheets/sheet1.xml"});
    EXPECT_EQ(readZip(file).size(), before.size() + 1);
}

// Replacing a formula drops the calculation chain that lists it.
TEST_F(RoundTrips, WritingIntoAUserSheetKeepsItsOtherCellsAndDropsTheCalculationChain)
{
    auto& cells = cellsOf(workbook->Worksheets()->Item("Data"));
    cells.setValue({6, 1}, std::string("Added"));
    cells.setValue({4, 2}, 42.0);
    workbook->Save();
    const auto sheet = savedPart("xl/worksheets/sheet1.xml");
    EXPECT_NE(sheet.find("<c r=\"B4\" s=\"2\"><v>42</v></c></row><row r=\"6\"><c r=\"A6\" t=\"inlineStr\"><is><t>Added"
                         "</t></is></c></row></sheetData>"),
              std::string::npos)
        << sheet;
    EXPECT_NE(sheet.find("<dimension ref=\"A1:B6\"/>"), std::string::npos) << sheet;
    for (const auto& [name, entry] : readZip(file))
        EXPECT_EQ((name + entry.data).find("calcChain"), std::string::npos) << name;
    expectUnchangedBut({"xl/worksheets/sheet1.xml", "xl/calcChain.xml", "xl/_rels/workbook.xml.rels",
                        "[Content_Types].xml"});
}

TEST_F(RoundTrips, SavingWithoutChangesLeavesTheFileAloneAndSaveAsLeavesTheFirstFile)
{
    workbook->Save();
    EXPECT_EQ(textOf(file), original);
    addReport();
    const auto copy = folder / "Copy.xlsx";
    workbook->SaveAs(copy.string());
    EXPECT_EQ(textOf(file), original);
    EXPECT_EQ(workbook->Name(), "Copy.xlsx");
    EXPECT_EQ(readZip(copy).size(), before.size() + 1);
    EXPECT_EQ(filesIn(folder.path()), (std::vector<std::string>{"Copy.xlsx", "Sales.xlsx"}));
}

// The part is made while libzip writes the new package, after other parts
// are already written: a failure in the middle of the save.
TEST_F(RoundTrips, APartThatFailsMidSaveLeavesTheOriginalAndNoTemporaryFile)
{
    int attempts = 0;
    document().putPart("xl/extra.xml", "application/xml", [&]() -> std::string {
        if (++attempts == 1)
            throw platform::Failure(platform::err::kDiskFull, "the disk went away");
        return "<extra/>";
    });
    const auto failure = failureOf([&] { workbook->Save(); });
    EXPECT_EQ(failure.number(), 1004);
    EXPECT_NE(failure.description().find("Sales.xlsx"), std::string::npos) << failure.description();
    EXPECT_NE(failure.description().find("the disk went away"), std::string::npos) << failure.description();
    EXPECT_EQ(textOf(file), original);
    EXPECT_EQ(filesIn(folder.path()), std::vector<std::string>{"Sales.xlsx"});

    workbook->Save();  // the workbook is still whole in memory and saves once the part can be made
    EXPECT_EQ(readZip(file).at("xl/extra.xml").data, "<extra/>");
    EXPECT_EQ(filesIn(folder.path()), std::vector<std::string>{"Sales.xlsx"});
}

TEST_F(RoundTrips, AProcessKilledMidSaveLeavesTheOriginalReadable)
{
    document().putPart("xl/extra.xml", "application/xml", []() -> std::string {
        ::raise(SIGKILL);
        return {};
    });
    const int status = runChildren(1, [&](int) {
        try {
            workbook->Save();
        } catch (...) {
        }
        return 0;
    })[0];
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), SIGKILL);
    EXPECT_EQ(textOf(file), original);
    const auto another = createApplication();
    auto reopened = another->Workbooks()->Open(file.string());
    EXPECT_EQ(reopened->Worksheets()->Count(), 4);
    // Killed inside libzip's write, the save left our temporary copy and
    // libzip's file beside the workbook; the next save removes both.
    EXPECT_EQ(filesIn(folder.path()).size(), 3u);
    const auto host = std::dynamic_pointer_cast<HostWorkbook>(reopened);
    host->worksheet(host->worksheetModels().front())->cells().setValue({1, 1}, 1.0);
    reopened->Save();
    EXPECT_EQ(filesIn(folder.path()), std::vector<std::string>{"Sales.xlsx"});
}

// Opening reads no sheet part, so a broken sheet shows only when it is saved.
TEST_F(RoundTrips, ASheetThatCannotBeWrittenFailsBeforeAnythingIsWritten)
{
    auto parts = fixtureParts();
    parts["xl/worksheets/sheet1.xml"] = "<worksheet><sheetData><row></worksheet>";
    const auto broken = folder / "Broken.xlsx";
    writeZip(broken, parts);
    const auto bytes = textOf(broken);
    auto book = app->Workbooks()->Open(broken.string());
    auto data = std::dynamic_pointer_cast<HostWorkbook>(book)->worksheet(
        std::dynamic_pointer_cast<HostWorkbook>(book)->worksheetModels().front());
    data->cells().setValue({1, 1}, 1.0);
    const auto failure = failureOf([&] { book->Save(); });
    EXPECT_EQ(failure.number(), 1004);
    EXPECT_NE(failure.description().find("xl/worksheets/sheet1.xml is not well-formed"), std::string::npos)
        << failure.description();
    EXPECT_EQ(textOf(broken), bytes);
}

}  // namespace
