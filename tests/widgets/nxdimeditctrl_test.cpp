// The member tree editor over a small real cube, in both of its modes.
#include "editorfixture.h"
#include "support/failureof.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QContextMenuEvent>
#include <QSignalSpy>
#include <QTest>
#include <QTreeView>

namespace {

// Product: All Products > Drinks (Cola, Juice), Food (Bread, Cake). City:
// one level of 40 cities.
class MemberEditor : public EditorFixture {
protected:
    void SetUp() override { openCube({"Drinks/Cola", "Drinks/Juice", "Food/Bread", "Food/Cake"}, 40); }

    DimMembers cities() const
    {
        DimMembers members;
        for (int i = 0; i < top("City").count(); ++i)
            members.push_back(top("City").at(i));
        return members;
    }

    MemberTreeModel* model() const { return editor.treeModel(); }
    QTreeView* tree() const { return editor.treeView(); }
    QModelIndex indexOf(const Captions& path) const { return model()->indexOf(product(path)); }
    int boxOf(const Captions& path) const { return model()->data(indexOf(path), Qt::CheckStateRole).toInt(); }

    // Shows the editor with the Product tree expanded to the items.
    void showExpandedProducts()
    {
        editor.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&editor));
        editor.setMemberDrilled(product({"Drinks"}), true);
        editor.setMemberDrilled(product({"Food"}), true);
        ASSERT_TRUE(QTest::qWaitFor([&] { return tree()->visualRect(indexOf({"Food", "Cake"})).isValid(); }));
    }

    void rightClick(const QPoint& position)
    {
        QContextMenuEvent event(QContextMenuEvent::Mouse, position, tree()->viewport()->mapToGlobal(position));
        QApplication::sendEvent(tree()->viewport(), &event);
    }
};

INSTANTIATE_TEST_SUITE_P(BothModels, MemberEditor,
                         ::testing::Values(int(NxDimEditCtrl::StoreModel), int(NxDimEditCtrl::ConnectionModel)), modelName);

// Qt's model tester fetches every level when it is made (so not before the
// lazy loading is seen), and cannot watch a reset of a model that loads
// children lazily: it counts what it fetches then as rows inserted during
// the reset. It watches the rest.
TEST_P(MemberEditor, ShowsTheTopLevelAndLoadsChildrenWhenAMemberIsExpanded)
{
    editor.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return model()->rowCount() == 1; }));
    const QModelIndex all = model()->index(0, 0);
    EXPECT_EQ(model()->data(all).toString(), QStringLiteral("All Products"));
    EXPECT_TRUE(model()->hasChildren(all));
    EXPECT_EQ(model()->rowCount(all), 0);
    EXPECT_TRUE(model()->canFetchMore(all));
    tree()->expand(all);
    ASSERT_TRUE(QTest::qWaitFor([&] { return model()->rowCount(all) == 2; }));
    EXPECT_EQ(model()->data(model()->index(1, 0, all)).toString(), QStringLiteral("Food"));
    EXPECT_FALSE(model()->canFetchMore(all));
    const QAbstractItemModelTester tester(model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    showExpandedProducts();
    editor.checkMembers(DimMembers{product({"Drinks", "Cola"})}, false, true);
    tree()->collapse(all);
    EXPECT_EQ(model()->rowCount(indexOf({"Food"})), 2);
}

// Checking adds exactly the given members at the end, in order, once each;
// unchecking removes exactly the given ones and keeps the order of the rest.
// A change raises checkedMembersChanged, a call that changes nothing does not.
TEST_P(MemberEditor, CheckingAndUncheckingChangeExactlyTheGivenMembers)
{
    QSignalSpy changed(&editor, &NxDimEditCtrl::checkedMembersChanged);
    editor.checkMembers(DimMembers{product({"Food"}), product({"Drinks", "Cola"}), product({"Drinks"})}, false);
    editor.checkMembers(DimMembers{product({"Drinks", "Juice"}), product({"Food"})}, false);
    EXPECT_EQ(captions(editor.checkedMembers()), Captions({"Food", "Cola", "Drinks", "Juice"}));
    EXPECT_TRUE(editor.isChecked(product({"Drinks"})));
    EXPECT_FALSE(editor.isChecked(product()));
    EXPECT_EQ(boxOf({"Drinks"}), Qt::Checked);
    EXPECT_EQ(boxOf({}), Qt::Unchecked);
    EXPECT_EQ(changed.count(), 2);
    editor.checkMembers(DimMembers{product({"Food"})}, false);
    EXPECT_EQ(changed.count(), 2);
    editor.checkMembers(DimMembers{product({"Drinks", "Cola"})}, true);
    EXPECT_EQ(captions(editor.checkedMembers()), Captions({"Food", "Drinks", "Juice"}));
    EXPECT_EQ(editor.checkedMemberCount(), 3);
    EXPECT_EQ(changed.count(), 3);
    EXPECT_EQ(testsupport::failureOf([&] { editor.checkMembers(DimMembers{product(), cities().at(0)}, false); }).number(),
              platform::err::kInvalidCall);
    EXPECT_EQ(editor.checkedMemberCount(), 3);
}

