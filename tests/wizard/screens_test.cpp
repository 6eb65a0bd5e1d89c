// The screens: every control the wizard addresses, with its name, kind,
// index and caption, and the texts the user reads.
#include "wizard/control/nxpivotwizardctrl.h"
#include "support/controls.h"
#include "support/recordingmessages.h"
#include "support/tempsettings.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTabWidget>

#include <gtest/gtest.h>

namespace {

class Screens : public testing::Test {
protected:
    TempSettings settings;
    RecordingMessages messages;
    NxPivotWizardCtrl wizard;

    template <class T>
    T* control(const char* name, int index = -1) { return findControl<T>(&wizard, name, index); }
    QString labelText(const char* name, int index = -1) { return control<QLabel>(name, index)->text(); }
};

QString shownAs(QString text) { return text.replace(QLatin1Char('\r'), QLatin1Char('\n')); }

TEST_F(Screens, SevenStepFramesStackWithTheWelcomeFrameInFront)
{
    auto* stack = wizard.findChild<QStackedWidget*>(QStringLiteral("frameStack"));
    ASSERT_EQ(stack->count(), 7);
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(stack->widget(i), control<QWidget>("fralayout", i));
    EXPECT_EQ(stack->currentIndex(), 0);
}

struct Caption {
    const char* name;
    int index;
    const char* text;
};

TEST_F(Screens, ButtonsAndCheckBoxesCarryTheirCaptions)
{
    const Caption captions[] = {
        {"butCommand", 0, "<- Back"}, {"butCommand", 1, "Next ->"}, {"butCommand", 2, "Finish"},
        {"butCommand", 3, "Cancel"}, {"chkSkip", -1, "&Skip this screen in the future"},
        {"chkDisplay", 1, "Include Chart"}, {"chkDisplay", 0, "Alter Pivot Report Format"},
        {"chkRowGrand", -1, "Grandtotal rows"}, {"chkColumnsGrand", -1, "Grandtotal columns"},
        {"chkRowSubs", -1, "Subtotal rows"}, {"chkColumnSubs", -1, "Subtotal columns"},
        {"chkDps", -1, "Set decimal places"}};
    for (const Caption& c : captions) {
        auto* button = control<QAbstractButton>(c.name, c.index);
        ASSERT_NE(button, nullptr) << c.name << "(" << c.index << ")";
        EXPECT_EQ(button->text(), QString::fromUtf8(c.text)) << c.name;
    }
}

TEST_F(Screens, LabelsCarryTheirFixedCaptions)
{
    const Caption captions[] = {
        {"lblTitle", 1, "Select the Cube to use "}, {"lblTitle", 2, "Layout of PivotTable Report"},
        {"lblTitle", 3, "Select Measures to include in report"},
        {"lblTitle", 0, "Select Row Members to include in report"},
        {"lblTitle", 5, "Select Column Members to include in report"},
        {"lblTitle", 4, "How to display information"}, {"lblUnselected", -1, "Unselected"},
        {"fraLabel", 12, "Background"}, {"fraLabel", 6, "Rows"}, {"fraLabel", 11, "Columns"},
        {"fraLabel", 15, "Select Dimension"}, {"fraLabel", 25, "Select Dimension"},
        {"fraLabel", 16, "Where would you like the pivot report to be positioned?"},
        {"fraLabel", 29, "Worksheet"}, {"fraLabel", 28, "Column"}, {"fraLabel", 27, "Row"},
        {"lblFormatOptions", -1, "Formatting options"}};
    for (const Caption& c : captions) {
        ASSERT_NE(control<QLabel>(c.name, c.index), nullptr) << c.name << "(" << c.index << ")";
        EXPECT_EQ(labelText(c.name, c.index), QString::fromUtf8(c.text)) << c.name << "(" << c.index << ")";
    }
}

TEST_F(Screens, TitlesSitOnTheFramesOfTheirSteps)
{
    const int titleOfStep[] = {-1, 1, 2, 3, 0, 5, 4};
    for (int step = 1; step <= 6; ++step) {
        auto* title = control<QLabel>("lblTitle", titleOfStep[step]);
        EXPECT_TRUE(control<QWidget>("fralayout", step)->isAncestorOf(title)) << "step " << step;
    }
}

TEST_F(Screens, DescriptionLabelsShowTheStartUpTextsWithLineBreaks)
{
    const Caption texts[] = {
        {"lblStepDescription", 1, "This step is where you select the cube where the data for your pivot report will be taken from."},
        {"lblStepDescription", 2, "This step allows you to specify what dimensions you want to appear in the rows, columns\rand background of the report."},
        {"lblStepDescription", 3, "This step  is where you select the measures to include in the pivot report."},
        {"lblStepDescription", 4, "This step allows you to specify which members of the row dimensions are to be included\rin the report."},
        {"lblStepDescription", 5, "This step allows you to specify which members of the column dimensions are to be included\rin the report."},
        {"lblStepDescription", 6, "This step is where you specify the location of the pivot report, and whether you\rwant a chart generated as well."},
        {"lblSelectModel", 0, "Select a cube from one of the computer drives.\r\rYou can pick either a \".cub\" file or a \".BWC\" file."},
        {"lblSelectModel", 1, "Select one of the cubes in your application store."},
        {"lblReportLayout", -1, "Drag and drop the dimensions to where you would like them to appear in the report.\r\rThere must be at least one dimension in each of the row and column areas but none are needed in the background area\r\rYou can specify in what order the dimensions will appear in their respective areas by using the up and down arrow buttons."},
        {"lblSelectMeasures", -1, "Use checkboxes to select measures.\r\rRight click in the window to the left for options."},
        {"lblSelectRows", -1, "Use checkboxes to select members.\r\rYou can select other row dimensions from the drop down list at the top.\r\rRight click in window to the left for options."},
        {"lblSelectColumns", -1, "Use checkboxes to select members.\r\rYou can select other column dimensions from the drop down list at the top.\r\rRight click in the window to the left for options."}};
    for (const Caption& c : texts)
        EXPECT_EQ(labelText(c.name, c.index), shownAs(QString::fromUtf8(c.text))) << c.name << "(" << c.index << ")";
}

TEST_F(Screens, ControlArraysKeepTheirIndicesOnTheirSteps)
{
    struct Placement { const char* name; int index; int step; };
    const Placement placements[] = {
        {"lstCubeDetails", 0, 2}, {"lstCubeDetails", 1, 2}, {"lstCubeDetails", 2, 2}, {"lstCubeDetails", 3, 2},
        {"lstCubeOptions", 0, 3}, {"lstCubeOptions", 1, 4}, {"lstCubeOptions", 2, 5},
        {"butMovement", 0, 2}, {"butMovement", 1, 2}, {"NxDimEditRows", 0, 4}, {"NxDimEditCols", 0, 5},
        {"NxDimEditMembers", -1, 3}, {"NxCubeSelectorCtrl1", -1, 1}, {"tabCube", -1, 1},
        {"DriveCube", -1, 1}, {"DirCube", -1, 1}, {"FileCube", -1, 1}, {"cmbCubeFileTypes", -1, 1},
        {"NxStoreLoader", -1, 1}, {"Image1", -1, 0}, {"chkSkip", -1, 0}, {"cboInsertSheet", -1, 6},
        {"cboAZ", -1, 6}, {"fraText", 1, 6}, {"vRowScroll", -1, 6}, {"dpscrllbr", -1, 6}, {"lblDps", -1, 6}};
    for (const Placement& p : placements) {
        auto* widget = control<QWidget>(p.name, p.index);
        ASSERT_NE(widget, nullptr) << p.name << "(" << p.index << ")";
        EXPECT_TRUE(control<QWidget>("fralayout", p.step)->isAncestorOf(widget)) << p.name;
    }
}

TEST_F(Screens, CubeTabsAndFilePatternsAreInPlace)
{
    auto* tabs = control<QTabWidget>("tabCube");
    ASSERT_EQ(tabs->count(), 2);
    EXPECT_EQ(tabs->tabText(0), QStringLiteral("Select Cube from Disk"));
    EXPECT_EQ(tabs->tabText(1), QStringLiteral("Select Application Cube"));
    EXPECT_EQ(control<QComboBox>("cmbCubeFileTypes")->count(), 3);
    EXPECT_EQ(control<QComboBox>("cmbCubeFileTypes")->currentIndex(), 0);
}

TEST_F(Screens, StartColumnListHoldsTheTwoHundredFiftySixColumnNames)
{
    auto* columns = control<QComboBox>("cboAZ");
    ASSERT_EQ(columns->count(), 256);
    EXPECT_EQ(columns->itemText(0), QStringLiteral("A"));
    EXPECT_EQ(columns->itemText(25), QStringLiteral("Z"));
    EXPECT_EQ(columns->itemText(26), QStringLiteral("AA"));
    EXPECT_EQ(columns->itemText(51), QStringLiteral("AZ"));
    EXPECT_EQ(columns->itemText(52), QStringLiteral("BA"));
    EXPECT_EQ(columns->itemText(233), QStringLiteral("HZ"));
    EXPECT_EQ(columns->itemText(234), QStringLiteral("IA"));
    EXPECT_EQ(columns->itemText(255), QStringLiteral("IV"));
    EXPECT_EQ(columns->currentText(), QStringLiteral("A"));
}

TEST_F(Screens, SpinnersStartAtTheirValuesAndShowTheirAbsoluteValue)
{
    auto* rows = control<QScrollBar>("vRowScroll");
    auto* places = control<QScrollBar>("dpscrllbr");
    EXPECT_EQ(control<QLineEdit>("fraText", 1)->text(), QStringLiteral("1"));
    EXPECT_EQ(rows->minimum(), -32767);
    EXPECT_EQ(rows->maximum(), -1);
    EXPECT_EQ(places->minimum(), -15);
    EXPECT_EQ(places->maximum(), 0);
    EXPECT_EQ(places->value(), -2);
    rows->setValue(-42);
    places->setValue(-5);
    EXPECT_EQ(control<QLineEdit>("fraText", 1)->text(), QStringLiteral("42"));
    EXPECT_EQ(labelText("lblDps"), QStringLiteral("5"));
}

TEST_F(Screens, DecimalPlacesSpinnerFollowsItsCheckBox)
{
    auto* check = control<QCheckBox>("chkDps");
    check->click();
    EXPECT_TRUE(control<QScrollBar>("dpscrllbr")->isEnabled());
    EXPECT_TRUE(control<QLabel>("lblDps")->isEnabled());
    check->click();
    EXPECT_FALSE(control<QScrollBar>("dpscrllbr")->isEnabled());
}

TEST_F(Screens, CheckOptionsMenuOffersSelectAndDeselectGroups)
{
    auto* menu = wizard.findChild<QMenu*>(QStringLiteral("mnuCheckOptions"));
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->title(), QStringLiteral("Check Options"));
    const char* actions[][2] = {{"mnuSelectSiblings", "Siblings"}, {"mnuSelectChildren", "Children"},
                                {"mnuSelectAllDescendants", "All Descendants"},
                                {"mnuDeselectSiblings", "Siblings"}, {"mnuDeselectChildren", "Children"},
                                {"mnuDeselectAllDescendants", "All Descendants"}};
    for (const auto& a : actions) {
        auto* action = menu->findChild<QAction*>(QString::fromLatin1(a[0]));
        ASSERT_NE(action, nullptr) << a[0];
        EXPECT_EQ(action->text(), QString::fromLatin1(a[1]));
    }
    EXPECT_EQ(menu->findChild<QMenu*>(QStringLiteral("mnuSelect"))->title(), QStringLiteral("Select"));
    EXPECT_EQ(menu->findChild<QMenu*>(QStringLiteral("mnuDeselect"))->title(), QStringLiteral("Deselect"));
}

}  // namespace
