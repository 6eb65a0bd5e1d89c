// The layout step's "Alter Pivot Report Format", clicked as a user clicks
// it: the report built with it looks different from the one built without,
// in its headings and its totals.
#include "designsteps.h"
#include "sheet/host/hostapplication.h"
#include "sheet/host/hostworksheet.h"
#include "sheet/xlsx/cellstore.h"
#include "support/controls.h"

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
        std::shared_ptr<sheet::Worksheet> last;
        for (const auto& worksheet : *book->Worksheets())
            if (worksheet->PivotTables()->Count() > 0)
                last = worksheet;
        std::map<std::pair<int, int>, sheet::CellFormat> formats;
        const auto table = std::dynamic_pointer_cast<sheet::PlacedPivotTable>(last->PivotTables()->Item(1));
        const sheet::CellRef first = table->area().first;
        for (const auto& [cell, entry] : std::dynamic_pointer_cast<sheet::HostWorksheet>(last)->cells().cells())
            formats[{cell.row - first.row, cell.column - first.column}] = entry.format.value_or(sheet::CellFormat{});
        return formats;
    }

    std::shared_ptr<sheet::Application> app = sheet::createApplication();
    std::shared_ptr<sheet::Workbook> book;
};

TEST_F(ReportLook, AlteringTheReportFormatPutsTheHeadingsOnABandAndShadesTheTotals)
{
    walkToLayout();
    auto* alter = findControl<QCheckBox>(&wizard, "chkDisplay", 0);
    ASSERT_FALSE(alter->isChecked());
    const auto plain = finish();
    clickBox(alter);
    ASSERT_TRUE(alter->isChecked());
    const auto altered = finish();

    // The default layout: pages Store and Customer, Product down the rows,
    // Time across: the caption on row 3, the grand total row last.
    const std::pair<int, int> caption{3, 0};
    int grandTotalRow = 0;
    for (const auto& [at, format] : plain)
        grandTotalRow = std::max(grandTotalRow, at.first);
    ASSERT_TRUE(plain.count(caption) && altered.count(caption));
    EXPECT_TRUE(plain.at(caption).bold);
    EXPECT_EQ(plain.at(caption).fill, sheet::kNoColour);
    EXPECT_NE(altered.at(caption).fill, sheet::kNoColour) << "the headings on a band";
    EXPECT_EQ(altered.at(caption).fontColour, 0xFFFFFFu);
    const std::pair<int, int> grandTotal{grandTotalRow, 1};
    EXPECT_EQ(plain.at(grandTotal).fill, sheet::kNoColour);
    EXPECT_NE(altered.at(grandTotal).fill, sheet::kNoColour) << "the grand total shaded";
    EXPECT_TRUE(altered.at(grandTotal).heavyTop) << "under a heavier line";
}

}  // namespace
