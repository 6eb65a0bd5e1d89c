#include "widgets/nxdimeditctrl.h"

#include "olap/connection/connectionmodel.h"
#include "olap/cube/cubebuilder.h"
#include "olap/store/storecompanion.h"
#include "olap/store/storeloader.h"
#include "olap/store/storemodel.h"
#include "platform/core/failure.h"
#include "widgets/membertreemodel.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QContextMenuEvent>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

void PrintTo(const DimMember& member, std::ostream* out)
{
    *out << (member.isNull() ? std::string("(no member)") : member.uniqueName());
}

namespace {

using Captions = std::vector<std::string>;

Captions captions(const DimMembers& members)
{
    Captions out;
    for (const DimMember& member : members)
        out.push_back(member.caption());
    return out;
}

std::string cityName(int i) { return (i < 10 ? "City 0" : "City ") + std::to_string(i); }

// Product: an "all" level over Category and Item: All Products > Drinks
// (Cola, Juice), Food (Bread, Cake). City: one level of 40 cities.
void writeSalesCube(const std::filesystem::path& file)
{
    using olap::DimensionType;
    olap::CubeSpec spec{"Sales",
                        {{"Product", DimensionType::Other, {{"", true, "All Products", {{"Category"}, {"Item"}}}}},
                         {"City", DimensionType::Other, {{"", false, "", {{"City"}}}}}},
                        {{"Units", olap::Aggregation::Sum, ""}}};
    olap::CubeBuilder cube(spec);
    const char* const items[][2] = {{"Drinks", "Cola"}, {"Drinks", "Juice"}, {"Food", "Bread"}, {"Food", "Cake"}};
    std::vector<uint32_t> products;
    for (const auto& item : items)
        products.push_back(cube.dimensionKey(0, std::vector<olap::PathPart>{{item[0], ""}, {item[1], ""}}));
    for (int i = 0; i < 40; ++i) {
        const uint32_t keys[] = {products[size_t(i) % products.size()],
                                 cube.dimensionKey(1, std::vector<olap::PathPart>{{cityName(i), ""}})};
        const double values[] = {1.0};
        cube.addFact(keys, values);
    }
    olap::CubeBuilder* cubes[] = {&cube};
    olap::writeCubeFile(file, "Sales Catalog", cubes);
}

// An editor over a small real cube, opened through the store model (mode 1)
// or the connection model (mode 3).
class MemberEditor : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(mFolder.isValid());
        const std::filesystem::path folder = mFolder.path().toStdString();
        writeSalesCube(folder / "Sales.cub");
        if (GetParam() == NxDimEditCtrl::StoreModel) {
            olap::writeStoreCompanion(folder / "Sales.bwf", {});
            ASSERT_TRUE(olap::extractStoreCube((folder / "pivotwizard").string(), "Sales", folder / "Sales.BWC", 1));
            mCube = std::make_shared<olap::Cube>();
            mCube->loadFromFile(folder / "Sales.BWC", true);
        } else {
            olap::OlapConnection connection;
            connection.openLocalCube(olap::kLocalConnectionName, folder / "Sales.cub");
            mKCube = connection.databases().item(0)->cubes().item(0)->definition();
        }
        editor.resize(300, 400);
    }

    void attach(const std::string& dimension)
    {
        if (mCube)
            editor.setDimension(mCube->dimensionByName(dimension));
        else
            editor.setKDimension(kDimension(dimension));
    }

    std::shared_ptr<olap::KDimension> kDimension(const std::string& name) const
    {
        for (const std::shared_ptr<olap::KDimension>& dimension : mKCube->dimensions()) {
            if (dimension->name() == name)
                return dimension;
        }
        return nullptr;
    }

    MemberList topMembers(const std::string& dimension) const
    {
        return mCube ? MemberList::topMembers(*mCube->dimensionByName(dimension))
                     : MemberList::topMembers(*kDimension(dimension));
    }

    // The member reached by captions from the top level of `dimension`.
    DimMember find(const std::string& dimension, const Captions& path) const
    {
        MemberList list = topMembers(dimension);
        DimMember found;
        for (const std::string& caption : path) {
            int i = 0;
            while (i < list.count() && list.at(i).caption() != caption)
                ++i;
            if (i == list.count())
                return DimMember();
            found = list.at(i);
            list = found.children();
        }
        return found;
    }
    DimMember product(const Captions& path) const { return find("Product", path); }

    MemberTreeModel* model() const { return editor.treeModel(); }
    QTreeView* tree() const { return editor.treeView(); }

    // Shows the editor with the Product tree expanded to the items.
    void showExpandedProducts()
    {
        attach("Product");
        editor.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&editor));
        editor.setMemberDrilled(product({"All Products", "Drinks"}), true);
        editor.setMemberDrilled(product({"All Products", "Food"}), true);
        ASSERT_TRUE(QTest::qWaitFor([&] { return tree()->visualRect(indexOf({"All Products", "Food", "Cake"})).isValid(); }));
    }

    QModelIndex indexOf(const Captions& path) const { return model()->indexOf(product(path)); }

    void rightClick(const QPoint& position)
    {
        QContextMenuEvent event(QContextMenuEvent::Mouse, position, tree()->viewport()->mapToGlobal(position));
        QApplication::sendEvent(tree()->viewport(), &event);
    }

    QTemporaryDir mFolder;
    std::shared_ptr<olap::Cube> mCube;
    std::shared_ptr<olap::KCube> mKCube;
    NxDimEditCtrl editor;
};

