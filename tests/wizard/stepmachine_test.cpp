// The step machine: buttons, their states, the refusals and Finish's walk.
#include "common/wizardtest.h"

#include <QApplication>
#include <QSignalSpy>
#include <QStackedWidget>

namespace {

// A wizard whose cube, design and build procedures are stood in for, so that
// each step can be put into the state a test needs.
class StagedWizard : public TestWizard {
public:
    // What the stand-ins answer.
    bool cubeValid = true, membersChosen = true, buildSucceeds = true;
    int measuresChosen = 1;
    // What the stand-ins were asked.
    int builds = 0;
    QStringList membersChecked;

protected:
    bool CheckValidFileSelected() override { return cubeValid; }
    bool LoadCubeDetails() override { return true; }
    bool LoadKCubeDetails() override { return true; }
    void LoadMeasureDetails() override {}
    // Copies the Rows or Columns area and selects its first entry, as the real
    // loader does for a fresh list, which opens that dimension.
    void LoadDimensionDetails(quint8 dimType) override
    {
        QListWidget* target = lstCubeOptions[dimType];
        target->clear();
        target->addItems(entries(lstCubeDetails[dimType == 1 ? kRows : kColumns]));
        if (target->count() > 0) {
            target->setCurrentRow(0);
            currentDimensionName = target->item(0)->text();
        }
    }
    bool checkMembersAreSelected(const QString& aDimension) override
    {
        membersChecked << aDimension;
        return membersChosen;
    }
    bool CreatePivot() override
    {
        ++builds;
        return buildSucceeds;
    }
    int chosenMeasureCount() override { return measuresChosen; }
};

class StepMachine : public testing::Test {
protected:
    // Rows [Product, Store], Columns [Time], so that every step can be left.
    StepMachine()
    {
        wizard.lstCubeDetails[kRows]->addItems({QStringLiteral("Product"), QStringLiteral("Store")});
        wizard.lstCubeDetails[kColumns]->addItem(QStringLiteral("Time"));
    }
    bool click(int index) { return clickButton(wizard, index); }
    void goToStep(int step)
    {
        while (wizard.currentStep() < step && click(1)) {
        }
        ASSERT_EQ(wizard.currentStep(), step);
    }
    int frontFrame() { return wizard.findChild<QStackedWidget*>(QStringLiteral("frameStack"))->currentIndex(); }

    TempSettings settings;
    RecordingMessages messages;
    StagedWizard wizard;
    QSignalSpy steps{&wizard, &NxPivotWizardCtrl::wizardStep};
    QSignalSpy results{&wizard, &NxPivotWizardCtrl::PivotResult};
};

// Cancel, on every step, changes nothing and raises a false result.
TEST_F(StepMachine, NextMovesThroughTheStepsAndCancelEndsInFalse)
{
    for (int step = 0; step <= 6; ++step) {
        SCOPED_TRACE(step);
        if (step > 0) {
            ASSERT_TRUE(click(1));
        }
        EXPECT_EQ(frontFrame(), step);
        EXPECT_FALSE(click(3));
        ASSERT_EQ(results.count(), step + 1);
        EXPECT_FALSE(results.at(step).at(0).toBool());
    }
    ASSERT_EQ(steps.count(), 6);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(steps.at(i).at(1).value<qint16>(), i + 2);
    EXPECT_EQ(wizard.membersChecked, (QStringList{QStringLiteral("Product"), QStringLiteral("Time")}));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(messages.shown().empty());
}

// What each step checks is tested with real cubes; here, that a refusal says
// why and keeps the step.
TEST_F(StepMachine, AStepThatRefusesShowsWhyAndStays)
{
    goToStep(2);
    wizard.lstCubeDetails[kColumns]->clear();
    steps.clear();
    EXPECT_FALSE(click(1));
    EXPECT_EQ(steps.count(), 0);
    EXPECT_EQ(messages.single(), (RecordedMessage{text("The row and column areas must contain at least one dimension."),
                                                  text("Dimensions required"), MessageIcon::Exclamation}));
}

TEST_F(StepMachine, FinishWalksTheRemainingStepsAndBuildsOrStopsWhereAStepRefuses)
{
    goToStep(2);
    steps.clear();
    click(2);
    ASSERT_EQ(steps.count(), 4);
    EXPECT_EQ(steps.at(3).at(1).value<qint16>(), 7);
    EXPECT_EQ(wizard.builds, 1);
    ASSERT_EQ(results.count(), 1);
    EXPECT_TRUE(results.at(0).at(0).toBool());

    steps.clear();
    wizard.buildSucceeds = false;
    click(2);  // on the layout step Finish builds at once; a failed build raises no result and stays
    EXPECT_EQ(steps.count(), 0);
    EXPECT_EQ(results.count(), 1);
    EXPECT_EQ(wizard.builds, 2);
    EXPECT_EQ(wizard.currentStep(), 6);

    while (click(0)) {
    }
    goToStep(2);
    wizard.measuresChosen = 0;
    wizard.measuresDimensionName = QStringLiteral("Measures");
    click(2);
    EXPECT_EQ(wizard.currentStep(), 3);
    EXPECT_EQ(messages.single().text, QStringLiteral("The Measure 'Measures' requires at least one member to be selected"));
    EXPECT_EQ(messages.single().title, QStringLiteral("Measures required"));
    EXPECT_EQ(wizard.builds, 2);
    EXPECT_EQ(results.count(), 1);
    EXPECT_TRUE(wizard.updatesEnabled());
}

}  // namespace
