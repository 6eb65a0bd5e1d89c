// The member tree editor's search field, typed into as a user types: the
// tree narrows to the matching members with their ancestors, whatever the
// case and accents, and a found member's box is the full tree's box.
#include "editorfixture.h"
#include "widgets/membersearchmodel.h"

#include <QAbstractItemModelTester>
#include <QLineEdit>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTest>
#include <QTreeView>

#include <functional>

namespace {

using Lines = std::vector<std::string>;

// Product: All Products > Drinks (Cola, Café au lait), Food (Bread, Cake,
// Crème Brûlée).
class MemberSearch : public EditorFixture {
protected:
    void SetUp() override
    {
        openCube({"Drinks/Cola", "Drinks/Café au lait", "Food/Bread", "Food/Cake", "Food/Crème Brûlée"});
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
};

INSTANTIATE_TEST_SUITE_P(BothModels, MemberSearch,
                         ::testing::Values(int(NxDimEditCtrl::StoreModel), int(NxDimEditCtrl::ConnectionModel)), modelName);

// Typed one after the other, so that narrowing, widening again after
// backspaces and starting afresh all meet the index.
TEST_P(MemberSearch, TypingNarrowsTheTreeToMatchesWithTheirAncestorsIgnoringCaseAndAccents)
{
    QAbstractItemModelTester tester(editor.searchModel(), QAbstractItemModelTester::FailureReportingMode::Warning);
    editor.setMemberDrilled(product({"Food"}), true);
    const Lines full = shown();
    ASSERT_EQ(full, Lines({"All Products", "  Drinks", "  Food", "    Bread", "    Cake", "    Crème Brûlée"}));
    struct Step { const char* label; std::function<void(QLineEdit*)> type; Lines expected; };
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
    EXPECT_TRUE(editor.isChecked(product({"Food", "Cake"})));
    EXPECT_EQ(editor.checkedMemberCount(), 1);
    clickBoxOf(QStringLiteral("Cake"));
    EXPECT_EQ(editor.checkedMemberCount(), 0);

    editor.setOption5(true);
    editor.searchField()->selectAll();
    QTest::keyClicks(editor.searchField(), QStringLiteral("food"));
    clickBoxOf(QStringLiteral("Food"));
    const Lines checked = captions(editor.checkedMembers());
    const Lines hidden = captions(editor.hiddenMembers());
    EXPECT_EQ(checked, Lines({"Food", "Bread", "Cake", "Crème Brûlée"}));

    editor.searchField()->clear();
    const QModelIndex cake = editor.treeModel()->indexOf(product({"Food", "Cake"}));
    EXPECT_EQ(cake.data(Qt::CheckStateRole).toInt(), Qt::Checked);
    // The same click in the full tree, from nothing checked.
    editor.checkMembers(editor.checkedMembers(), true);
    const QModelIndex food = editor.treeModel()->indexOf(product({"Food"}));
    ASSERT_TRUE(editor.treeModel()->setData(food, Qt::Checked, Qt::CheckStateRole));
    EXPECT_EQ(captions(editor.checkedMembers()), checked);
    EXPECT_EQ(captions(editor.hiddenMembers()), hidden);
}

}  // namespace