std::string modelName(const ::testing::TestParamInfo<int>& info)
{
    return info.param == NxDimEditCtrl::StoreModel ? "StoreModel" : "ConnectionModel";
}

INSTANTIATE_TEST_SUITE_P(BothModels, MemberEditor,
                         ::testing::Values(int(NxDimEditCtrl::StoreModel), int(NxDimEditCtrl::ConnectionModel)),
                         modelName);

TEST_P(MemberEditor, AttachingADimensionSetsTheModeOfItsModel)
{
    attach("Product");

    EXPECT_TRUE(editor.hasDimension());
    EXPECT_EQ(editor.mode(), GetParam());
}

TEST_P(MemberEditor, ShowsTheTopLevelAndLoadsChildrenWhenAMemberIsExpanded)
{
    attach("Product");
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
}

// The tester is made after attaching: it fetches every level from inside its
// own model-reset handler, which it then counts as rows inserted during a
// reset, so it cannot watch a reset of a model that loads children lazily.
TEST_P(MemberEditor, TheTreeModelKeepsQtsModelContractThroughExpandAndCheck)
{
    attach("Product");
    const QAbstractItemModelTester tester(model(), QAbstractItemModelTester::FailureReportingMode::Fatal);

    showExpandedProducts();
    editor.checkMembers(DimMembers{product({"All Products", "Drinks", "Cola"})}, false, true);
    tree()->collapse(indexOf({"All Products"}));

    EXPECT_EQ(model()->rowCount(indexOf({"All Products", "Food"})), 2);
}

TEST_P(MemberEditor, CheckMembersChecksExactlyTheGivenMembers)
{
    attach("Product");

    editor.checkMembers(DimMembers{product({"All Products", "Drinks"})}, false);

    EXPECT_TRUE(editor.isChecked(product({"All Products", "Drinks"})));
    EXPECT_FALSE(editor.isChecked(product({"All Products", "Drinks", "Cola"})));
    EXPECT_FALSE(editor.isChecked(product({"All Products"})));
    EXPECT_EQ(captions(editor.checkedMembers()), Captions({"Drinks"}));
    EXPECT_EQ(editor.checkedMemberCount(), 1);
}

TEST_P(MemberEditor, UncheckRemovesOnlyTheGivenMembersAndKeepsTheOrderOfTheRest)
{
    attach("Product");
    editor.checkMembers(DimMembers{product({"All Products", "Food"}), product({"All Products", "Drinks", "Cola"}),
                                   product({"All Products", "Drinks"}), product({"All Products", "Drinks", "Juice"})},
                        false);

    editor.checkMembers(DimMembers{product({"All Products", "Drinks", "Cola"})}, true);

    EXPECT_EQ(captions(editor.checkedMembers()), Captions({"Food", "Drinks", "Juice"}));
}

TEST_P(MemberEditor, CheckingACheckedMemberAgainKeepsItsPlace)
{
    attach("Product");
    editor.checkMembers(DimMembers{product({"All Products", "Food"}), product({"All Products", "Drinks"})}, false);
    QSignalSpy changed(&editor, &NxDimEditCtrl::checkedMembersChanged);

    editor.checkMembers(DimMembers{product({"All Products", "Food"})}, false);

    EXPECT_EQ(captions(editor.checkedMembers()), Captions({"Food", "Drinks"}));
    EXPECT_EQ(changed.count(), 0);
}

