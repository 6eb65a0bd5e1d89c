// The help control: the PivotTable wizard's topics, hot tips reported to the
// wizard, and what it shows for help sets and steps it does not have.
#include "widgets/nxhelpctrl.h"

#include "support/controls.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTextBrowser>

#include <gtest/gtest.h>

namespace {

class HelpControl : public ::testing::Test {
protected:
    QString shownText() const { return findControl<QTextBrowser>(&help, "topicBrowser")->toPlainText(); }
    QListWidget* topicList() const { return findControl<QListWidget>(&help, "topicList"); }
    QLabel* hotTipPanel() const { return findControl<QLabel>(&help, "hotTipPanel"); }
    QPushButton* button(const char* name) const { return findControl<QPushButton>(&help, name); }

    NxHelpCtrl help;
};

// A wizard without help, a step outside the wizard.
TEST_F(HelpControl, WithoutATopicItShowsNoHelpAndNoHotTip)
{
    const struct { qint16 wizard, step; const char* text; int topics; } cases[] = {
        {3, 1, "No help available", 0}, {NxHelpCtrl::kPivotTableWizard, 8, "No help topic", 7}};
    for (const auto& c : cases) {
        help.setHelpWizard(c.wizard);
        help.setHelpStep(c.step);
        EXPECT_TRUE(shownText().contains(QString::fromLatin1(c.text))) << c.wizard << "/" << c.step;
        EXPECT_EQ(topicList()->count(), c.topics);
        EXPECT_EQ(topicList()->currentRow(), -1);
        EXPECT_FALSE(button("hotTipButton")->isEnabled());
    }
}

// Choosing a topic in the list makes it the step that Hot Tip reports.
TEST_F(HelpControl, HotTipAndDoneReportToTheWizard)
{
    help.setHelpWizard(NxHelpCtrl::kPivotTableWizard);
    help.setHelpStep(3);
    QSignalSpy hotTip(&help, &NxHelpCtrl::hotTipCalled);
    QSignalSpy done(&help, &NxHelpCtrl::wizardResult);
    button("hotTipButton")->click();
    topicList()->setCurrentRow(5);
    EXPECT_EQ(help.helpStep(), 6);
    EXPECT_TRUE(shownText().contains(QStringLiteral("Step 6 of 7")));
    button("hotTipButton")->click();
    button("doneButton")->click();
    ASSERT_EQ(hotTip.count(), 2);
    EXPECT_EQ(hotTip.at(0), (QList<QVariant>{QVariant::fromValue<qint16>(5), QVariant::fromValue<qint16>(3)}));
    EXPECT_EQ(hotTip.at(1).at(1).value<qint16>(), 6);
    ASSERT_EQ(done.count(), 1);
    EXPECT_TRUE(done.at(0).at(0).toBool());
}

}  // namespace
