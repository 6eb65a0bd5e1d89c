// The command-line report builder: a report made through the host's object
// model as the wizard makes it, exported and built again, gives the same
// cells; bad definitions and arguments are refused with the exit status and
// a message naming the file and the member or field, touching no workbook.
#include "pivottestsupport.h"
#include "reporttestsupport.h"

#include "sheet/constants.h"
#include "sheet/cubefield.h"
#include "sheet/host/hostapplication.h"
#include "sheet/host/hostworkbook.h"
#include "sheet/host/hostworksheet.h"
#include "sheet/xlsx/cellstore.h"
#include "sheet/pivotfield.h"

using namespace sheet;
using namespace reporttest;

namespace {

namespace fs = std::filesystem;

const fs::path kStore = PIVOTWIZARD_SAMPLE_STORE;

// The wizard's calls for a report with every kind of choice: autoformat, a
// page field with two members, drilled and hidden members, a level without
// subtotals, two data fields with a number format, no grand total for rows.
void makeReportAsTheWizardDoes(const fs::path& file)
{
    auto app = createApplication();
    auto book = app->Workbooks()->Add();
    auto sheet = book->Worksheets()->Item(1);
    auto table = pivottest::sampleSalesTable(*book, "B4");
    table->RowGrand(false);
    table->Format(kTableFormat13);
    auto fields = table->CubeFields();
    fields->Item("[Store]")->Orientation(kPageField);
    fields->Item("[Time]")->Orientation(kColumnField);
    fields->Item("[Product]")->Orientation(kRowField);
    auto drilled = VariantArray::twoDimensional(1, 2);
    drilled(0, 0) = "[Product].[All Products].[Food]";
    drilled(0, 1) = "[Product].[All Products].[Beverages]";
    fields->Item("[Product]")->TreeviewControl()->Drilled(drilled);
    auto hidden = VariantArray::twoDimensional(1, 1);
    hidden(0, 0) = "[Product].[All Products].[Food].[Dairy]";
    fields->Item("[Product]")->TreeviewControl()->Hidden(hidden);
    table->PivotFields()->Item("[Product].[Category]")->Subtotals(std::array<bool, kSubtotalCount>{});
    table->ManualUpdate(true);
    fields->Item("[Measures].[Sales Amount]")->Orientation(kDataField);
    fields->Item("[Measures].[Units]")->Orientation(kDataField);
    table->ManualUpdate(false);
    for (const auto& field : *table->DataFields())
        field->NumberFormat("0.0");
    const auto stores = table->PivotFields()->Item("[Store].[Country]");
    stores->CurrentPageList(VariantArray{std::string("[Store].[Canada]"), std::string("[Store].[Mexico]")});
    sheet->Columns()->AutoFit();
    book->SaveAs(file.string());
}

// A workbook with the report the wizard makes.
class PivotReportCommand : public ::testing::Test {
protected:
    void SetUp() override { makeReportAsTheWizardDoes(book); }

