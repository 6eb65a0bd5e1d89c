// All seven steps on the Sales cube of the sample store, as a user goes
// through them: the cube chosen, the layout rearranged, measures and members
// chosen, the report placed, and Finish building the PivotTable.
#include "designwizard.h"
#include "membertree.h"

#include "sheet/application.h"
#include "sheet/host/hostapplication.h"
#include "support/controls.h"
#include "widgets/nxdimeditctrl.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>

namespace {

QString text(const char* s) { return QString::fromLatin1(s); }

constexpr int kUnselected = 0, kBackground = 1, kRows = 2, kColumns = 3;

// The store folder is shared by every test program; the wizard writes its
// store cube copy beside the cube, so it works on copies of its own.
void copySalesStore(const std::filesystem::path& target)
{
    const std::filesystem::path store = PIVOTWIZARD_SAMPLE_STORE;
    for (const char* name : {"Sales.cub", "Sales.bwf"})
        std::filesystem::copy_file(store / name, target / name);
}

int pivotTableCount(sheet::Workbook& book)
{
    int count = 0;
    for (const std::shared_ptr<sheet::Worksheet>& worksheet : *book.Worksheets())
        count += worksheet->PivotTables()->Count();
    return count;
}

TEST_F(DesignSteps, SalesCubeWalksThroughAllSevenStepsToAPivotTable)
{
    copySalesStore(folder.path());
    const std::shared_ptr<sheet::Application> app = sheet::createApplication();
    const std::shared_ptr<sheet::Workbook> book = app->Workbooks()->Add();
    wizard.xlApp(app);
    QSignalSpy steps(&wizard, &NxPivotWizardCtrl::wizardStep);
    QSignalSpy results(&wizard, &NxPivotWizardCtrl::PivotResult);

    openStoreCube(folder.path(), text("Sales"));
    EXPECT_EQ(entries(layoutList(kRows)), QStringList{text("Product")});
    EXPECT_EQ(entries(layoutList(kColumns)), QStringList{text("Time")});
    EXPECT_EQ(entries(layoutList(kBackground)), (QStringList{text("Store"), text("Customer")}));
    select(kBackground, text("Store"));
    ASSERT_TRUE(drop(kBackground, kRows));
    select(kBackground, text("Customer"));
    ASSERT_TRUE(drop(kBackground, kUnselected));

    clickNext();
    ASSERT_EQ(wizard.currentStep(), 3);
    EXPECT_EQ(checkedCaptions(wizard.measuresEditor()), (Captions{"Sales Amount", "Units", "Cost", "Profit"}));
    check(wizard.measuresEditor(), {"Cost", "Profit"}, true);

    clickNext();
    ASSERT_EQ(wizard.currentStep(), 4);
    EXPECT_EQ(entries(optionsList(1)), (QStringList{text("Product"), text("Store")}));
    EXPECT_EQ(wizard.dimensionName(), text("Product"));
    EXPECT_EQ(checkedCaptions(wizard.rowEditors()[0]).size(), size_t(4));  // the categories below All Products
    optionsList(1)->setCurrentRow(1);
    ASSERT_EQ(wizard.rowEditors().size(), size_t(2));
    EXPECT_EQ(checkedCaptions(wizard.rowEditors()[1]), (Captions{"USA", "Canada", "Mexico"}));

    clickNext();
    ASSERT_EQ(wizard.currentStep(), 5);
    EXPECT_EQ(checkedCaptions(wizard.columnEditors()[0]), (Captions{"2022", "2023", "2024"}));

    clickNext();
    ASSERT_EQ(wizard.currentStep(), 6);
    EXPECT_EQ(findControl<QComboBox>(&wizard, "cboInsertSheet")->currentText(), text("New Sheet"));
    findControl<QLineEdit>(&wizard, "fraText", 1)->setText(text(" 3"));
    findControl<QComboBox>(&wizard, "cboAZ")->setCurrentText(text("B"));
    EXPECT_EQ(steps.count(), 6);

    findControl<QPushButton>(&wizard, "butCommand", 2)->click();
    ASSERT_EQ(results.count(), 1) << (messages.shown().empty() ? std::string("no message")
                                                                : messages.shown().front().text.toStdString());
    EXPECT_TRUE(results.at(0).at(0).toBool());
    EXPECT_EQ(pivotTableCount(*book), 1);
}

}  // namespace
