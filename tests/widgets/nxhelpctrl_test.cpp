#include "widgets/nxhelpctrl.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSet>
#include <QSignalSpy>
#include <QTextBrowser>

#include <gtest/gtest.h>

namespace {

class HelpControl : public ::testing::Test {
protected:
    void showPivotTopic(qint16 step)
    {
        help.setHelpWizard(NxHelpCtrl::kPivotTableWizard);
        help.setHelpStep(step);
    }
    QString shownText() const { return child<QTextBrowser>("topicBrowser")->toPlainText(); }
    QListWidget* topicList() const { return child<QListWidget>("topicList"); }
    QLabel* hotTipPanel() const { return child<QLabel>("hotTipPanel"); }
    void press(const char* button) { child<QPushButton>(button)->click(); }
    bool hotTipEnabled() const { return child<QPushButton>("hotTipButton")->isEnabled(); }

    template <class T>
    T* child(const char* name) const
    {
        T* widget = help.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }

    NxHelpCtrl help;
};

TEST_F(HelpControl, ShowsNoHelpTextBeforeAWizardIsChosen)
{
    EXPECT_EQ(help.helpWizard(), 0);
    EXPECT_TRUE(shownText().contains(QStringLiteral("No help available")));
    EXPECT_FALSE(hotTipEnabled());
}

TEST_F(HelpControl, UnknownWizardShowsNoHelpTextAndNoTopics)
{
    help.setHelpWizard(3);
    help.setHelpStep(1);

    EXPECT_TRUE(shownText().contains(QStringLiteral("No help available")));
    EXPECT_EQ(topicList()->count(), 0);
    EXPECT_FALSE(hotTipEnabled());
    EXPECT_EQ(NxHelpCtrl::topicCount(3), 0);
}

TEST_F(HelpControl, PropertiesKeepWhatWasWritten)
{
    help.setHelpWizard(NxHelpCtrl::kPivotTableWizard);
    help.setHelpStep(4);

    EXPECT_EQ(help.helpWizard(), 5);
    EXPECT_EQ(help.helpStep(), 4);
    EXPECT_EQ(help.property("helpWizard").value<qint16>(), 5);
    EXPECT_EQ(help.property("helpStep").value<qint16>(), 4);
}

TEST_F(HelpControl, WritingPropertiesByNameShowsTheTopic)
{
    help.setProperty("helpWizard", QVariant::fromValue<qint16>(5));
    help.setProperty("helpStep", QVariant::fromValue<qint16>(2));

    EXPECT_TRUE(shownText().contains(QStringLiteral("Step 2 of 7")));
}

TEST_F(HelpControl, PivotTableWizardHasSevenTopicsInTheList)
{
    showPivotTopic(1);

    EXPECT_EQ(NxHelpCtrl::topicCount(NxHelpCtrl::kPivotTableWizard), 7);
    ASSERT_EQ(topicList()->count(), 7);
    EXPECT_EQ(topicList()->item(0)->text(), QStringLiteral("Step 1 of 7 — Welcome"));
    EXPECT_EQ(topicList()->item(6)->text(), QStringLiteral("Step 7 of 7 — Choose PivotTable layout"));
}

TEST_F(HelpControl, EveryStepShowsItsOwnTopic)
{
    QSet<QString> texts;
    for (qint16 step = 1; step <= 7; ++step) {
        showPivotTopic(step);
        const QString text = shownText();
        EXPECT_TRUE(text.contains(QStringLiteral("Step %1 of 7").arg(step))) << step;
        EXPECT_FALSE(text.contains(QStringLiteral("No help"))) << step;
        EXPECT_GT(text.size(), 200) << step;
        texts.insert(text);
    }
    EXPECT_EQ(texts.size(), 7);
}

TEST_F(HelpControl, StepOutsideTheWizardShowsNoTopicText)
{
    showPivotTopic(8);

    EXPECT_TRUE(shownText().contains(QStringLiteral("No help topic")));
    EXPECT_EQ(topicList()->currentRow(), -1);
    EXPECT_FALSE(hotTipEnabled());
}

TEST_F(HelpControl, SettingTheStepSelectsItsTopicInTheList)
{
    showPivotTopic(3);

    EXPECT_EQ(topicList()->currentRow(), 2);
}

TEST_F(HelpControl, ChoosingATopicInTheListShowsItAndBecomesTheHelpStep)
{
    showPivotTopic(1);

    topicList()->setCurrentRow(3);

    EXPECT_EQ(help.helpStep(), 4);
    EXPECT_TRUE(shownText().contains(QStringLiteral("Step 4 of 7")));
}

TEST_F(HelpControl, HotTipEmitsHotTipCalledWithWizardAndStep)
{
    showPivotTopic(3);
    QSignalSpy spy(&help, &NxHelpCtrl::hotTipCalled);

    press("hotTipButton");

    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.at(0).at(0).value<qint16>(), 5);
    EXPECT_EQ(spy.at(0).at(1).value<qint16>(), 3);
}

TEST_F(HelpControl, HotTipAfterBrowsingReportsTheTopicShown)
{
    showPivotTopic(1);
    topicList()->setCurrentRow(5);
    QSignalSpy spy(&help, &NxHelpCtrl::hotTipCalled);

    press("hotTipButton");

    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.at(0).at(1).value<qint16>(), 6);
}

TEST_F(HelpControl, HotTipShowsADifferentTipForEachTopic)
{
    QSet<QString> tips;
    for (qint16 step = 1; step <= 7; ++step) {
        showPivotTopic(step);
        press("hotTipButton");
        EXPECT_FALSE(hotTipPanel()->isHidden()) << step;
        EXPECT_TRUE(hotTipPanel()->text().contains(QStringLiteral("Hot Tip"))) << step;
        tips.insert(hotTipPanel()->text());
    }
    EXPECT_EQ(tips.size(), 7);
}

TEST_F(HelpControl, ChangingTheTopicHidesThePreviousTip)
{
    showPivotTopic(2);
    press("hotTipButton");

    help.setHelpStep(5);

    EXPECT_TRUE(hotTipPanel()->isHidden());
}

TEST_F(HelpControl, DoneEmitsWizardResultTrue)
{
    showPivotTopic(1);
    QSignalSpy spy(&help, &NxHelpCtrl::wizardResult);

    press("doneButton");

    ASSERT_EQ(spy.count(), 1);
    EXPECT_TRUE(spy.at(0).at(0).toBool());
}

}  // namespace
