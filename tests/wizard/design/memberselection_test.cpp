// The member steps: one editor per dimension opened, the default selection,
// and the checks that members are chosen.
#include "membersteps.h"

#include "widgets/membertreemodel.h"
#include "widgets/nxdimeditctrl.h"

#include <QTreeView>

namespace {

QString text(const char* s) { return QString::fromLatin1(s); }

using MemberSelection = MemberSteps;

TEST_P(MemberSelection, MeasuresStepChecksEveryMeasure)
{
    goToStep(3);
    ASSERT_EQ(wizard.currentStep(), 3);
    const QString listed = GetParam() == CubeModel::Store ? text("Measure List") : text("Measures");
    EXPECT_EQ(entries(optionsList(0)), QStringList{listed});
    EXPECT_EQ(checkedCaptions(wizard.measuresEditor()), (Captions{"Units", "Amount"}));
}

TEST_P(MemberSelection, OpeningADimensionChecksItsTopLevelOrTheLevelBelowASingleTopMember)
{
    goToStep(4);
    ASSERT_EQ(wizard.currentStep(), 4);
    const struct {
        const char* dimension;
        Captions checked;
    } cases[] = {{"Product", {"Drinks", "Food"}}, {"City", {"Paris", "Rome", "Oslo"}}, {"Channel", {"Web"}}};
    for (const auto& c : cases) {
        open(1, text(c.dimension));
        NxDimEditCtrl* editor = editorOf(1, text(c.dimension));
        ASSERT_NE(editor, nullptr) << c.dimension;
        EXPECT_EQ(frontEditor(1), editor) << c.dimension;
        EXPECT_EQ(checkedCaptions(editor), c.checked) << c.dimension;
        EXPECT_EQ(wizard.dimensionName(), text(c.dimension));
    }
    // The checked members below the single top member are in view.
    NxDimEditCtrl* product = editorOf(1, text("Product"));
    const QModelIndex top = product->treeModel()->indexOf(memberNamed(product, "All Products"));
    EXPECT_TRUE(product->treeView()->isExpanded(top));
    EXPECT_TRUE(messages.shown().empty());
}

TEST_P(MemberSelection, EachDimensionGetsItsOwnEditorOnce)
{
    goToStep(4);
    const QStringList opened = entries(optionsList(1));
    for (const QString& name : opened)
        open(1, name);
    for (const QString& name : opened)
        open(1, name);
    ASSERT_EQ(wizard.rowEditors().size(), size_t(opened.size()));
    for (size_t i = 0; i < wizard.rowEditors().size(); ++i) {
        EXPECT_EQ(wizard.rowEditors()[i]->objectName(), text("NxDimEditRows"));
        EXPECT_EQ(wizard.rowEditors()[i]->property("index").toInt(), int(i));
        EXPECT_EQ(editorOf(1, opened[int(i)]), wizard.rowEditors()[i]);
    }
}

TEST_P(MemberSelection, ReopeningADimensionShowsItsEditorWithItsChecks)
{
    goToStep(4);
    open(1, text("City"));
    NxDimEditCtrl* city = editorOf(1, text("City"));
    check(city, {"Rome"}, true);
    open(1, text("Product"));
    EXPECT_EQ(frontEditor(1), editorOf(1, text("Product")));
    const size_t editors = wizard.rowEditors().size();
    open(1, text("City"));
    EXPECT_EQ(frontEditor(1), city);
    EXPECT_EQ(checkedCaptions(city), (Captions{"Paris", "Oslo"}));
    EXPECT_EQ(wizard.rowEditors().size(), editors);
    EXPECT_TRUE(messages.shown().empty());
}

TEST_P(MemberSelection, SwitchingAwayFromADimensionWithoutMembersIsRefusedAndTheListStays)
{
    goToStep(4);
    open(1, text("Product"));
    const size_t editors = wizard.rowEditors().size();
    uncheckAll(editorOf(1, text("Product")));
    open(1, text("City"));
    const RecordedMessage shown = messages.single();
    EXPECT_EQ(shown.text, text("At least one member of the first child level in this dimension must be selected"));
    EXPECT_EQ(shown.title, text("Select Members"));
    EXPECT_EQ(shown.icon, MessageIcon::Stop);
    EXPECT_EQ(selected(optionsList(1)), text("Product"));
    EXPECT_EQ(wizard.dimensionName(), text("Product"));
    EXPECT_EQ(editorOf(1, text("City")), nullptr);
    EXPECT_EQ(wizard.rowEditors().size(), editors);
}

// Each case leaves the shown dimension with too few members and tries to
// move on; the defaults are put back before the next case.
TEST_P(MemberSelection, LeavingTheRowStepNeedsMembersOfTheShownDimension)
{
    const char* const oneMember = "At least one member for this dimension must be selected";
    const char* const childLevel = "At least one member of the first child level in this dimension must be selected";
    const struct {
        const char* dimension;
        Captions checkedAfterClearing;
        const char* text;
        const char* title;
    } cases[] = {
        {"Product", {}, childLevel, "Select Members"},
        {"Product", {"All Products"}, childLevel, "Select Members"},  // the all member alone
        {"City", {}, oneMember, "Select Member"},                     // a level of several members
        {"Channel", {}, oneMember, "Select Member"},                  // one level, one member
    };
    goToStep(4);
    for (const auto& c : cases) {
        open(1, text(c.dimension));
        NxDimEditCtrl* editor = editorOf(1, text(c.dimension));
        const DimMembers defaults = editor->checkedMembers();
        uncheckAll(editor);
        check(editor, c.checkedAfterClearing);
        messages.clear();
        clickNext();
        EXPECT_EQ(wizard.currentStep(), 4) << c.dimension;
        const RecordedMessage shown = messages.single();
        EXPECT_EQ(shown.text, text(c.text)) << c.dimension;
        EXPECT_EQ(shown.title, text(c.title)) << c.dimension;
        EXPECT_EQ(selected(optionsList(1)), text(c.dimension));
        editor->checkMembers(defaults, false);
    }
}

TEST_P(MemberSelection, TheAllMemberWithOneMemberBelowItIsEnough)
{
    goToStep(4);
    open(1, text("Product"));
    NxDimEditCtrl* product = editorOf(1, text("Product"));
    uncheckAll(product);
    check(product, {"All Products", "Cake"});
    clickNext();
    EXPECT_EQ(wizard.currentStep(), 5);
    EXPECT_TRUE(messages.shown().empty());
}

TEST_P(MemberSelection, ColumnStepHasItsOwnEditorsAndBackAndForthKeepsThem)
{
    goToStep(5);
    ASSERT_EQ(wizard.currentStep(), 5);
    NxDimEditCtrl* time = editorOf(2, text("Time"));
    ASSERT_EQ(time, wizard.columnEditors().front());
    EXPECT_EQ(checkedCaptions(time), (Captions{"1997", "1998"}));
    check(time, {"1998"}, true);
    clickBack();
    clickBack();
    goToStep(5);
    ASSERT_EQ(wizard.currentStep(), 5);
    EXPECT_EQ(wizard.columnEditors().size(), size_t(1));
    EXPECT_EQ(checkedCaptions(time), Captions{"1997"});
    uncheckAll(time);
    clickNext();
    EXPECT_EQ(wizard.currentStep(), 5);
    EXPECT_EQ(messages.single().title, text("Select Member"));
}

INSTANTIATE_TEST_SUITE_P(BothModels, MemberSelection, testing::Values(CubeModel::LocalFile, CubeModel::Store),
                         modelName);

}  // namespace