TEST_P(MemberEditor, CheckMembersTakesTheCollectionsOfTheAttachedModel)
{
    attach("City");

    if (mCube)
        editor.checkMembers(mCube->dimensionByName("City")->hierarchy(1)->level(1)->levelMembers(), false);
    else
        editor.checkMembers(kDimension("City")->hierarchies().item(0)->levels().item(0)->members(), false);

    EXPECT_EQ(editor.checkedMemberCount(), 40);
}

TEST_P(MemberEditor, UncheckingMostOfALevelKeepsTheRestInOrder)
{
    attach("City");
    const MemberList cities = topMembers("City");
    DimMembers all, first35;
    for (int i = 0; i < cities.count(); ++i) {
        all.push_back(cities.at(i));
        if (i < 35)
            first35.push_back(cities.at(i));
    }
    editor.checkMembers(all, false);

    editor.checkMembers(first35, true);

    EXPECT_EQ(captions(editor.checkedMembers()), Captions({"City 35", "City 36", "City 37", "City 38", "City 39"}));
}

TEST_P(MemberEditor, CheckBoxesShowTheCheckState)
{
    attach("Product");
    editor.checkMembers(DimMembers{product({"All Products"})}, false);

    const QModelIndex all = indexOf({"All Products"});
    const QModelIndex drinks = indexOf({"All Products", "Drinks"});

    EXPECT_EQ(model()->data(all, Qt::CheckStateRole).toInt(), int(Qt::Checked));
    EXPECT_EQ(model()->data(drinks, Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
}

TEST_P(MemberEditor, AUsersClickChecksAndUnchecksThatMemberOnly)
{
    attach("Product");
    const QModelIndex drinks = indexOf({"All Products", "Drinks"});
    QSignalSpy changed(&editor, &NxDimEditCtrl::checkedMembersChanged);

    ASSERT_TRUE(model()->setData(drinks, Qt::Checked, Qt::CheckStateRole));

    EXPECT_EQ(captions(editor.checkedMembers()), Captions({"Drinks"}));
    EXPECT_EQ(changed.count(), 1);

    ASSERT_TRUE(model()->setData(drinks, Qt::Unchecked, Qt::CheckStateRole));

    EXPECT_EQ(editor.checkedMemberCount(), 0);
}

TEST_P(MemberEditor, WithOption5AUsersClickAlsoAppliesToAllDescendants)
{
    attach("Product");
    editor.setOption5(true);

    model()->setData(indexOf({"All Products"}), Qt::Checked, Qt::CheckStateRole);

    EXPECT_EQ(captions(editor.checkedMembers()),
              Captions({"All Products", "Drinks", "Cola", "Juice", "Food", "Bread", "Cake"}));

    model()->setData(indexOf({"All Products", "Drinks"}), Qt::Unchecked, Qt::CheckStateRole);

    EXPECT_EQ(captions(editor.checkedMembers()), Captions({"All Products", "Food", "Bread", "Cake"}));
}

TEST_P(MemberEditor, WithOption2OffTheUserCannotChangeChecks)
{
    attach("Product");
    editor.setOption2(false);
    const QModelIndex all = indexOf({"All Products"});

    EXPECT_FALSE(model()->flags(all) & Qt::ItemIsUserCheckable);
    EXPECT_FALSE(model()->setData(all, Qt::Checked, Qt::CheckStateRole));
    EXPECT_EQ(editor.checkedMemberCount(), 0);
}

TEST_P(MemberEditor, WithOption1OffRowsShowNoBoxesButChecksAreKept)
{
    attach("Product");
    editor.setOption1(false);

    editor.checkMembers(DimMembers{product({"All Products"})}, false);

    EXPECT_FALSE(model()->data(indexOf({"All Products"}), Qt::CheckStateRole).isValid());
    EXPECT_EQ(editor.checkedMemberCount(), 1);
}

TEST_P(MemberEditor, Option4ShowsUniqueNamesAndOption6ChildCounts)
{
    attach("Product");
    const QModelIndex drinks = indexOf({"All Products", "Drinks"});

    editor.setOption6(true);
    EXPECT_EQ(model()->data(drinks).toString(), QStringLiteral("Drinks (2)"));

    editor.setOption6(false);
    editor.setOption4(true);
    EXPECT_EQ(model()->data(drinks).toString(),
              QString::fromStdString(product({"All Products", "Drinks"}).uniqueName()));
}

TEST_P(MemberEditor, ANewEditorHasOptions1To3OnAnd4To6Off)
{
    EXPECT_TRUE(editor.option1() && editor.option2() && editor.option3());
    EXPECT_FALSE(editor.option4() || editor.option5() || editor.option6());
    EXPECT_THROW(editor.setOption(7, true), platform::Failure);
}

TEST_P(MemberEditor, HiddenMembersAreTheUncheckedChildrenOfCheckedMembers)
{
    attach("Product");
    editor.checkMembers(DimMembers{product({"All Products"}), product({"All Products", "Drinks"}),
                                   product({"All Products", "Drinks", "Cola"})},
                        false);

    EXPECT_EQ(captions(editor.hiddenMembers()), Captions({"Food", "Juice"}));
}

TEST_P(MemberEditor, HiddenMembersLeaveOutMembersUnderAnUncheckedParent)
{
    attach("Product");
    editor.checkMembers(DimMembers{product({"All Products"})}, false);

    EXPECT_EQ(captions(editor.hiddenMembers()), Captions({"Drinks", "Food"}));
}

TEST_P(MemberEditor, HiddenMembersListTheUncheckedTopMembersWhenATopMemberIsChecked)
{
    attach("City");
    const MemberList cities = topMembers("City");
    editor.checkMembers(DimMembers{cities.at(0), cities.at(2)}, false);

    const Captions hidden = captions(editor.hiddenMembers());

    ASSERT_EQ(hidden.size(), 38u);
    EXPECT_EQ(hidden[0], "City 01");
    EXPECT_EQ(hidden[1], "City 03");
    EXPECT_EQ(hidden.back(), "City 39");
}

TEST_P(MemberEditor, NothingCheckedHidesNothing)
{
    attach("City");

    EXPECT_TRUE(editor.hiddenMembers().empty());
}

TEST_P(MemberEditor, ARightClickOnAMemberRaisesTheEventWithThatMember)
{
    showExpandedProducts();
    QSignalSpy clicked(&editor, &NxDimEditCtrl::selectedMemberRightClick);
    const QModelIndex drinks = indexOf({"All Products", "Drinks"});

    rightClick(tree()->visualRect(drinks).center());

    ASSERT_EQ(clicked.count(), 1);
    EXPECT_EQ(clicked.at(0).at(0).value<DimMember>(), product({"All Products", "Drinks"}));
    EXPECT_EQ(tree()->currentIndex(), drinks);
}

TEST_P(MemberEditor, ARightClickBelowTheLastRowRaisesNothing)
{
    showExpandedProducts();
    QSignalSpy clicked(&editor, &NxDimEditCtrl::selectedMemberRightClick);

    rightClick(QPoint(10, tree()->viewport()->height() - 2));

    EXPECT_EQ(clicked.count(), 0);
}

TEST_P(MemberEditor, WithOption3OffARightClickRaisesNothing)
{
    showExpandedProducts();
    editor.setOption3(false);
    QSignalSpy clicked(&editor, &NxDimEditCtrl::selectedMemberRightClick);

    rightClick(tree()->visualRect(indexOf({"All Products", "Drinks"})).center());

    EXPECT_EQ(clicked.count(), 0);
}

TEST_P(MemberEditor, RevealingCheckedMembersExpandsTheirParents)
{
    attach("Product");

    editor.checkMembers(DimMembers{product({"All Products", "Drinks"}), product({"All Products", "Food"})}, false,
                        true);

    EXPECT_EQ(editor.checkedMemberCount(), 2);
    EXPECT_EQ(captions(editor.drilledMembers()), Captions({"All Products"}));
    EXPECT_TRUE(tree()->isExpanded(indexOf({"All Products"})));
}

TEST_P(MemberEditor, DrilledMembersAreTheExpandedRowsUnderExpandedParents)
{
    showExpandedProducts();
    EXPECT_EQ(captions(editor.drilledMembers()), Captions({"All Products", "Drinks", "Food"}));

    tree()->collapse(indexOf({"All Products", "Drinks"}));
    EXPECT_EQ(captions(editor.drilledMembers()), Captions({"All Products", "Food"}));

    tree()->collapse(indexOf({"All Products"}));
    EXPECT_TRUE(editor.drilledMembers().empty());

    tree()->expand(indexOf({"All Products"}));
    EXPECT_EQ(captions(editor.drilledMembers()), Captions({"All Products", "Food"}));
}

TEST_P(MemberEditor, AMemberOfAnotherDimensionIsRefusedAndNothingChanges)
{
    attach("Product");
    const DimMembers mixed{product({"All Products"}), topMembers("City").at(0)};

    try {
        editor.checkMembers(mixed, false);
        FAIL() << "a member of another dimension was accepted";
    } catch (const platform::Failure& failure) {
        EXPECT_EQ(failure.number(), platform::err::kInvalidCall);
    }
    EXPECT_EQ(editor.checkedMemberCount(), 0);
}

TEST_P(MemberEditor, ModeAcceptsOnly1And3)
{
    EXPECT_THROW(editor.setMode(2), platform::Failure);
    EXPECT_NO_THROW(editor.setMode(3));
    EXPECT_EQ(editor.mode(), 3);
}

TEST_P(MemberEditor, SettingTheOtherModeDetachesTheDimension)
{
    attach("Product");

    editor.setMode(GetParam() == NxDimEditCtrl::StoreModel ? NxDimEditCtrl::ConnectionModel
                                                           : NxDimEditCtrl::StoreModel);

    EXPECT_FALSE(editor.hasDimension());
    EXPECT_EQ(model()->rowCount(), 0);
}

// The store model keeps the check state in the attached Dimension.
class StoreMemberEditor : public MemberEditor {};
INSTANTIATE_TEST_SUITE_P(StoreModel, StoreMemberEditor, ::testing::Values(int(NxDimEditCtrl::StoreModel)), modelName);

TEST_P(StoreMemberEditor, CheckBoxesAreTheDimensionsSelectedMembers)
{
    attach("Product");
    const DimMember drinks = product({"All Products", "Drinks"});

    editor.checkMembers(DimMembers{drinks}, false);
    EXPECT_TRUE(editor.dimension()->selectedMembers().contains(drinks.member()));

    model()->setData(model()->indexOf(drinks), Qt::Unchecked, Qt::CheckStateRole);
    EXPECT_EQ(editor.dimension()->selectedMembers().count(), 0);
}

TEST_P(StoreMemberEditor, ASelectionTheDimensionHoldsShowsChecked)
{
    const std::shared_ptr<olap::Dimension> dimension = mCube->dimensionByName("Product");
    dimension->selectedMembers().add(product({"All Products", "Food"}).member());

    editor.setDimension(dimension);

    EXPECT_EQ(captions(editor.checkedMembers()), Captions({"Food"}));
}

TEST_P(StoreMemberEditor, DetachingLeavesTheSelectionInTheDimension)
{
    attach("Product");
    const std::shared_ptr<olap::Dimension> dimension = editor.dimension();
    editor.checkMembers(DimMembers{product({"All Products"})}, false);

    editor.setDimension(nullptr);

    EXPECT_FALSE(editor.hasDimension());
    EXPECT_EQ(dimension->selectedMembers().count(), 1);
}

// The connection model's check state is the editor's own.
class ConnectionMemberEditor : public MemberEditor {};
INSTANTIATE_TEST_SUITE_P(ConnectionModel, ConnectionMemberEditor,
                         ::testing::Values(int(NxDimEditCtrl::ConnectionModel)), modelName);

TEST_P(ConnectionMemberEditor, AttachingAnotherDimensionStartsWithNothingChecked)
{
    attach("Product");
    editor.checkMembers(DimMembers{product({"All Products"})}, false);

    attach("City");

    EXPECT_EQ(editor.checkedMemberCount(), 0);
}

TEST_P(ConnectionMemberEditor, CheckedMembersHoldTheConnectionModelsMembers)
{
    attach("Product");
    editor.checkMembers(DimMembers{product({"All Products", "Food"})}, false);

    const DimMembers checked = editor.checkedMembers();

    ASSERT_EQ(checked.size(), 1u);
    ASSERT_NE(checked[0].kMember(), nullptr);
    EXPECT_EQ(checked[0].kMember()->caption(), "Food");
    EXPECT_EQ(checked[0].member(), nullptr);
}

}  // namespace
