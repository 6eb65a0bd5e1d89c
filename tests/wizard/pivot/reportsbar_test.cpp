// The host program opened on a workbook with kept reports offers to refresh
// them: the workbook is saved with the reports recomputed and the user told.
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

// A refusal (a cube gone) is ReportRefresh.RefusalsNameTheProblemAndLeaveTheWorkbookAsItWas.
TEST(ReportsBar, OffersRefreshOnlyForWorkbooksWithReportsAndSaysWhatHappened)
{
    for (const bool withReport : {false, true}) {
        SCOPED_TRACE(withReport);
        ScratchFolder folder;
        fs::copy_file(kSamples / "store" / "Sales.cub", folder / "Sales.cub");
        const fs::path file = folder / "kept.xlsx";
        writeWorkbook(file, withReport, folder / "Sales.cub");
        const std::string before = textOf(file);
        const TempSettings settings;
        RecordingMessages messages;
        auto spreadsheet = sheet::createApplication();
        spreadsheet->Workbooks()->Open(file.string());
        HostWindow window(QString::fromStdString((kSamples / "store").string()), spreadsheet);
        window.show();
        auto* bar = window.findChild<QFrame*>(QStringLiteral("reportsBar"));
        ASSERT_NE(bar, nullptr);
        ASSERT_EQ(bar->isVisible(), withReport);
        if (!withReport)
            continue;
        bar->findChild<QPushButton*>(QStringLiteral("refreshReports"))->click();
        EXPECT_EQ(messages.single().title, QStringLiteral("Reports refreshed"));
        EXPECT_TRUE(messages.single().text.contains(QStringLiteral("Refreshed 1 report"))) << messages.single().text.toStdString();
        EXPECT_NE(textOf(file), before) << "saved with the definition's new time at least";
    }
}

}  // namespace