// Unchecking more than a few members at once takes another path in the store
// model; both keep the order of what stays.
TEST_P(MemberEditor, UncheckingMostOfALevelKeepsTheRestInOrder)
{
    attach("City");
    if (mCube)  // checkMembers also takes the collections of the attached model
        editor.checkMembers(mCube->dimensionByName("City")->hierarchy(1)->level(1)->levelMembers(), false);
    else
        editor.checkMembers(kDimension("City")->hierarchies().item(0)->levels().item(0)->members(), false);
    EXPECT_EQ(editor.checkedMemberCount(), 40);
    const DimMembers all = cities();
    editor.checkMembers(DimMembers(all.begin(), all.begin() + 35), true);
    EXPECT_EQ(captions(editor.checkedMembers()), Captions({"City 35", "City 36", "City 37", "City 38", "City 39"}));
}

TEST_P(MemberEditor, AUsersClickChecksThatMemberOnlyUnlessOption5AddsTheDescendants)
{
    QSignalSpy changed(&editor, &NxDimEditCtrl::checkedMembersChanged);
    ASSERT_TRUE(model()->setData(indexOf({"Drinks"}), Qt::Checked, Qt::CheckStateRole));
    EXPECT_EQ(captions(editor.checkedMembers()), Captions({"Drinks"}));
    EXPECT_EQ(changed.count(), 1);
    ASSERT_TRUE(model()->setData(indexOf({"Drinks"}), Qt::Unchecked, Qt::CheckStateRole));
    EXPECT_EQ(editor.checkedMemberCount(), 0);
    editor.setOption5(true);
    model()->setData(indexOf({}), Qt::Checked, Qt::CheckStateRole);
    EXPECT_EQ(captions(editor.checkedMembers()),
              Captions({"All Products", "Drinks", "Cola", "Juice", "Food", "Bread", "Cake"}));
    model()->setData(indexOf({"Drinks"}), Qt::Unchecked, Qt::CheckStateRole);
    EXPECT_EQ(captions(editor.checkedMembers()), Captions({"All Products", "Food", "Bread", "Cake"}));
}

// Option 2 off: no user checks; option 1 off: no boxes, checks still kept.
TEST_P(MemberEditor, OptionsChangeWhatRowsShowAndAllow)
{
    const QModelIndex drinks = indexOf({"Drinks"});
    editor.setOption2(false);
    EXPECT_FALSE(model()->flags(drinks) & Qt::ItemIsUserCheckable);
    EXPECT_FALSE(model()->setData(drinks, Qt::Checked, Qt::CheckStateRole));
    EXPECT_EQ(editor.checkedMemberCount(), 0);
    editor.setOption1(false);
    editor.checkMembers(DimMembers{product({"Drinks"})}, false);
    EXPECT_FALSE(model()->data(drinks, Qt::CheckStateRole).isValid());
    EXPECT_EQ(editor.checkedMemberCount(), 1);
}

