// The wizard without a mouse: every step's controls reached with Tab, Enter
// for the default button, the member menu from the keyboard, and dimensions moved between the layout
// areas with Ctrl+arrow keys; a report built from keys alone.
#include "designsteps.h"
#include "sheet/application.h"
#include "sheet/host/hostapplication.h"
#include "widgets/nxcubeselectorctrl.h"
#include "widgets/nxdimeditctrl.h"

#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QMenu>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTabBar>
#include <QTreeView>

#include <set>

namespace {

// The controls a user works with (not labels, frames or the parts that
// item views, combo boxes and tab bars are made of).
bool isUserControl(const QWidget* widget, const QWidget* root)
{
    const bool control = qobject_cast<const QAbstractButton*>(widget) || qobject_cast<const QAbstractItemView*>(widget) ||
                         qobject_cast<const QComboBox*>(widget) || qobject_cast<const QLineEdit*>(widget) ||
                         qobject_cast<const QAbstractSlider*>(widget) || qobject_cast<const QTabBar*>(widget) ||
                         qobject_cast<const QAbstractSpinBox*>(widget);
    if (!control || !widget->isVisibleTo(root) || !widget->isEnabled())
        return false;
    for (const QWidget* above = widget->parentWidget(); above && above != root; above = above->parentWidget()) {
        if (qobject_cast<const QAbstractScrollArea*>(above) || qobject_cast<const QComboBox*>(above) ||
            qobject_cast<const QTabBar*>(above) || qobject_cast<const QAbstractSpinBox*>(above))
            return false;
    }
    return true;
}

class KeyboardWalk : public DesignSteps {
protected:
    KeyboardWalk()
    {
        for (const char* name : {"Sales.cub", "Sales.bwf"})
            std::filesystem::copy_file(std::filesystem::path(PIVOTWIZARD_SAMPLE_STORE) / name, folder / name);
        app = sheet::createApplication();
        app->Workbooks()->Add();
        wizard.xlApp(app);
        wizard.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&wizard));
    }
    static QWidget* focus() { return QApplication::focusWidget(); }
    // A key goes where the keyboard sends it: to an open menu or list first.
    static void key(Qt::Key code, Qt::KeyboardModifiers modifiers = {})
    {
        QWidget* target = QApplication::activePopupWidget();
        target = target ? target : focus() ? focus() : QApplication::activeWindow();
        QTest::keyClick(target, code, modifiers);
    }
    // Presses Tab until `target` has the focus; false when a whole round never reached it.
    bool tabTo(const QWidget* target)
    {
        for (int i = 0; i < 80 && !target->hasFocus(); ++i)
            key(Qt::Key_Tab);
        return target->hasFocus();
    }
    // The names of the shown step's controls (and the command buttons) that
    // a round of Tab presses never gives the focus to. The round ends where
    // it began.
    std::set<std::string> unreachedByTab()
    {
        const QWidget* start = focus();
        std::set<const QWidget*> expected;
        for (const QWidget* root : {static_cast<QWidget*>(frameStack()->currentWidget()), findControl<QWidget>(&wizard, "fraCommand")})
            for (const QWidget* widget : root->findChildren<QWidget*>())
                if (isUserControl(widget, root))
                    expected.insert(widget);
        for (int i = 0; i < 120; ++i) {
            key(Qt::Key_Tab);
            for (const QWidget* at = focus(); at; at = at->parentWidget())
                expected.erase(at);  // a composite control counts when its part has the focus
            if (focus() == start)
                break;
        }
        std::set<std::string> names;
        for (const QWidget* widget : expected)
            names.insert(widget->objectName().toStdString() + "(" + widget->metaObject()->className() + ")");
        return names;
    }
    QStackedWidget* frameStack() const { return wizard.findChild<QStackedWidget*>(QStringLiteral("frameStack")); }
    // Opens the member menu on `editor`'s current member with `code` and
    // `modifiers`; true when the menu came up beside that member's row.
    bool openMemberMenu(NxDimEditCtrl* editor, Qt::Key code, Qt::KeyboardModifiers modifiers)
    {
        QTreeView* tree = editor->treeView();
        if (!tabTo(tree))
            return false;
        key(code, modifiers);
        if (!QTest::qWaitFor([this] { return wizard.mnuCheckOptions->isVisible(); }, 2000))
            return false;
        const QRect row = tree->visualRect(tree->currentIndex());
        const QRect rowOnScreen(tree->viewport()->mapToGlobal(row.topLeft()), row.size());
        return rowOnScreen.adjusted(-4, -4, 4, 4).contains(wizard.mnuCheckOptions->pos());
    }

    std::shared_ptr<sheet::Application> app;
};

