// The layout step's "Alter Pivot Report Format", clicked as a user clicks
// it, and its "Preview": the window shows the cells Finish then writes,
// text and looks.
#include "designsteps.h"
#include "sheet/host/hostapplication.h"
#include "sheet/host/hostworksheet.h"
#include "sheet/xlsx/cellstore.h"
#include "sheet/xlsx/autofit.h"
#include "wizard/preview/frmpreview.h"
#include "wizard/preview/previewmodel.h"

#include <QBrush>
#include <QFont>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleOptionButton>

namespace {

class ReportLook : public DesignSteps {
protected:
    // The sample Sales cube with its default layout, on the layout step.
    void walkToLayout()
    {
        for (const char* name : {"Sales.cub", "Sales.bwf"})
            std::filesystem::copy_file(std::filesystem::path(PIVOTWIZARD_SAMPLE_STORE) / name, folder / name);
        book = app->Workbooks()->Add();
        wizard.xlApp(app);
        openCube(kStoreCube, text("Sales"));
        goToStep(6);
        ASSERT_EQ(wizard.currentStep(), 6);
    }
    // Clicks the check box on its box, where a user clicks.
    static void clickBox(QCheckBox* box)
    {
        QStyleOptionButton option;
        option.initFrom(box);
        const QRect indicator = box->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, box);
        QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, indicator.center());
    }
    // Finish; the format of the cells of the table just built, by their
    // place in the table (row, column from 0).
    std::map<std::pair<int, int>, sheet::CellFormat> finish()
    {
        QSignalSpy results(&wizard, &NxPivotWizardCtrl::PivotResult);
        click(2);
        EXPECT_EQ(results.count(), 1);
        std::map<std::pair<int, int>, sheet::CellFormat> formats;
        const sheet::CellRef first = lastTableArea().first;
        for (const auto& [cell, entry] : std::dynamic_pointer_cast<sheet::HostWorksheet>(lastReportSheet())->cells().cells())
            formats[{cell.row - first.row, cell.column - first.column}] = entry.format.value_or(sheet::CellFormat{});
        return formats;
    }

    std::shared_ptr<sheet::Worksheet> lastReportSheet() const
    {
        std::shared_ptr<sheet::Worksheet> last;
        for (const auto& worksheet : *book->Worksheets())
            if (worksheet->PivotTables()->Count() > 0)
                last = worksheet;
        return last;
    }
    sheet::Area lastTableArea() const
    {
        return std::dynamic_pointer_cast<sheet::PlacedPivotTable>(lastReportSheet()->PivotTables()->Item(1))->area();
    }

    std::shared_ptr<sheet::Application> app = sheet::createApplication();
    std::shared_ptr<sheet::Workbook> book;
};

TEST_F(ReportLook, ThePreviewShowsTheCellsFinishWrites)
{
    walkToLayout();
    auto* alter = findControl<QCheckBox>(&wizard, "chkDisplay", 0);
    ASSERT_FALSE(alter->isChecked());
    clickBox(alter);
    clickBox(findControl<QCheckBox>(&wizard, "chkDps"));
    auto* preview = findControl<QPushButton>(&wizard, "cmdPreview");
    ASSERT_NE(preview, nullptr);
    QTest::mouseClick(preview, Qt::LeftButton);
    FrmPreview* window = nullptr;
    QTRY_VERIFY((window = wizard.findChild<FrmPreview*>(QStringLiteral("frmPreview"))) && window->isVisible());
    const PreviewModel& shown = *window->model();
    const auto written = finish();
    ASSERT_FALSE(written.empty());
    // The default layout's caption, on row 3, on the shaded look's band.
    ASSERT_TRUE(written.count({3, 0}));
    EXPECT_NE(written.at({3, 0}).fill, sheet::kNoColour) << "the report was built without the altered look";
    EXPECT_EQ(written.at({3, 0}).fontColour, 0xFFFFFFu);
    int rows = 0, columns = 0;
    for (const auto& [at, format] : written) {
        rows = std::max(rows, at.first + 1);
        columns = std::max(columns, at.second + 1);
    }
    ASSERT_EQ(shown.rowCount(), rows);
    ASSERT_EQ(shown.columnCount(), columns);
    EXPECT_EQ(window->lblPreviewRows->text(), QStringLiteral("The whole report: %1 rows.").arg(rows));
    // Each written cell against the preview's: its text under its number
    // format, its weight and its shade.
    const auto host = std::dynamic_pointer_cast<sheet::HostWorksheet>(lastReportSheet());
    const sheet::CellRef first = lastTableArea().first;
    int numbers = 0;
    for (const auto& [at, format] : written) {
        SCOPED_TRACE(testing::Message() << "row " << at.first << ", column " << at.second);
        const QModelIndex index = shown.index(at.first, at.second);
        const sheet::CellValue& value = host->cells().cells().at({first.row + at.first, first.column + at.second}).value;
        numbers += std::holds_alternative<double>(value) ? 1 : 0;
        EXPECT_EQ(index.data().toString().toStdString(), sheet::displayText(value, format.numberFormat));
        EXPECT_EQ(index.data(Qt::FontRole).value<QFont>().bold(), format.bold);
        const QVariant shade = index.data(Qt::BackgroundRole);
        EXPECT_EQ(shade.isValid() ? shade.value<QBrush>().color().rgb() & 0xFFFFFFu : sheet::kNoColour, format.fill);
    }
    EXPECT_GT(numbers, 10);
}

}  // namespace
