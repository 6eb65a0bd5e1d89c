// The host program opened on a workbook with kept reports offers to refresh
// them: the workbook is saved with the reports recomputed and the user told
// what changed, or why nothing did.
#include "common/wizardtest.h"
#include "hostwindow.h"
#include "sheet/host/hostapplication.h"
#include "sheet/host/hostworkbook.h"
#include "sheet/report/reportbuild.h"
#include "sheettestsupport.h"

#include <QFrame>
#include <QPushButton>

namespace {

namespace fs = std::filesystem;

const fs::path kSamples = PIVOTWIZARD_SAMPLES;

// A workbook at `file` holding a report of the sample Sales cube (`withReport`) or only a sheet.
void writeWorkbook(const fs::path& file, bool withReport, const fs::path& cube)
{
    auto app = sheet::createApplication();
    auto book = std::dynamic_pointer_cast<sheet::HostWorkbook>(app->Workbooks()->Add());
    if (withReport) {
        sheet::report::ReportDefinition report;
        report.name = "Table Sales";
        report.source = {"file", "MSOLAP.2", cube.string(), "Sales", "", "Sales"};
        report.rows = {{"Product", {}, {}, {}, {}}};
        report.data = {{"Units", ""}};
        sheet::report::buildReport(*book, report);
    }
    book->SaveAs(file.string());
}

TEST(ReportsBar, OffersRefreshOnlyForWorkbooksWithReportsAndSaysWhatHappened)
{
    const struct {
        const char* what;
        bool withReport;
        bool cubeGone;       // the cube file was removed before the refresh
        const char* told;    // the message's title, or "" when no bar is offered
        const char* says;
    } cases[] = {
        {"a workbook without reports", false, false, "", ""},
        {"a workbook with a report", true, false, "Reports refreshed", "Refreshed 1 report"},
        {"a report whose cube is gone", true, true, "Refresh reports", "Sales.cub"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ScratchFolder folder;
        const fs::path cube = folder / "Sales.cub";
        fs::copy_file(kSamples / "store" / "Sales.cub", cube);
        const fs::path file = folder / "kept.xlsx";
        writeWorkbook(file, c.withReport, cube);
        const std::string before = sheettest::fileBytes(file);
        const TempSettings settings;
        RecordingMessages messages;
        auto spreadsheet = sheet::createApplication();
        spreadsheet->Workbooks()->Open(file.string());
        HostWindow window(QString::fromStdString((kSamples / "store").string()), spreadsheet);
        window.show();
        auto* bar = window.findChild<QFrame*>(QStringLiteral("reportsBar"));
        ASSERT_NE(bar, nullptr);
        EXPECT_EQ(bar->isVisible(), c.withReport);
        if (!c.withReport)
            continue;
        if (c.cubeGone)
            fs::remove(cube);
        bar->findChild<QPushButton*>(QStringLiteral("refreshReports"))->click();
        const auto shown = messages.single();
        EXPECT_EQ(shown.title.toStdString(), c.told);
        EXPECT_NE(shown.text.toStdString().find(c.says), std::string::npos) << shown.text.toStdString();
        // Saved when refreshed (the definition's time at least), untouched when not.
        EXPECT_EQ(sheettest::fileBytes(file) == before, c.cubeGone);
    }
}

}  // namespace