    ScratchFolder folder;
    fs::path book = folder / "Book.xlsx";
};

TEST_F(PivotReportCommand, AWizardMadeReportExportedAndBuiltAgainHasTheSameCells)
{
    const auto exported = runPivotReport({"export", book.string(), "--report", "Table Sales"});
    ASSERT_EQ(exported.status, 0) << exported.err;
    EXPECT_NE(exported.out.find("[Store].[Canada]"), std::string::npos) << exported.out;
    writeText(folder / "sales.json", exported.out);
    const auto rebuilt = folder / "script.xlsx";
    const auto built = runPivotReport({"build", (folder / "sales.json").string(), "--output", rebuilt.string()});
    ASSERT_EQ(built.status, 0) << built.err;

    const auto cells = cellLines(book, "xl/worksheets/sheet1.xml");
    ASSERT_GT(cells.size(), 40u);
    EXPECT_EQ(cellLines(rebuilt, "xl/worksheets/sheet1.xml"), cells);
    EXPECT_NE(std::find(cells.begin(), cells.end(), "C4=(Multiple Items)|"), cells.end());
    // And printed instead of written: the same values.
    const auto printed = runPivotReport({"build", (folder / "sales.json").string(), "--format", "csv"});
    ASSERT_EQ(printed.status, 0) << printed.err;
    EXPECT_TRUE(printed.out.starts_with("Store,(Multiple Items),,")) << printed.out;
    EXPECT_EQ(std::count(printed.out.begin(), printed.out.end(), '\n'), 13) << printed.out;
    EXPECT_EQ(printed.out.find("Dairy"), std::string::npos) << "hidden members stay hidden";
}

TEST_F(PivotReportCommand, BadDefinitionsFailNamingTheFileAndWhatIsMissing)
{
    const std::string bytes = textOf(book);
    const fs::path cube = kStore / "Sales.cub";
    const std::string rows = R"(, "rows": [{"dimension": "Product"}], "data": [{"measure": "Units"}])";
    struct Case {
        const char* what;
        std::string definition;
        std::string named;
    };
    const std::vector<Case> cases = {
        {"a cube file that is not there", salesDefinition(folder / "Gone.cub", rows), "Gone.cub"},
        {"a cube the file lacks",
         salesDefinition(cube, rows).replace(salesDefinition(cube, rows).find("\"cube\": \"Sales\""), 15, "\"cube\": \"Sale\""),
         "Sale"},
        {"a dimension the cube lacks", salesDefinition(cube, R"(, "rows": [{"dimension": "Region"}])"), "Region"},
        {"a level the cube lacks",
         salesDefinition(cube, R"(, "rows": [{"dimension": "Product", "levels": [{"level": "Brand"}]}])"), "Brand"},
        {"a measure the cube lacks", salesDefinition(cube, R"(, "data": [{"measure": "Discount"}])"), "Discount"},
        {"a member the cube lacks",
         salesDefinition(cube, R"(, "rows": [{"dimension": "Product", "drilled": ["[Product].[Toys]"]}])"),
         "[Product].[Toys]"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto definition = folder / "weekly.json";
        writeText(definition, c.definition);
        const auto run = runPivotReport({"build", definition.string(), "--output", book.string(), "--sheet", "New"});
        EXPECT_EQ(run.status, 1);
        EXPECT_NE(run.err.find("weekly.json"), std::string::npos) << run.err;
        EXPECT_NE(run.err.find(c.named), std::string::npos) << run.err;
        EXPECT_EQ(textOf(book), bytes);
    }
}

TEST(PivotReportUsage, WrongArgumentsAreUsageErrors)
{
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"draw", "a.json"},
        {"build", "a.json", "--output"},
        {"list", "a.xlsx", "b.xlsx"},
    };
    for (const auto& arguments : cases) {
        SCOPED_TRACE(testing::PrintToString(arguments));
        const auto run = runPivotReport(arguments);
        EXPECT_EQ(run.status, 2);
        EXPECT_NE(run.err.find("Usage: pivotreport"), std::string::npos);
    }
}

TEST_F(PivotReportCommand, AWorkbookWhoseDefinitionsWereDroppedStillCountsItsReports)
{
    // Another program saved it without the custom part.
    auto parts = sheettest::Parts{};
    for (const auto& [name, entry] : sheettest::readZip(book)) {
        if (!name.starts_with("customXml/"))
            parts[name] = entry.data;
    }
    sheettest::writeZip(book, parts);
    const auto listed = runPivotReport({"list", book.string()});
    EXPECT_EQ(listed.status, 0);
    EXPECT_NE(listed.out.find("Table Sales\tSheet1\tB4:"), std::string::npos) << listed.out;
    EXPECT_NE(listed.out.find("(no definition)"), std::string::npos) << listed.out;
    const auto refreshed = runPivotReport({"refresh", book.string()});
    EXPECT_EQ(refreshed.status, 1);
    EXPECT_NE(refreshed.err.find("no report definitions"), std::string::npos) << refreshed.err;
}

TEST_F(PivotReportCommand, UnreadableDefinitionsAreReportedAndDoNotStopSaving)
{
    auto parts = sheettest::Parts{};
    for (const auto& [name, entry] : sheettest::readZip(book))
        parts[name] = entry.data;
    ASSERT_TRUE(parts.count("customXml/item1.xml"));
    parts["customXml/item1.xml"] = R"(<pivotReports xmlns="urn:pivotwizard:report-definitions" version="1">)"
                                   R"({"version": 1, "reports": [{"source": 3}]}</pivotReports>)";
    sheettest::writeZip(book, parts);
    const auto listed = runPivotReport({"list", book.string()});
    EXPECT_EQ(listed.status, 1);
    EXPECT_NE(listed.err.find("Book.xlsx"), std::string::npos) << listed.err;

    const auto definition = folder / "more.json";
    writeText(definition, salesDefinition(kStore / "Sales.cub", R"(, "rows": [{"dimension": "Product"}])"));
    const auto built = runPivotReport({"build", definition.string(), "--output", book.string(), "--sheet", "More"});
    EXPECT_EQ(built.status, 0) << built.err;
    const auto after = runPivotReport({"list", book.string()});
    EXPECT_EQ(after.status, 0) << after.err;
    EXPECT_NE(after.out.find("Table Sales\tMore\t"), std::string::npos) << after.out;
}

}  // namespace
