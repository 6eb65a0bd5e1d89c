// A report made by clicking through the wizard becomes a script: exported
// from the saved workbook and built again by the command-line report
// builder, it has the same cells, formats and all.
#include "wizardwalk.h"
#include "sheet/host/hostapplication.h"
#include "sheet/host/hostworkbook.h"
#include "sheet/host/hostworksheet.h"
#include "sheet/report/reportcommand.h"
#include "sheet/xlsx/sheetmodel.h"
#include "sheettestsupport.h"

#include <pugixml.hpp>

#include <sstream>

namespace {

namespace fs = std::filesystem;

// Every cell element of the report's sheet in `file`, as written.
std::vector<std::string> reportCells(const fs::path& file, const std::string& sheetName)
{
    auto app = sheet::createApplication();
    auto book = std::dynamic_pointer_cast<sheet::HostWorkbook>(app->Workbooks()->Open(file.string()));
    const auto sheet = std::dynamic_pointer_cast<sheet::HostWorksheet>(book->Worksheets()->Item(sheetName));
    pugi::xml_document document;
    document.load_string(sheettest::readZip(file).at(sheet->model().part).data.c_str());
    std::vector<std::string> cells;
    for (auto row : document.child("worksheet").child("sheetData").children("row")) {
        for (auto cell : row.children("c")) {
            std::ostringstream text;
            cell.print(text, "", pugi::format_raw);
            cells.push_back(text.str());
        }
    }
    return cells;
}

int pivotReport(const std::vector<std::string>& arguments, std::string& out)
{
    std::ostringstream output, errors;
    const int status = sheet::report::runPivotReportCommand(arguments, output, errors);
    out = output.str();
    EXPECT_EQ(status, 0) << errors.str();
    return status;
}

TEST(WizardReportAsScript, ExportedAndBuiltAgainGivesTheSameCells)
{
    const TempSettings settings;
    const RecordingMessages messages;
    const ScratchFolder folder;
    const fs::path made = folder / "wizard.xlsx";
    std::unique_ptr<HostWindow> window;
    // A chart, no row subtotals, one decimal place; the member steps as offered.
    ASSERT_TRUE(finishWizard(window, sheet::createApplication(), made, kStoreCube, "Sales",
                             {QStringList{QStringLiteral("Product")}, {QStringLiteral("Time")}, {QStringLiteral("Store")}},
                             {"Sales Amount", "Units"}, {{{"Time", {}, {}}, {"Store", {}, {}}}},
                             Layout{.rowSubtotals = false, .decimalPlaces = 1}));
    ASSERT_TRUE(fs::exists(made));

    std::string definition;
    ASSERT_EQ(pivotReport({"export", made.string(), "--report", "Table Sales"}, definition), 0);
    sheettest::writeFile(folder / "sales.json", definition);
    const std::string sheetName = definition.substr(definition.find("\"sheet\": \"") + 10,
                                                    definition.find('"', definition.find("\"sheet\": \"") + 10)
                                                        - definition.find("\"sheet\": \"") - 10);
    const fs::path built = folder / "script.xlsx";
    std::string ignored;
    ASSERT_EQ(pivotReport({"build", (folder / "sales.json").string(), "--output", built.string()}, ignored), 0);

    const auto cells = reportCells(made, sheetName);
    ASSERT_GT(cells.size(), 20u);
    EXPECT_EQ(reportCells(built, sheetName), cells);
    EXPECT_NE(definition.find("\"chart\": true"), std::string::npos) << definition;
    const auto charts = [](const fs::path& file) {
        const auto parts = sheettest::readZip(file);
        return std::count_if(parts.begin(), parts.end(), [](const auto& part) { return part.first.starts_with("xl/charts/chart"); });
    };
    EXPECT_EQ(charts(built), charts(made));
    EXPECT_EQ(charts(made), 1);
}

}  // namespace
