// The member tree editor's search field, typed into as a user types: the
// tree narrows to the matching members with their ancestors, whatever the
// case and accents, and a found member's box is the full tree's box.
#include "widgets/nxdimeditctrl.h"

#include "olap/connection/connectionmodel.h"
#include "olap/cube/cubebuilder.h"
#include "olap/store/storecompanion.h"
#include "olap/store/storeloader.h"
#include "olap/store/storemodel.h"
#include "widgets/membersearchmodel.h"
#include "widgets/membertreemodel.h"

#include <QAbstractItemModelTester>
#include <QLineEdit>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using Lines = std::vector<std::string>;

// Product: All Products > Drinks (Cola, Café au lait), Food (Bread, Cake,
// Crème Brûlée).
void writeCube(const std::filesystem::path& file)
{
    using olap::DimensionType;
    olap::CubeBuilder cube({"Sales",
                            {{"Product", DimensionType::Other, {{"", true, "All Products", {{"Category"}, {"Item"}}}}}},
                            {{"Units", olap::Aggregation::Sum, ""}}});
    const char* const items[][2] = {{"Drinks", "Cola"},  {"Drinks", "Café au lait"}, {"Food", "Bread"},
                                    {"Food", "Cake"}, {"Food", "Crème Brûlée"}};
    for (const auto& item : items) {
        const uint32_t keys[] = {cube.dimensionKey(0, std::vector<olap::PathPart>{{item[0], ""}, {item[1], ""}})};
        const double values[] = {1.0};
        cube.addFact(keys, values);
    }
    olap::CubeBuilder* cubes[] = {&cube};
    olap::writeCubeFile(file, "Sales Catalog", cubes);
}

class MemberSearch : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override
    {
        const std::filesystem::path folder = mFolder.path().toStdString();
        writeCube(folder / "Sales.cub");
        if (GetParam() == NxDimEditCtrl::StoreModel) {
            olap::writeStoreCompanion(folder / "Sales.bwf", {});
            ASSERT_TRUE(olap::extractStoreCube((folder / "pivotwizard").string(), "Sales", folder / "Sales.BWC", 1));
            mCube = std::make_shared<olap::Cube>();
            mCube->loadFromFile(folder / "Sales.BWC", true);
            editor.setDimension(mCube->dimensionByName("Product"));
        } else {
            olap::OlapConnection connection;
            connection.openLocalCube(olap::kLocalConnectionName, folder / "Sales.cub");
            mKCube = connection.databases().item(0)->cubes().item(0)->definition();
            for (const std::shared_ptr<olap::KDimension>& dimension : mKCube->dimensions())
                mKDimension = dimension->name() == "Product" ? dimension : mKDimension;
            editor.setKDimension(mKDimension);
        }
        editor.resize(300, 400);
        editor.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&editor));
    }

    // The rows the visible view shows, two spaces deeper per level; rows
    // under a collapsed row are not shown.
    Lines shown() const
    {
        QTreeView* view = editor.searchView()->isVisible() ? editor.searchView() : editor.treeView();
        Lines lines;
        addRows(view, QModelIndex(), "", lines);
        return lines;
    }
    static void addRows(QTreeView* view, const QModelIndex& parent, const std::string& indent, Lines& lines)
    {
        if (parent.isValid() && !view->isExpanded(parent))
            return;
        for (int row = 0; row < view->model()->rowCount(parent); ++row) {
            const QModelIndex index = view->model()->index(row, 0, parent);
            lines.push_back(indent + index.data().toString().toStdString());
            addRows(view, index, indent + "  ", lines);
        }
    }

    // Clicks the check box of the row showing `caption` in the result view.
    void clickBoxOf(const QString& caption)
    {
        QTreeView* view = editor.searchView();
        const QModelIndexList found = view->model()->match(view->model()->index(0, 0), Qt::DisplayRole, caption, 1,
                                                           Qt::MatchExactly | Qt::MatchRecursive);
        ASSERT_EQ(found.size(), 1) << caption.toStdString();
        QStyleOptionViewItem option;
        option.initFrom(view->viewport());
        option.rect = view->visualRect(found.front());
        option.features = QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay;
        option.text = caption;
        const QRect box = view->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, view);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, box.center());
    }

    DimMember member(const Lines& path) const
    {
        DimMember found = (mCube ? MemberList::topMembers(*mCube->dimensionByName("Product"))
                                 : MemberList::topMembers(*mKDimension))
                              .at(0);
        for (const std::string& caption : path) {
            const MemberList children = found.children();
            int i = 0;
            while (i < children.count() && children.at(i).caption() != caption)
                ++i;
            found = children.at(i);
        }
        return found;
    }

    QTemporaryDir mFolder;
    std::shared_ptr<olap::Cube> mCube;
    std::shared_ptr<olap::KCube> mKCube;
    std::shared_ptr<olap::KDimension> mKDimension;
    NxDimEditCtrl editor;
};

