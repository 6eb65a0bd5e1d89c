// The member steps over both cube models: the rule for leaving the step and
// the right-click menu that checks groups of members. The default selection
// and the editor brought to the front are the end-to-end and keyboard walks'.
#include "designsteps.h"
#include "widgets/membertreemodel.h"
#include "widgets/nxdimeditctrl.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QMenu>
#include <QTreeView>


namespace {

// City and Channel join Product in the Rows area; Time stays in Columns.
class MemberSteps : public DesignSteps, public testing::WithParamInterface<CubeModel> {
protected:
    void SetUp() override
    {
        openDesign(GetParam());
        for (const char* name : {"Product", "City", "Channel"})
            if (!layout(kBackground)->findItems(text(name), Qt::MatchExactly).isEmpty())
                move(kBackground, name, kRows);
        goToStep(4);
        ASSERT_EQ(wizard.currentStep(), 4);
    }
    // Picks `name` in the row (1) or column (2) members list; its editor.
    NxDimEditCtrl* open(int area, const char* name)
    {
        select(wizard.lstCubeOptions[size_t(area)], text(name));
        return wizard.editorOf(area, text(name));
    }
    // Right-clicks `member` in `editor` (its parent opened first) and chooses menu item `item`.
    void choose(NxDimEditCtrl* editor, const char* member, const char* item)
    {
        const DimMember clicked = memberNamed(editor, member);
        if (const DimMember parent = clicked.parent())
            editor->setMemberDrilled(parent, true);
        const QModelIndex index = editor->treeModel()->indexOf(clicked);
        editor->treeView()->scrollTo(index);
        const QPoint at = editor->treeView()->visualRect(index).center();
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, editor->treeView()->viewport()->mapToGlobal(at));
        QApplication::sendEvent(editor->treeView()->viewport(), &event);
        QTRY_VERIFY(wizard.mnuCheckOptions->isVisible());
        if (*item)
            wizard.mnuCheckOptions->findChild<QAction*>(text(item))->trigger();
    }
};

TEST_P(MemberSteps, LeavingTheRowStepNeedsMembersOfTheShownDimension)
{
    const char* const oneMember = "At least one member for this dimension must be selected";
    const char* const childLevel = "At least one member of the first child level in this dimension must be selected";
    const struct {
        const char* dimension;
        Names checked;
        const char* text;  // nullptr: accepted
        const char* title;
    } cases[] = {
        {"Product", {}, childLevel, "Select Members"},
        {"Product", {"All Products"}, childLevel, "Select Members"},  // the all member alone
        {"City", {}, oneMember, "Select Member"},                     // a level of several members
        {"Channel", {}, oneMember, "Select Member"},                  // one level, one member
        {"Product", {"All Products", "Cake"}, nullptr, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.dimension << " " << c.checked.size());
        NxDimEditCtrl* editor = open(1, c.dimension);
        const DimMembers defaults = editor->checkedMembers();
        uncheckAll(editor);
        check(editor, c.checked);
        messages.clear();
        EXPECT_EQ(next(), c.text == nullptr);
        if (c.text) {
            EXPECT_EQ(messages.single(), (RecordedMessage{text(c.text), text(c.title), MessageIcon::Stop}));
            EXPECT_EQ(selected(wizard.lstCubeOptions[1]), text(c.dimension));
        }
        editor->checkMembers(defaults, false);
    }
}

TEST_P(MemberSteps, TheMenuChecksAndUnchecksGroupsInTheEditorItWasOpenedIn)
{
    NxDimEditCtrl* product = open(1, "Product");
    NxDimEditCtrl* city = open(1, "City");
    const struct {
        NxDimEditCtrl* editor;
        bool clearFirst;
        const char* member;
        const char* item;
        Names checked;
    } cases[] = {
        {city, false, "Rome", "mnuDeselectSiblings", {}},  // the top level's siblings: the whole level
        {city, false, "Oslo", "mnuSelectSiblings", {"Paris", "Rome", "Oslo"}},
        {product, true, "Food", "mnuSelectChildren", {"Bread", "Cake"}},
        {product, false, "Food", "mnuDeselectChildren", {}},
        {product, false, "All Products", "mnuSelectAllDescendants", {"Drinks", "Cola", "Juice", "Food", "Bread", "Cake"}},
        {product, false, "Drinks", "mnuDeselectAllDescendants", {"Drinks", "Food", "Bread", "Cake"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.member << " " << c.item);
        if (c.clearFirst)
            uncheckAll(c.editor);
        choose(c.editor, c.member, c.item);
        wizard.mnuCheckOptions->hide();
        EXPECT_EQ(checkedCaptions(c.editor), c.checked);
    }
    EXPECT_EQ(checkedCaptions(city), (Names{"Paris", "Rome", "Oslo"}));
}

INSTANTIATE_TEST_SUITE_P(BothModels, MemberSteps, testing::Values(CubeModel::LocalFile, CubeModel::Store),
                         [](const testing::TestParamInfo<CubeModel>& info) {
                             return info.param == CubeModel::LocalFile ? "LocalCubeFile" : "StoreCube";
                         });

}  // namespace