// Hidden: every unchecked member whose parent or one of whose siblings is
// checked; not what lies under members of which nothing is checked.
TEST_P(MemberEditor, HiddenMembersAreTheUncheckedOnesBesideOrBelowCheckedMembers)
{
    const struct {
        std::vector<Captions> checked;  // paths below All Products; {} is All Products itself
        Captions hidden;
    } cases[] = {
        {{}, {}},
        {{{}}, {"Drinks", "Food"}},
        {{{}, {"Drinks"}, {"Drinks", "Cola"}}, {"Food", "Juice"}},
        {{{"Drinks"}}, {"Food", "Cola", "Juice"}},  // the all member unchecked
        {{{"Drinks"}, {"Food"}, {"Drinks", "Cola"}}, {"Juice", "Bread", "Cake"}},
        {{{"Drinks", "Cola"}}, {"Juice"}},  // nothing above it checked: Drinks and Food stay
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.checked.size() << " checked, " << c.hidden.size() << " hidden");
        editor.checkMembers(editor.checkedMembers(), true);
        DimMembers members;
        for (const Captions& path : c.checked)
            members.push_back(product(path));
        editor.checkMembers(members, false);
        EXPECT_EQ(captions(editor.hiddenMembers()), c.hidden);
    }
    attach("City");
    const DimMembers all = cities();
    editor.checkMembers(DimMembers{all[0], all[2]}, false);
    const Captions hidden = captions(editor.hiddenMembers());
    ASSERT_EQ(hidden.size(), 38u);
    EXPECT_EQ(hidden[0], "City 01");
    EXPECT_EQ(hidden[1], "City 03");
    EXPECT_EQ(hidden.back(), "City 39");
}

TEST_P(MemberEditor, ARightClickOnAMemberRaisesTheEventWithThatMember)
{
    showExpandedProducts();
    QSignalSpy clicked(&editor, &NxDimEditCtrl::selectedMemberRightClick);
    rightClick(tree()->visualRect(indexOf({"Drinks"})).center());
    ASSERT_EQ(clicked.count(), 1);
    EXPECT_TRUE(clicked.at(0).at(0).value<DimMember>() == product({"Drinks"}));
    EXPECT_EQ(tree()->currentIndex(), indexOf({"Drinks"}));
    rightClick(QPoint(10, tree()->viewport()->height() - 2));  // below the last row
    editor.setOption3(false);
    rightClick(tree()->visualRect(indexOf({"Drinks"})).center());
    EXPECT_EQ(clicked.count(), 1);
}

TEST_P(MemberEditor, DrilledMembersAreTheExpandedRowsUnderExpandedParents)
{
    editor.checkMembers(DimMembers{product({"Drinks"}), product({"Food"})}, false, true);
    EXPECT_EQ(captions(editor.drilledMembers()), Captions({"All Products"}));
    showExpandedProducts();
    EXPECT_EQ(captions(editor.drilledMembers()), Captions({"All Products", "Drinks", "Food"}));
    tree()->collapse(indexOf({"Drinks"}));
    EXPECT_EQ(captions(editor.drilledMembers()), Captions({"All Products", "Food"}));
    tree()->collapse(indexOf({}));
    EXPECT_TRUE(editor.drilledMembers().empty());
    tree()->expand(indexOf({}));
    EXPECT_EQ(captions(editor.drilledMembers()), Captions({"All Products", "Food"}));
}

// The store model keeps the check state in the attached Dimension, both
// ways; the connection model's check state is the editor's own.
TEST_P(MemberEditor, TheCheckStateLivesWhereTheModelKeepsIt)
{
    if (GetParam() == NxDimEditCtrl::ConnectionModel) {
        editor.checkMembers(DimMembers{product({"Food"})}, false);
        ASSERT_NE(editor.checkedMembers().at(0).kMember(), nullptr);
        EXPECT_EQ(editor.checkedMembers().at(0).kMember()->caption(), "Food");
        EXPECT_EQ(editor.checkedMembers().at(0).member(), nullptr);
        attach("City");
        EXPECT_EQ(editor.checkedMemberCount(), 0);
        return;
    }
    const std::shared_ptr<olap::Dimension> dimension = editor.dimension();
    editor.checkMembers(DimMembers{product({"Drinks"})}, false);
    EXPECT_TRUE(dimension->selectedMembers().contains(product({"Drinks"}).member()));
    model()->setData(indexOf({"Drinks"}), Qt::Unchecked, Qt::CheckStateRole);
    EXPECT_EQ(dimension->selectedMembers().count(), 0);
    editor.checkMembers(DimMembers{product()}, false);
    editor.setDimension(nullptr);
    EXPECT_FALSE(editor.hasDimension());
    EXPECT_EQ(dimension->selectedMembers().count(), 1);
    dimension->selectedMembers().clear();
    dimension->selectedMembers().add(product({"Food"}).member());
    editor.setDimension(dimension);
    EXPECT_EQ(captions(editor.checkedMembers()), Captions({"Food"}));
}

}  // namespace
