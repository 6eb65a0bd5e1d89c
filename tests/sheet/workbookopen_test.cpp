// Opening workbooks: what the host learns from a file, and how it refuses
// files that are not workbooks it can read.
#include "sheet/host/hostapplication.h"

#include "sheettestsupport.h"

using namespace sheet;
using namespace sheettest;

namespace {

class OpeningWorkbooks : public ::testing::Test {
protected:
    std::shared_ptr<Workbook> open(const FixtureOptions& options = {})
    {
        writeZip(file, fixtureParts(options));
        return app->Workbooks()->Open(file.string());
    }

    ScratchFolder folder;
    std::filesystem::path file = folder / "Sales.xlsx";
    std::shared_ptr<Application> app = createApplication();
};

TEST_F(OpeningWorkbooks, KnowsWhichSheetsHoldPivotTables)
{
    auto workbook = open({.pivotTable = true});
    EXPECT_EQ(workbook->Worksheets()->Item("Data")->PivotTables()->Count(), 0);
    auto tables = workbook->Worksheets()->Item("Pivot")->PivotTables();
    ASSERT_EQ(tables->Count(), 1);
    EXPECT_EQ(tables->Item(1)->Name(), "SalesPivot");
    EXPECT_TRUE(tables->Item("SalesPivot")->RowGrand());
    EXPECT_FALSE(tables->Item("SalesPivot")->ColumnGrand());
    EXPECT_EQ(failureOf([&] { tables->Item("Other"); }).number(), 1004);
    EXPECT_EQ(failureOf([&] { tables->Item("SalesPivot")->RowGrand(false); }).number(), 445);
}

// A bad file: its bytes and what the failure must say about it.
struct BadFile {
    const char* label;
    std::function<void(const std::filesystem::path&)> make;
    const char* says;
};

std::string compoundFile(bool encrypted)
{
    std::string bytes("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
    bytes.resize(1536, '\0');
    const auto name = [](const char* ascii) {
        std::string text;
        for (const char* c = ascii; *c; ++c)
            text += std::string{*c, '\0'};
        return text;
    };
    bytes.replace(1024, 64, name(encrypted ? "EncryptionInfo" : "Workbook"));
    bytes.replace(1152, 64, name(encrypted ? "EncryptedPackage" : "SummaryInformation"));
    return bytes;
}

Parts without(Parts parts, const std::string& name)
{
    parts.erase(name);
    return parts;
}

Parts with(Parts parts, const std::string& name, const std::string& bytes)
{
    parts[name] = bytes;
    return parts;
}

// Each file is refused naming it and its problem, and is never written to.
TEST(RefusingBadFiles, NamesTheFileAndTheProblemAndNeverWritesToIt)
{
    const BadFile files[] = {
        {"missing", [](const auto&) {}, "does not exist"},
        {"folder", [](const auto& f) { std::filesystem::create_directory(f); }, "folder"},
        {"text", [](const auto& f) { writeText(f, "Region,Amount\nNorth,10\n"); }, "not a zip"},
        {"encrypted", [](const auto& f) { writeText(f, compoundFile(true)); }, "encrypted"},
        {"binary", [](const auto& f) { writeText(f, compoundFile(false)); }, "older binary format"},
        {"plain zip", [](const auto& f) { writeZip(f, {{"readme.txt", "hello"}}); }, "[Content_Types].xml"},
        {"no relationships", [](const auto& f) { writeZip(f, without(fixtureParts(), "_rels/.rels")); },
         "_rels/.rels"},
        {"no workbook part", [](const auto& f) { writeZip(f, without(fixtureParts(), "xl/workbook.xml")); },
         "xl/workbook.xml is missing"},
        {"malformed workbook", [](const auto& f) {
             writeZip(f, with(fixtureParts(), "xl/workbook.xml", "<workbook><sheets><sheet name=\"A\"></workbook>"));
         }, "xl/workbook.xml is not well-formed XML"},
        {"another document", [](const auto& f) {
             writeZip(f, with(fixtureParts(), "xl/workbook.xml", "<document><body/></document>"));
         }, "is not a workbook: its main part is a 'document' document"},
        {"dangling sheet", [](const auto& f) {
             writeZip(f, with(fixtureParts(), "xl/_rels/workbook.xml.rels",
                              "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/"
                              "relationships\"/>"));
         }, "refers to relationship 'rId1'"}};
    for (const BadFile& bad : files) {
        SCOPED_TRACE(bad.label);
        ScratchFolder folder;
        const auto file = folder / "Bad.xlsx";
        bad.make(file);
        const std::string before = std::filesystem::is_regular_file(file) ? textOf(file) : "";
        auto app = createApplication();
        const auto failure = failureOf([&] { app->Workbooks()->Open(file.string()); });
        EXPECT_EQ(failure.number(), 1004);
        EXPECT_EQ(failure.source(), "sheet");
        EXPECT_NE(failure.description().find("Bad.xlsx"), std::string::npos) << failure.description();
        EXPECT_NE(failure.description().find(bad.says), std::string::npos) << failure.description();
        EXPECT_EQ(app->ActiveWorkbook(), nullptr);
        EXPECT_EQ(before.empty() ? before : textOf(file), before);
        EXPECT_LE(filesIn(folder.path()).size(), 1u);
    }
}

// A few megabytes that inflate to far more than any workbook part holds
// were once read whole until memory ran out: the package is refused, naming
// the part, before that.
TEST_F(OpeningWorkbooks, APartThatInflatesBeyondAnyWorkbooksIsRefusedNamingIt)
{
    sheettest::Parts parts = sheettest::fixtureParts();
    parts["xl/workbook.xml"] = parts["xl/workbook.xml"] + std::string(64 << 20, ' ');
    sheettest::writeZip(file, parts);
    sheettest::expectRefusals({{"open", [&] { app->Workbooks()->Open(file.string()); }, 1004,
                                "its part xl/workbook.xml inflates to more than 200 times its stored size"}});
}

}  // namespace
