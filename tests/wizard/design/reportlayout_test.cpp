// The report layout step: the sheet list over real workbooks of the
// spreadsheet host, the start row check, the protection read-out and the
// decimal places spinner.
#include "designwizard.h"
#include "workbookfile.h"

#include "sheet/application.h"
#include "sheet/host/hostapplication.h"
#include "support/controls.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>

namespace {

QString text(const char* s) { return QString::fromLatin1(s); }

class ReportLayout : public DesignSteps {
protected:
    QStringList sheetList() const
    {
        QStringList names;
        auto* sheets = findControl<QComboBox>(&wizard, "cboInsertSheet");
        for (int i = 0; i < sheets->count(); ++i)
            names << sheets->itemText(i);
        return names;
    }
    QComboBox* sheetBox() const { return findControl<QComboBox>(&wizard, "cboInsertSheet"); }
    QLineEdit* rowBox() const { return findControl<QLineEdit>(&wizard, "fraText", 1); }

    // Data visible, Calc hidden, Secret very hidden, the chart sheet Chart1
    // and Locked, whose contents are protected.
    std::shared_ptr<sheet::Workbook> openMixedWorkbook()
    {
        const std::filesystem::path file = folder / "Mixed.xlsx";
        writeWorkbook(file, {{"Data"},
                             {"Calc", SheetSpec::Worksheet, "hidden"},
                             {"Chart1", SheetSpec::ChartSheet},
                             {"Secret", SheetSpec::Worksheet, "veryHidden"},
                             {"Locked", SheetSpec::Worksheet, "visible", true}});
        return app->Workbooks()->Open(file.string());
    }

    std::shared_ptr<sheet::Application> app = sheet::createApplication();
};

TEST_F(ReportLayout, SheetListShowsTheVisibleWorksheetsOfTheActiveWorkbook)
{
    openMixedWorkbook();
    wizard.xlApp(app);
    wizard.GetActiveWorkbookDetails();
    EXPECT_EQ(sheetList(), (QStringList{text("New Sheet"), text("Data"), text("Locked")}));
    EXPECT_EQ(sheetBox()->currentIndex(), 0);
}

TEST_F(ReportLayout, SheetListFollowsTheHostsOwnChangesInWorkbookOrder)
{
    std::shared_ptr<sheet::Workbook> book = app->Workbooks()->Add();
    std::shared_ptr<sheet::Worksheet> added = book->Worksheets()->Add(book->Worksheets()->Item(1));
    added->Name("Summary");
    book->Worksheets()->Add(added)->Visible(sheet::kSheetHidden);
    wizard.xlApp(app);
    wizard.GetActiveWorkbookDetails();
    EXPECT_EQ(sheetList(), (QStringList{text("New Sheet"), text("Sheet1"), text("Summary")}));
}

TEST_F(ReportLayout, WithoutAWorkbookTheListOffersTheNamesOfANewOne)
{
    const QStringList newWorkbook{text("New Sheet"), text("Sheet1"), text("Sheet2"), text("Sheet3")};
    wizard.GetActiveWorkbookDetails();  // no host application yet
    EXPECT_EQ(sheetList(), newWorkbook);
    wizard.xlApp(app);
    wizard.GetActiveWorkbookDetails();
    EXPECT_EQ(sheetList(), newWorkbook);
}

TEST_F(ReportLayout, SheetListIsRebuiltAndTheChoiceForgotten)
{
    std::shared_ptr<sheet::Workbook> book = openMixedWorkbook();
    wizard.xlApp(app);
    wizard.GetActiveWorkbookDetails();
    sheetBox()->setCurrentIndex(1);
    book->Worksheets()->Item("Data")->Name("Facts");
    wizard.GetActiveWorkbookDetails();
    EXPECT_EQ(sheetList(), (QStringList{text("New Sheet"), text("Facts"), text("Locked")}));
    EXPECT_EQ(sheetBox()->currentIndex(), 0);
}

TEST_F(ReportLayout, ProtectionIsReadFromTheSheet)
{
    std::shared_ptr<sheet::Workbook> book = openMixedWorkbook();
    const QVariant locked = wizard.isSheetProtected(book->Worksheets()->Item("Locked"));
    EXPECT_EQ(locked.typeId(), QMetaType::Bool);
    EXPECT_TRUE(locked.toBool());
    EXPECT_FALSE(wizard.isSheetProtected(book->Worksheets()->Item("Data")).toBool());
}

TEST_F(ReportLayout, StartRowMustBeANumberFromOneTo65536)
{
    const struct {
        const char* typed;
        bool valid;
        const char* after;
    } cases[] = {
        {"1", true, "1"},          {"65536", true, "65536"},   {"007", true, "7"},
        {" 5", true, "5"},         {"5 ", true, "5"},          {"+4", true, "4"},
        {"12.6", true, "13"},      {"12.5", true, "12"},       {"13.5", true, "14"},
        {"1E3", true, "1000"},     {"2.5D1", true, "25"},      {"&H10", true, "16"},
        {"0", false, "0"},         {"-3", false, "-3"},        {"65537", false, "65537"},
        {"0.4", false, "0"},       {"abc", false, "abc"},      {"", false, ""},
        {"1e", false, "1e"},       {"1,000", false, "1,000"},  {"99999999999", false, "99999999999"},
    };
    for (const auto& c : cases) {
        messages.clear();
        rowBox()->setText(text(c.typed));
        EXPECT_EQ(wizard.StartCellIsValid(), c.valid) << '"' << c.typed << '"';
        EXPECT_EQ(rowBox()->text(), text(c.after)) << '"' << c.typed << '"';
        if (c.valid) {
            EXPECT_TRUE(messages.shown().empty()) << '"' << c.typed << '"';
            continue;
        }
        const RecordedMessage shown = messages.single();
        EXPECT_EQ(shown.text, text("Invalid row specified for the row position"));
        EXPECT_EQ(shown.title, text("Invalid row"));
        EXPECT_EQ(shown.icon, MessageIcon::Stop);
        EXPECT_EQ(rowBox()->selectedText(), text(c.after)) << '"' << c.typed << '"';
    }
}

TEST_F(ReportLayout, EnteringTheStepListsTheSheetsAndShowsTheDecimalPlaces)
{
    openMixedWorkbook();
    wizard.xlApp(app);
    writeDesignCube(folder / "Design.cub");
    openLocalCube(folder / "Design.cub");
    goToStep(6);
    ASSERT_EQ(wizard.currentStep(), 6);
    EXPECT_EQ(sheetList(), (QStringList{text("New Sheet"), text("Data"), text("Locked")}));
    EXPECT_EQ(findControl<QLabel>(&wizard, "lblDps")->text(), text("2"));
    EXPECT_FALSE(findControl<QScrollBar>(&wizard, "dpscrllbr")->isEnabled());
    EXPECT_FALSE(findControl<QLabel>(&wizard, "lblDps")->isEnabled());
    EXPECT_TRUE(rowBox()->isVisible());
    EXPECT_TRUE(messages.shown().empty());
}

}  // namespace