INSTANTIATE_TEST_SUITE_P(BothModels, MemberSearch,
                         ::testing::Values(int(NxDimEditCtrl::StoreModel), int(NxDimEditCtrl::ConnectionModel)),
                         [](const auto& info) { return info.param == NxDimEditCtrl::StoreModel ? "Store" : "Connection"; });

// Typed one after the other, so that narrowing, widening again after
// backspaces and starting afresh all meet the index.
TEST_P(MemberSearch, TypingNarrowsTheTreeToMatchesWithTheirAncestorsIgnoringCaseAndAccents)
{
    QAbstractItemModelTester tester(editor.searchModel(), QAbstractItemModelTester::FailureReportingMode::Warning);
    editor.setMemberDrilled(member({"Food"}), true);
    const Lines full = shown();
    ASSERT_EQ(full, Lines({"All Products", "  Drinks", "  Food", "    Bread", "    Cake", "    Crème Brûlée"}));
    struct Step {
        const char* label;
        std::function<void(QLineEdit*)> type;
        Lines expected;
    };
    const auto keys = [](const char* text) { return [text](QLineEdit* field) { QTest::keyClicks(field, QString::fromUtf8(text)); }; };
    const auto backspaces = [](int count) {
        return [count](QLineEdit* field) {
            for (int i = 0; i < count; ++i)
                QTest::keyClick(field, Qt::Key_Backspace);
        };
    };
    const std::vector<Step> steps = {
        {"capitals without accents", keys("CREME"), {"All Products", "  Food", "    Crème Brûlée"}},
        {"back to one letter widens again", backspaces(4),
         {"All Products", "  Drinks", "    Cola", "    Café au lait", "  Food", "    Cake", "    Crème Brûlée"}},
        {"an accent where the caption has none", keys("ÂKE"), {"All Products", "  Food", "    Cake"}},
        {"a category shows without its items", [](QLineEdit* field) { field->selectAll(); QTest::keyClicks(field, QStringLiteral("drinks")); },
         {"All Products", "  Drinks"}},
        {"in the middle of a caption", [](QLineEdit* field) { field->selectAll(); QTest::keyClicks(field, QStringLiteral("AU L")); },
         {"All Products", "  Drinks", "    Café au lait"}},
        {"nothing matches", keys("x"), {}},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.label);
        step.type(editor.searchField());
        EXPECT_TRUE(editor.searchView()->isVisible());
        EXPECT_FALSE(editor.treeView()->isVisible());
        EXPECT_EQ(shown(), step.expected);
    }
    editor.searchField()->clear();
    EXPECT_TRUE(editor.treeView()->isVisible());
    EXPECT_EQ(shown(), full) << "the full tree keeps its expanded rows";
}

// Option 5 on: checking a found category checks its items too, shown or
// not; the checked and hidden members are those the same click in the full
// tree gives, and the full tree shows the boxes afterwards.
TEST_P(MemberSearch, CheckingAFoundMemberIsACheckInTheFullTree)
{
    QSignalSpy changed(&editor, &NxDimEditCtrl::checkedMembersChanged);
    QTest::keyClicks(editor.searchField(), QStringLiteral("cake"));
    clickBoxOf(QStringLiteral("Cake"));
    ASSERT_EQ(changed.count(), 1);
    EXPECT_TRUE(editor.isChecked(member({"Food", "Cake"})));
    EXPECT_EQ(editor.checkedMemberCount(), 1);
    clickBoxOf(QStringLiteral("Cake"));
    EXPECT_EQ(editor.checkedMemberCount(), 0);

    editor.setOption5(true);
    editor.searchField()->selectAll();
    QTest::keyClicks(editor.searchField(), QStringLiteral("food"));
    clickBoxOf(QStringLiteral("Food"));
    const auto captions = [](const DimMembers& members) {
        Lines out;
        for (const DimMember& found : members)
            out.push_back(found.caption());
        return out;
    };
    const Lines checked = captions(editor.checkedMembers());
    const Lines hidden = captions(editor.hiddenMembers());
    EXPECT_EQ(checked, Lines({"Food", "Bread", "Cake", "Crème Brûlée"}));

    editor.searchField()->clear();
    const QModelIndex cake = editor.treeModel()->indexOf(member({"Food", "Cake"}));
    EXPECT_EQ(cake.data(Qt::CheckStateRole).toInt(), Qt::Checked);
    // The same click in the full tree, from nothing checked.
    editor.checkMembers(editor.checkedMembers(), true);
    const QModelIndex food = editor.treeModel()->indexOf(member({"Food"}));
    ASSERT_TRUE(editor.treeModel()->setData(food, Qt::Checked, Qt::CheckStateRole));
    EXPECT_EQ(captions(editor.checkedMembers()), checked);
    EXPECT_EQ(captions(editor.hiddenMembers()), hidden);
}

}  // namespace
