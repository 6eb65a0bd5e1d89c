// The step machine: buttons, their states, the refusals and Finish's walk.
#include "stagedwizard.h"
#include "support/controls.h"
#include "support/recordingmessages.h"
#include "support/tempsettings.h"

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QStackedWidget>

#include <gtest/gtest.h>

namespace {

class StepMachine : public testing::Test {
protected:
    TempSettings settings;
    RecordingMessages messages;
    StagedWizard wizard;
    QSignalSpy steps{&wizard, &NxPivotWizardCtrl::wizardStep};
    QSignalSpy results{&wizard, &NxPivotWizardCtrl::PivotResult};

    QPushButton* button(int index) { return findControl<QPushButton>(&wizard, "butCommand", index); }
    QWidget* frontFrame() { return wizard.findChild<QStackedWidget*>(QStringLiteral("frameStack"))->currentWidget(); }
    QWidget* frame(int step) { return findControl<QWidget>(&wizard, "fralayout", step); }
    QListWidget* list(const char* name, int index) { return findControl<QListWidget>(&wizard, name, index); }
    void prepareValidDesign()
    {
        wizard.arrangeDimensions({QStringLiteral("Product"), QStringLiteral("Store")}, {QStringLiteral("Time")});
    }
};

struct ButtonStates {
    int step;
    bool back, next, finish, cancel;
};

TEST_F(StepMachine, FreshControlShowsTheWelcomeStep)
{
    EXPECT_EQ(wizard.currentStep(), 0);
    EXPECT_EQ(frontFrame(), frame(0));
    EXPECT_EQ(steps.count(), 0);
}

TEST_F(StepMachine, ButtonsAreEnabledAsTheStepAllows)
{
    const ButtonStates expected[] = {{0, false, true, false, true}, {1, true, true, true, true},
                                     {2, true, true, true, true},   {3, true, true, true, true},
                                     {4, true, true, true, true},   {5, true, true, true, true},
                                     {6, true, false, true, true}};
    prepareValidDesign();
    for (const ButtonStates& state : expected) {
        wizard.goToStep(state.step);
        ASSERT_EQ(wizard.currentStep(), state.step);
        EXPECT_EQ(button(0)->isEnabled(), state.back) << "step " << state.step;
        EXPECT_EQ(button(1)->isEnabled(), state.next) << "step " << state.step;
        EXPECT_EQ(button(2)->isEnabled(), state.finish) << "step " << state.step;
        EXPECT_EQ(button(3)->isEnabled(), state.cancel) << "step " << state.step;
        EXPECT_EQ(frontFrame(), frame(state.step));
    }
}

TEST_F(StepMachine, NextRaisesTheWindowTitleAndOneBasedNumberOfTheNewStep)
{
    button(1)->click();
    ASSERT_EQ(steps.count(), 1);
    EXPECT_EQ(steps.at(0).at(0).toString(), QStringLiteral("PivotTable Wizard (Step 2 of 7)"));
    EXPECT_EQ(steps.at(0).at(1).value<qint16>(), 2);
    EXPECT_EQ(wizard.currentStep(), 1);
}

TEST_F(StepMachine, LeavingTheWelcomeStepHandsTheApplicationPathToTheSelector)
{
    wizard.ApplicationPath(QStringLiteral("/data/store/pivotwizard"));
    button(1)->click();
    EXPECT_EQ(wizard.appPathOfSelector(), QStringLiteral("/data/store/pivotwizard"));
}

TEST_F(StepMachine, CubeStepStaysWhenTheChoiceIsInvalid)
{
    wizard.goToStep(1);
    wizard.cubeValid = false;
    button(1)->click();
    EXPECT_EQ(wizard.currentStep(), 1);
    EXPECT_EQ(wizard.storeLoads + wizard.fileLoads, 0);
}

TEST_F(StepMachine, CubeStepLoadsThroughTheLoaderOfTheSourceKind)
{
    wizard.sourceKind = 1;
    wizard.goToStep(2);
    EXPECT_EQ(wizard.storeLoads, 1);
    EXPECT_EQ(wizard.fileLoads, 0);
    button(0)->click();
    wizard.sourceKind = 4;
    button(1)->click();
    EXPECT_EQ(wizard.fileLoads, 1);
    EXPECT_EQ(wizard.currentStep(), 2);
}

TEST_F(StepMachine, CubeStepStaysWhenTheCubeDoesNotLoad)
{
    wizard.cubeLoads = false;
    wizard.goToStep(2);
    EXPECT_EQ(wizard.currentStep(), 1);
}

TEST_F(StepMachine, NextOnLayoutStepWithEmptyColumnsShowsDimensionsRequired)
{
    wizard.arrangeDimensions({QStringLiteral("Product")}, {});
    wizard.goToStep(2);
    steps.clear();
    button(1)->click();
    const RecordedMessage shown = messages.single();
    EXPECT_EQ(shown.text, QStringLiteral("The row and column areas must contain at least one dimension."));
    EXPECT_EQ(shown.title, QStringLiteral("Dimensions required"));
    EXPECT_EQ(shown.icon, MessageIcon::Exclamation);
    EXPECT_EQ(wizard.currentStep(), 2);
    EXPECT_EQ(steps.count(), 0);
    EXPECT_EQ(frontFrame(), frame(2));
}

TEST_F(StepMachine, NextOnLayoutStepWithEmptyRowsIsRefusedToo)
{
    wizard.arrangeDimensions({}, {QStringLiteral("Time")});
    wizard.goToStep(3);
    EXPECT_EQ(wizard.currentStep(), 2);
    EXPECT_EQ(messages.single().title, QStringLiteral("Dimensions required"));
}

TEST_F(StepMachine, NextOnMeasuresStepWithoutMeasuresNamesTheMeasuresDimension)
{
    prepareValidDesign();
    wizard.setMeasuresDimension(QStringLiteral("Measures"));
    wizard.measuresChosen = 0;
    wizard.goToStep(4);
    EXPECT_EQ(wizard.currentStep(), 3);
    const RecordedMessage shown = messages.single();
    EXPECT_EQ(shown.text, QStringLiteral("The Measure 'Measures' requires at least one member to be selected"));
    EXPECT_EQ(shown.title, QStringLiteral("Measures required"));
}

TEST_F(StepMachine, MemberStepsCheckTheDimensionShownBeforeMovingOn)
{
    prepareValidDesign();
    wizard.goToStep(6);
    EXPECT_EQ(wizard.membersChecked, (QStringList{QStringLiteral("Product"), QStringLiteral("Time")}));
    EXPECT_EQ(wizard.workbookReads, 1);
}

TEST_F(StepMachine, RowMembersStepStaysWhenMembersAreMissing)
{
    prepareValidDesign();
    wizard.goToStep(4);
    wizard.membersChosen = false;
    button(1)->click();
    EXPECT_EQ(wizard.currentStep(), 4);
}

TEST_F(StepMachine, FinishFromLayoutStepWalksTheRemainingStepsAndBuilds)
{
    prepareValidDesign();
    wizard.goToStep(2);
    steps.clear();
    button(2)->click();
    ASSERT_EQ(steps.count(), 4);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(steps.at(i).at(1).value<qint16>(), i + 4);
    EXPECT_EQ(wizard.builds, 1);
    ASSERT_EQ(results.count(), 1);
    EXPECT_TRUE(results.at(0).at(0).toBool());
    EXPECT_EQ(wizard.currentStep(), 6);
}

TEST_F(StepMachine, FinishStopsAtTheFirstStepThatRefuses)
{
    prepareValidDesign();
    wizard.measuresChosen = 0;
    wizard.goToStep(2);
    button(2)->click();
    EXPECT_EQ(wizard.currentStep(), 3);
    EXPECT_EQ(frontFrame(), frame(3));
    EXPECT_EQ(messages.single().title, QStringLiteral("Measures required"));
    EXPECT_EQ(wizard.builds, 0);
    EXPECT_EQ(results.count(), 0);
    EXPECT_TRUE(wizard.updatesEnabled());
}

TEST_F(StepMachine, FinishOnLayoutStepBuildsAtOnce)
{
    prepareValidDesign();
    wizard.goToStep(6);
    steps.clear();
    button(2)->click();
    EXPECT_EQ(steps.count(), 0);
    EXPECT_EQ(wizard.builds, 1);
    EXPECT_EQ(results.count(), 1);
}

TEST_F(StepMachine, FailedBuildLeavesTheWizardOnTheLayoutStepWithoutResult)
{
    prepareValidDesign();
    wizard.buildSucceeds = false;
    wizard.goToStep(6);
    button(2)->click();
    EXPECT_EQ(results.count(), 0);
    EXPECT_EQ(wizard.currentStep(), 6);
    EXPECT_EQ(frontFrame(), frame(6));
    EXPECT_TRUE(wizard.updatesEnabled());
}

TEST_F(StepMachine, CancelRaisesFalseOnEveryStepAndChangesNothing)
{
    prepareValidDesign();
    for (int step = 0; step <= 6; ++step) {
        wizard.goToStep(step);
        results.clear();
        steps.clear();
        button(3)->click();
        ASSERT_EQ(results.count(), 1) << "step " << step;
        EXPECT_FALSE(results.at(0).at(0).toBool());
        EXPECT_EQ(wizard.currentStep(), step);
        EXPECT_EQ(steps.count(), 0);
    }
}

TEST_F(StepMachine, BackToRowMembersSelectsTheRowDimensionAndFurtherBackClearsIt)
{
    prepareValidDesign();
    wizard.goToStep(5);
    list("lstCubeOptions", 1)->setCurrentRow(1);
    button(0)->click();
    EXPECT_EQ(wizard.currentStep(), 4);
    EXPECT_EQ(wizard.dimensionName(), QStringLiteral("Store"));
    button(0)->click();
    EXPECT_EQ(wizard.currentStep(), 3);
    EXPECT_TRUE(wizard.dimensionName().isEmpty());
}

TEST_F(StepMachine, BackNeverValidates)
{
    prepareValidDesign();
    wizard.goToStep(6);
    wizard.membersChosen = false;
    wizard.cubeValid = false;
    for (int expected = 5; expected >= 0; --expected) {
        button(0)->click();
        EXPECT_EQ(wizard.currentStep(), expected);
    }
    EXPECT_TRUE(messages.shown().empty());
}

TEST_F(StepMachine, StepChangesLeaveNoHourglassBehind)
{
    prepareValidDesign();
    wizard.goToStep(6);
    button(0)->click();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(StepMachine, EnteringTheLayoutStepShowsTheDecimalPlacesSpinnerValue)
{
    prepareValidDesign();
    wizard.goToStep(6);
    auto* places = wizard.findChild<QLabel*>(QStringLiteral("lblDps"));
    EXPECT_EQ(places->text(), QStringLiteral("2"));
    EXPECT_FALSE(places->isEnabled());  // "Set decimal places" starts unchecked
}

}  // namespace
