// The layout steps over the Design store cube. Dimensions: drops between the
// four lists and the rule that the measures stay in the rows (the arrows, by
// Ctrl+arrow keys, are the keyboard walk's).
// Report: the sheet list over real workbooks of the spreadsheet host, the
// protection read-out, and the start row check.
#include "designsteps.h"
#include "sheet/application.h"
#include "sheet/host/hostapplication.h"
#include "sheettestsupport.h"

#include <QComboBox>
#include <QLineEdit>
#include <QToolButton>

namespace {

const std::array<QStringList, 4> kStart{{{}, names({"City", "Channel"}), names({"Measures", "Product"}), names({"Time"})}};

class LayoutStep : public DesignSteps {
protected:
    void SetUp() override { openDesign(CubeModel::Store); }
    // Unselected, Background, Rows, Columns.
    void arrange(const std::array<QStringList, 4>& lists)
    {
        for (int i = 0; i < 4; ++i) {
            layout(i)->clear();
            layout(i)->addItems(lists[size_t(i)]);
        }
    }
    std::array<QStringList, 4> lists() const
    {
        return {entries(layout(0)), entries(layout(1)), entries(layout(2)), entries(layout(3))};
    }
};

TEST_F(LayoutStep, ADropMovesTheEntryAndSelectsItThereAndItsNeighbourHere)
{
    const struct {
        int from;
        const char* name;
        int to;
        std::array<QStringList, 4> after;
        const char* selectedInSource;
    } cases[] = {
        {kRows, "Product", kBackground, {{{}, names({"City", "Channel", "Product"}), names({"Measures"}), names({"Time"})}}, "Measures"},
        {kBackground, "City", kUnselected, {{names({"City"}), names({"Channel"}), names({"Measures", "Product"}), names({"Time"})}}, "Channel"},
        {kBackground, "Channel", kColumns, {{{}, names({"City"}), names({"Measures", "Product"}), names({"Time", "Channel"})}}, "City"},
        {kBackground, "City", kBackground, kStart, "City"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        arrange(kStart);
        move(c.from, c.name, c.to);
        EXPECT_EQ(lists(), c.after);
        EXPECT_EQ(selected(layout(c.from)), text(c.selectedInSource));
        EXPECT_EQ(selected(layout(c.to)), text(c.name));
    }
    EXPECT_TRUE(messages.shown().empty());
    // The measures cannot leave the rows.
    arrange(kStart);
    move(kRows, "Measures", kBackground);
    EXPECT_EQ(messages.single(), (RecordedMessage{text("The Measure Member cannot be moved outside the Row"),
                                                  text("Measure Movement"), MessageIcon::Exclamation}));
    EXPECT_EQ(lists(), kStart);
}

class ReportLayout : public DesignSteps {
protected:
    QStringList sheetList() const
    {
        QStringList names;
        for (int i = 0; i < wizard.cboInsertSheet->count(); ++i)
            names << wizard.cboInsertSheet->itemText(i);
        return names;
    }
    std::shared_ptr<sheet::Application> app = sheet::createApplication();
};

TEST_F(ReportLayout, TheSheetListOffersTheVisibleWorksheetsOfTheActiveWorkbookAfreshEachTime)
{
    const QStringList newWorkbook{text("New Sheet"), text("Sheet1"), text("Sheet2"), text("Sheet3")};
    wizard.GetActiveWorkbookDetails();  // no host application yet
    EXPECT_EQ(sheetList(), newWorkbook);
    wizard.xlApp(app);
    wizard.GetActiveWorkbookDetails();  // no workbook
    EXPECT_EQ(sheetList(), newWorkbook);

    // Data, Calc (hidden), Locked (protected), Secret (very hidden), the chart sheet Chart1.
    sheettest::writeZip(folder / "Mixed.xlsx", sheettest::fixtureParts());
    const std::shared_ptr<sheet::Workbook> book = app->Workbooks()->Open((folder / "Mixed.xlsx").string());
    wizard.GetActiveWorkbookDetails();
    EXPECT_EQ(sheetList(), (QStringList{text("New Sheet"), text("Data"), text("Locked")}));
    wizard.cboInsertSheet->setCurrentIndex(1);
    book->Worksheets()->Item("Data")->Name("Facts");
    const auto added = book->Worksheets()->Add(book->Worksheets()->Item(1));
    added->Name("Summary");
    book->Worksheets()->Add(added)->Visible(sheet::kSheetHidden);
    wizard.GetActiveWorkbookDetails();
    EXPECT_EQ(sheetList(), (QStringList{text("New Sheet"), text("Facts"), text("Summary"), text("Locked")}));
    EXPECT_EQ(wizard.cboInsertSheet->currentIndex(), 0);

    EXPECT_EQ(wizard.isSheetProtected(book->Worksheets()->Item("Locked")), QVariant(true));
    EXPECT_EQ(wizard.isSheetProtected(book->Worksheets()->Item("Facts")), QVariant(false));
}

TEST_F(ReportLayout, StartRowMustBeANumberFromOneTo65536)
{
    const struct {
        const char* typed;
        bool valid;
        const char* after;
    } cases[] = {
        {"1", true, "1"},       {"65536", true, "65536"}, {"007", true, "7"},     {" 5 ", true, "5"},
        {"+4", true, "4"},      {"12.5", true, "12"},     {"13.5", true, "14"},   {"1E3", true, "1000"},
        {"2.5D1", true, "25"},  {"&H10", true, "16"},     {"0", false, "0"},      {"65537", false, "65537"},
        {"0.4", false, "0"},    {"abc", false, "abc"},    {"", false, ""},        {"1e", false, "1e"},
        {"1,000", false, "1,000"}, {"99999999999", false, "99999999999"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << '"' << c.typed << '"');
        messages.clear();
        wizard.fraText[1]->setText(text(c.typed));
        EXPECT_EQ(wizard.StartCellIsValid(), c.valid);
        EXPECT_EQ(wizard.fraText[1]->text(), text(c.after));
        EXPECT_EQ(messages.shown().size(), c.valid ? 0u : 1u);
        if (c.valid)
            continue;
        EXPECT_EQ(messages.single(),
                  (RecordedMessage{text("Invalid row specified for the row position"), text("Invalid row"), MessageIcon::Stop}));
        EXPECT_EQ(wizard.fraText[1]->selectedText(), text(c.after));
    }
}

}  // namespace
