// The dimension layout step: drops between the four lists, the measures
// rule, and the arrow buttons.
#include "designwizard.h"

#include "wizard/design/layoutdrag.h"
#include "support/controls.h"
#include "widgets/smallcube.h"

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QTest>
#include <QToolButton>

namespace {

constexpr int kUnselected = 0, kBackground = 1, kRows = 2, kColumns = 3;

QString text(const char* s) { return QString::fromLatin1(s); }

// The store cube: its measures stand in the Rows area and may not leave it.
class LayoutStep : public DesignSteps {
protected:
    void SetUp() override
    {
        writeDesignStore(folder.path());
        openStoreCube(folder.path(), text("Design"));
    }
    void clickArrow(int index) { findControl<QToolButton>(&wizard, "butMovement", index)->click(); }
    void focusList(int index)
    {
        QApplication::setActiveWindow(&wizard);
        layoutList(index)->setFocus();
        ASSERT_EQ(wizard.focusedList(), index);
    }
};

TEST_F(LayoutStep, StoreCubeStartsWithTheMeasuresInTheRows)
{
    EXPECT_EQ(entries(layoutList(kRows)), QStringList{text("Measures")});
    EXPECT_EQ(entries(layoutList(kColumns)), QStringList{text("Time")});
    EXPECT_EQ(entries(layoutList(kBackground)), (QStringList{text("Product"), text("City"), text("Channel")}));
    EXPECT_TRUE(entries(layoutList(kUnselected)).isEmpty());
}

TEST_F(LayoutStep, MeasuresCannotBeDraggedOutOfTheRows)
{
    select(kBackground, text("Product"));
    ASSERT_TRUE(drop(kBackground, kRows));
    select(kRows, text("Measures"));
    EXPECT_TRUE(drop(kRows, kBackground));
    const RecordedMessage shown = messages.single();
    EXPECT_EQ(shown.text, text("The Measure Member cannot be moved outside the Row"));
    EXPECT_EQ(shown.title, text("Measure Movement"));
    EXPECT_EQ(shown.icon, MessageIcon::Exclamation);
    EXPECT_EQ(entries(layoutList(kRows)), (QStringList{text("Measures"), text("Product")}));
    EXPECT_EQ(entries(layoutList(kBackground)), (QStringList{text("City"), text("Channel")}));
}

TEST_F(LayoutStep, DraggingAnotherRowDimensionOutSelectsItThereAndTheMeasuresHere)
{
    select(kBackground, text("Product"));
    ASSERT_TRUE(drop(kBackground, kRows));
    select(kRows, text("Product"));
    ASSERT_TRUE(drop(kRows, kBackground));
    EXPECT_TRUE(messages.shown().empty());
    EXPECT_EQ(entries(layoutList(kRows)), QStringList{text("Measures")});
    EXPECT_EQ(entries(layoutList(kBackground)), (QStringList{text("City"), text("Channel"), text("Product")}));
    EXPECT_EQ(selected(layoutList(kBackground)), text("Product"));
    EXPECT_EQ(selected(layoutList(kRows)), text("Measures"));
}

TEST_F(LayoutStep, TheSourceKeepsASelectionNextToTheGap)
{
    struct Case {
        const char* dragged;
        const char* selectedAfter;
    } const cases[] = {{"Product", "City"}, {"City", "Product"}, {"Channel", "City"}};
    const QStringList threeEntries{text("Product"), text("City"), text("Channel")};
    for (const Case& c : cases) {
        layoutList(kBackground)->clear();
        layoutList(kBackground)->addItems(threeEntries);
        select(kBackground, text(c.dragged));
        ASSERT_TRUE(drop(kBackground, kUnselected));
        EXPECT_EQ(selected(layoutList(kBackground)), text(c.selectedAfter)) << c.dragged;
        EXPECT_EQ(entries(layoutList(kBackground)).size(), 2);
    }
    EXPECT_EQ(entries(layoutList(kUnselected)), threeEntries);
}

TEST_F(LayoutStep, UnselectedIsAnOrdinarySourceAndTarget)
{
    select(kBackground, text("City"));
    ASSERT_TRUE(drop(kBackground, kUnselected));
    EXPECT_EQ(entries(layoutList(kUnselected)), QStringList{text("City")});
    ASSERT_TRUE(drop(kUnselected, kColumns));
    EXPECT_TRUE(entries(layoutList(kUnselected)).isEmpty());
    EXPECT_EQ(entries(layoutList(kColumns)), (QStringList{text("Time"), text("City")}));
    EXPECT_EQ(selected(layoutList(kColumns)), text("City"));
}

TEST_F(LayoutStep, DroppingOnTheListItCameFromChangesNothing)
{
    select(kBackground, text("Product"));
    drop(kBackground, kBackground);
    EXPECT_EQ(entries(layoutList(kBackground)), (QStringList{text("Product"), text("City"), text("Channel")}));
    EXPECT_EQ(selected(layoutList(kBackground)), text("Product"));
}

TEST_F(LayoutStep, ListsRefuseDragsThatAreNotThisWizardsDimensions)
{
    QMimeData plainText;
    plainText.setText(text("Product"));
    DesignWizard other;
    const std::unique_ptr<QMimeData> otherWizards(layoutDragData(&other, kBackground));
    QWidget* viewport = layoutList(kRows)->viewport();
    for (QMimeData* data : {&plainText, otherWizards.get()}) {
        QDragEnterEvent enter(QPoint(5, 5), Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &enter);
        EXPECT_FALSE(enter.isAccepted());
        QDropEvent dropped(QPointF(5, 5), Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &dropped);
    }
    EXPECT_EQ(entries(layoutList(kRows)), QStringList{text("Measures")});
    EXPECT_EQ(entries(layoutList(kBackground)).size(), 3);
}

TEST_F(LayoutStep, ArrowsMoveTheSelectedEntryOfTheListThatLastHadTheFocus)
{
    focusList(kBackground);
    select(kBackground, text("City"));
    clickArrow(0);
    EXPECT_EQ(entries(layoutList(kBackground)), (QStringList{text("City"), text("Product"), text("Channel")}));
    EXPECT_EQ(selected(layoutList(kBackground)), text("City"));
    clickArrow(1);
    clickArrow(1);
    EXPECT_EQ(entries(layoutList(kBackground)), (QStringList{text("Product"), text("Channel"), text("City")}));
    EXPECT_EQ(selected(layoutList(kBackground)), text("City"));
    EXPECT_TRUE(layoutList(kBackground)->hasFocus());
}

TEST_F(LayoutStep, ArrowsStopAtTheEndsAndNeedASelection)
{
    focusList(kBackground);
    const QStringList start{text("Product"), text("City"), text("Channel")};
    select(kBackground, text("Product"));
    clickArrow(0);
    EXPECT_EQ(entries(layoutList(kBackground)), start);
    select(kBackground, text("Channel"));
    clickArrow(1);
    EXPECT_EQ(entries(layoutList(kBackground)), start);
    layoutList(kBackground)->clearSelection();
    clickArrow(0);
    clickArrow(1);
    EXPECT_EQ(entries(layoutList(kBackground)), start);
}

TEST_F(LayoutStep, ArrowsFollowTheFocusToAnotherList)
{
    focusList(kBackground);
    select(kBackground, text("City"));
    focusList(kColumns);
    select(kBackground, text("Product"));
    ASSERT_TRUE(drop(kBackground, kColumns));  // the drop gives Columns the focus and selects Product
    clickArrow(0);
    EXPECT_EQ(entries(layoutList(kColumns)), (QStringList{text("Product"), text("Time")}));
    EXPECT_EQ(entries(layoutList(kBackground)), (QStringList{text("City"), text("Channel")}));
}

// The one-dimension cube leaves the Columns area empty: the step may be
// arranged that way, but not left.
TEST_F(DesignSteps, LeavingTheLayoutWithAnEmptyAreaIsRefused)
{
    writeSmallCube(folder / "Small.cub");
    openLocalCube(folder / "Small.cub");
    EXPECT_EQ(entries(layoutList(kRows)), QStringList{text("City")});
    select(kRows, text("City"));
    ASSERT_TRUE(drop(kRows, kColumns));
    clickNext();
    EXPECT_EQ(wizard.currentStep(), 2);
    EXPECT_EQ(messages.single().text, text("The row and column areas must contain at least one dimension."));
}

}  // namespace
