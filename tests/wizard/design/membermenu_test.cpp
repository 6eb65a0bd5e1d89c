// The right-click menu of the member editors: which items it offers and the
// groups of members its items check and uncheck.
#include "membersteps.h"

#include "widgets/nxdimeditctrl.h"

#include <QAction>
#include <QMenu>
#include <QTest>

namespace {

QString text(const char* s) { return QString::fromLatin1(s); }

class MemberMenu : public MemberSteps {
protected:
    QMenu* menu() const { return wizard.findChild<QMenu*>(text("mnuCheckOptions")); }
    QAction* item(const char* name) const { return menu()->findChild<QAction*>(text(name)); }

    // Right-clicks `caption` in `editor` and chooses menu item `name`.
    void choose(NxDimEditCtrl* editor, const std::string& caption, const char* name)
    {
        rightClick(editor, memberNamed(editor, caption));
        QTRY_VERIFY(menu()->isVisible());
        item(name)->trigger();
        menu()->hide();
    }
};

TEST_P(MemberMenu, ChildrenAndDescendantsAreOfferedOnlyForMembersWithChildren)
{
    goToStep(4);
    open(1, text("Product"));
    NxDimEditCtrl* product = editorOf(1, text("Product"));
    const char* const childItems[] = {"mnuSelectChildren", "mnuDeselectChildren", "mnuSelectAllDescendants",
                                      "mnuDeselectAllDescendants"};
    for (const auto& [caption, withChildren] : {std::pair{"Drinks", true}, std::pair{"Cola", false}}) {
        rightClick(product, memberNamed(product, caption));
        QTRY_VERIFY(menu()->isVisible());
        for (const char* name : childItems)
            EXPECT_EQ(item(name)->isVisible(), withChildren) << caption << " " << name;
        EXPECT_TRUE(item("mnuSelectSiblings")->isVisible());
        EXPECT_TRUE(item("mnuDeselectSiblings")->isVisible());
        menu()->hide();
    }
}

TEST_P(MemberMenu, DeselectSiblingsOfATopLevelMemberUnchecksTheWholeLevel)
{
    goToStep(4);
    open(1, text("City"));
    NxDimEditCtrl* city = editorOf(1, text("City"));
    choose(city, "Rome", "mnuDeselectSiblings");
    EXPECT_TRUE(checkedCaptions(city).empty());
    choose(city, "Oslo", "mnuSelectSiblings");
    EXPECT_EQ(checkedCaptions(city), (Captions{"Paris", "Rome", "Oslo"}));
}

TEST_P(MemberMenu, SiblingsBelowTheTopAreTheParentsChildren)
{
    goToStep(4);
    open(1, text("Product"));
    NxDimEditCtrl* product = editorOf(1, text("Product"));
    uncheckAll(product);
    choose(product, "Juice", "mnuSelectSiblings");
    EXPECT_EQ(checkedCaptions(product), (Captions{"Cola", "Juice"}));
}

TEST_P(MemberMenu, ChildrenAreCheckedAndUncheckedInOrder)
{
    goToStep(4);
    open(1, text("Product"));
    NxDimEditCtrl* product = editorOf(1, text("Product"));
    choose(product, "Food", "mnuSelectChildren");
    EXPECT_EQ(checkedCaptions(product), (Captions{"Drinks", "Food", "Bread", "Cake"}));
    choose(product, "Food", "mnuDeselectChildren");
    EXPECT_EQ(checkedCaptions(product), (Captions{"Drinks", "Food"}));
}

TEST_P(MemberMenu, AllDescendantsGoDepthFirstWithoutTheMemberItself)
{
    goToStep(4);
    open(1, text("Product"));
    NxDimEditCtrl* product = editorOf(1, text("Product"));
    uncheckAll(product);
    choose(product, "All Products", "mnuSelectAllDescendants");
    EXPECT_EQ(checkedCaptions(product), (Captions{"Drinks", "Cola", "Juice", "Food", "Bread", "Cake"}));
    check(product, {"All Products"});
    choose(product, "All Products", "mnuDeselectAllDescendants");
    EXPECT_EQ(checkedCaptions(product), Captions{"All Products"});
}

TEST_P(MemberMenu, TheMenuActsOnTheEditorItWasOpenedIn)
{
    goToStep(4);
    open(1, text("Product"));
    open(1, text("City"));
    NxDimEditCtrl* product = editorOf(1, text("Product"));
    NxDimEditCtrl* city = editorOf(1, text("City"));
    ASSERT_NE(product, city);
    choose(city, "Paris", "mnuDeselectSiblings");
    EXPECT_TRUE(checkedCaptions(city).empty());
    EXPECT_EQ(checkedCaptions(product), (Captions{"Drinks", "Food"}));

    check(city, {"Paris"});
    goToStep(5);
    ASSERT_EQ(wizard.currentStep(), 5);
    NxDimEditCtrl* time = editorOf(2, text("Time"));
    choose(time, "1997", "mnuSelectChildren");
    EXPECT_EQ(checkedCaptions(time), (Captions{"1997", "1998", "Q1", "Q2"}));
    EXPECT_EQ(checkedCaptions(city), Captions{"Paris"});
}

TEST_P(MemberMenu, OnTheMeasuresStepTheMenuActsOnTheMeasures)
{
    goToStep(3);
    ASSERT_EQ(wizard.currentStep(), 3);
    NxDimEditCtrl* measures = wizard.measuresEditor();
    choose(measures, "Amount", "mnuDeselectSiblings");
    EXPECT_TRUE(checkedCaptions(measures).empty());
    clickNext();
    EXPECT_EQ(wizard.currentStep(), 3);
    EXPECT_EQ(messages.single().title, text("Measures required"));
}

INSTANTIATE_TEST_SUITE_P(BothModels, MemberMenu, testing::Values(CubeModel::LocalFile, CubeModel::Store), modelName);

}  // namespace