TEST_F(KeyboardWalk, AUserFinishesTheWizardWithKeysAlone)
{
    QSignalSpy results(&wizard, &NxPivotWizardCtrl::PivotResult);
    EXPECT_EQ(unreachedByTab(), std::set<std::string>{}) << "welcome step";
    key(Qt::Key_Return);
    ASSERT_EQ(wizard.currentStep(), 1) << "Enter presses Next";

    // The cube: the store's Sales, picked in the selector's list.
    EXPECT_EQ(unreachedByTab(), std::set<std::string>{}) << "cube step";
    ASSERT_TRUE(tabTo(wizard.NxCubeSelectorCtrl1->findChild<QListWidget*>(QStringLiteral("storeCubeList"))));
    key(Qt::Key_Space);
    key(Qt::Key_Return);
    ASSERT_EQ(wizard.currentStep(), 2) << (messages.shown().empty() ? "" : messages.shown().back().text.toStdString());

    // The layout: Store joins the rows and goes first.
    EXPECT_EQ(unreachedByTab(), std::set<std::string>{}) << "layout step";
    ASSERT_TRUE(tabTo(layout(kBackground)));
    key(Qt::Key_Home);
    key(Qt::Key_Space);
    EXPECT_EQ(selected(layout(kBackground)), text("Store"));
    key(Qt::Key_Right, Qt::ControlModifier);  // Background -> Rows
    key(Qt::Key_Up, Qt::ControlModifier);     // first in the rows
    EXPECT_EQ(entries(layout(kRows)), (QStringList{text("Store"), text("Product")}));
    key(Qt::Key_Return);
    ASSERT_EQ(wizard.currentStep(), 3);

    // The measures: the member menu from the context-menu key; Escape closes the menu only.
    EXPECT_EQ(unreachedByTab(), std::set<std::string>{}) << "measures step";
    EXPECT_TRUE(openMemberMenu(wizard.NxDimEditMembers, Qt::Key_Menu, {})) << "the context-menu key";
    key(Qt::Key_Escape);
    QTRY_VERIFY(!wizard.mnuCheckOptions->isVisible());
    ASSERT_EQ(wizard.currentStep(), 3) << "Escape closed the menu only";
    key(Qt::Key_Return);
    ASSERT_EQ(wizard.currentStep(), 4);

    // The row members: Shift+F10 on the first store country, Select > Children.
    EXPECT_EQ(unreachedByTab(), std::set<std::string>{}) << "row members step";
    NxDimEditCtrl* stores = wizard.editorOf(1, text("Store"));
    ASSERT_NE(stores, nullptr);
    ASSERT_TRUE(tabTo(stores->treeView()));
    key(Qt::Key_Home);
    const std::size_t storesChecked = checkedCaptions(stores).size();
    ASSERT_TRUE(openMemberMenu(stores, Qt::Key_F10, Qt::ShiftModifier)) << "Shift+F10";
    for (Qt::Key code : {Qt::Key_Down, Qt::Key_Right, Qt::Key_Down, Qt::Key_Return})  // Select > Children
        key(code);
    QTRY_VERIFY(!wizard.mnuCheckOptions->isVisible());
    EXPECT_GT(checkedCaptions(stores).size(), storesChecked);
    key(Qt::Key_Return);
    ASSERT_EQ(wizard.currentStep(), 5);
    EXPECT_EQ(unreachedByTab(), std::set<std::string>{}) << "column members step";
    key(Qt::Key_Return);
    ASSERT_EQ(wizard.currentStep(), 6);

    // The layout step, the decimal-places spinner shown.
    ASSERT_TRUE(tabTo(wizard.chkDps));
    key(Qt::Key_Space);
    ASSERT_TRUE(wizard.chkDps->isChecked());
    EXPECT_EQ(unreachedByTab(), std::set<std::string>{}) << "report layout step";
    ASSERT_TRUE(tabTo(wizard.fraText[1]));
    key(Qt::Key_Return);  // Enter in the start row presses Finish
    ASSERT_EQ(results.count(), 1) << (messages.shown().empty() ? "no message" : messages.shown().back().text.toStdString());
    EXPECT_TRUE(results.at(0).at(0).toBool());
}

}  // namespace
