// All seven steps on the Sales cube of the sample store, as a user goes
// through them: the cube chosen, the layout rearranged, measures and members
// chosen, the report placed, and Finish building the PivotTable.
#include "designsteps.h"
#include "sheet/application.h"
#include "sheet/host/hostapplication.h"
#include "widgets/nxdimeditctrl.h"

#include <QComboBox>
#include <QLineEdit>
#include <QSignalSpy>

namespace {

TEST_F(DesignSteps, SalesCubeWalksThroughAllSevenStepsToAPivotTable)
{
    // The wizard writes its store cube copy beside the cube: it works on copies.
    for (const char* name : {"Sales.cub", "Sales.bwf"})
        std::filesystem::copy_file(std::filesystem::path(PIVOTWIZARD_SAMPLE_STORE) / name, folder / name);
    const std::shared_ptr<sheet::Application> app = sheet::createApplication();
    const std::shared_ptr<sheet::Workbook> book = app->Workbooks()->Add();
    wizard.xlApp(app);
    QSignalSpy steps(&wizard, &NxPivotWizardCtrl::wizardStep);
    QSignalSpy results(&wizard, &NxPivotWizardCtrl::PivotResult);

    openCube(kStoreCube, text("Sales"));
    EXPECT_EQ(entries(layout(kRows)), QStringList{text("Product")});
    EXPECT_EQ(entries(layout(kColumns)), QStringList{text("Time")});
    EXPECT_EQ(entries(layout(kBackground)), (QStringList{text("Store"), text("Customer")}));
    move(kBackground, "Store", kRows);
    move(kBackground, "Customer", kUnselected);

    ASSERT_TRUE(next());
    EXPECT_EQ(checkedCaptions(wizard.NxDimEditMembers), (Names{"Sales Amount", "Units", "Cost", "Profit"}));
    check(wizard.NxDimEditMembers, {"Cost", "Profit"}, true);

    ASSERT_TRUE(next());
    EXPECT_EQ(entries(wizard.lstCubeOptions[1]), (QStringList{text("Product"), text("Store")}));
    EXPECT_EQ(wizard.currentDimensionName, text("Product"));
    wizard.lstCubeOptions[1]->setCurrentRow(1);
    ASSERT_EQ(wizard.NxDimEditRows.size(), size_t(2));

    ASSERT_TRUE(next());

    ASSERT_TRUE(next());
    wizard.fraText[1]->setText(text(" 3"));
    wizard.cboAZ->setCurrentText(text("B"));
    EXPECT_EQ(steps.count(), 6);

    click(2);
    ASSERT_EQ(results.count(), 1) << (messages.shown().empty() ? std::string("no message")
                                                                : messages.shown().front().text.toStdString());
    EXPECT_TRUE(results.at(0).at(0).toBool());
    int tables = 0;
    for (const std::shared_ptr<sheet::Worksheet>& worksheet : *book->Worksheets())
        tables += worksheet->PivotTables()->Count();
    EXPECT_EQ(tables, 1);
}

}  // namespace
