// The control's automation interface and its welcome-step setting.
#include "wizard/control/nxpivotwizardctrl.h"
#include "wizard/settings/registry.h"
#include "support/controls.h"
#include "support/recordingmessages.h"
#include "support/tempsettings.h"

#include <QCheckBox>
#include <QSignalSpy>
#include <QStackedWidget>

#include <gtest/gtest.h>

namespace {

const QString kDefaults = QStringLiteral("Software\\Brennlow\\Defaults");
const QString kShowWelcome = QStringLiteral("ShowPivotWizardStep1");

class ControlInterface : public testing::Test {
protected:
    TempSettings settings;
    RecordingMessages messages;

    static QString storedWelcomeSetting()
    {
        QVariant value;
        fReadValue(QStringLiteral("HKCU"), kDefaults, kShowWelcome, QStringLiteral("S"), QStringLiteral("absent"), value);
        return value.toString();
    }
    static void storeWelcomeSetting(const QString& value)
    {
        fWriteValue(QStringLiteral("HKCU"), kDefaults, kShowWelcome, QStringLiteral("S"), value);
    }
};

TEST_F(ControlInterface, StepDescriptionsAreTheSevenHeadingsInStepOrder)
{
    NxPivotWizardCtrl wizard;
    const QStringList headings = wizard.stepDescriptions();
    ASSERT_EQ(headings.size(), 7);
    EXPECT_EQ(headings.first(), QStringLiteral("Welcome to the PivotTable wizard"));
    EXPECT_EQ(headings.at(2), QStringLiteral("Organise dimensions"));
    EXPECT_EQ(headings.last(), QStringLiteral("Choose PivotTable layout"));
}

TEST_F(ControlInterface, StepDescriptionsReturnsAFreshListEachCall)
{
    NxPivotWizardCtrl wizard;
    QStringList first = wizard.stepDescriptions();
    first.clear();
    EXPECT_EQ(wizard.stepDescriptions().size(), 7);
}

TEST_F(ControlInterface, HostPropertiesChangeNothingVisible)
{
    NxPivotWizardCtrl wizard;
    QSignalSpy steps(&wizard, &NxPivotWizardCtrl::wizardStep);
    wizard.SourceDSN(QStringLiteral("Elsewhere"));
    wizard.Provider(QStringLiteral("Other.1"));
    wizard.hotTipSet(-32768);
    wizard.hotTipEnd(32767);
    EXPECT_EQ(wizard.currentStep(), 0);
    EXPECT_EQ(steps.count(), 0);
    EXPECT_TRUE(messages.shown().empty());
}

TEST_F(ControlInterface, XlAppIsHeldUntilReplaced)
{
    NxPivotWizardCtrl wizard;
    EXPECT_EQ(wizard.xlApp(), nullptr);
}

TEST(ApplicationFolder, KeepsEveryComponentButTheLast)
{
    const std::pair<const char*, const char*> cases[] = {
        {"C:\\A\\B\\x.exe", "C:/A/B/"},   {"C:\\Apps\\Cubes\\", "C:/Apps/"},
        {"C:\\Apps\\Cubes\\Host.exe", "C:/Apps/Cubes/"},
        {"x.exe", ""},                    {"", ""},
        {"/home/ann/store/pivotwizard", "/home/ann/store/"},
        {"/home/ann/store/", "/home/ann/"}, {"relative/dir\\mixed/app", "relative/dir/mixed/"}};
    for (const auto& [path, folder] : cases)
        EXPECT_EQ(NxPivotWizardCtrl::applicationFolder(QString::fromUtf8(path)), QString::fromUtf8(folder)) << path;
}

TEST_F(ControlInterface, BeginShowsTheWelcomeStepWhenTheSettingIsAbsent)
{
    NxPivotWizardCtrl wizard;
    QSignalSpy steps(&wizard, &NxPivotWizardCtrl::wizardStep);
    wizard.Begin();
    EXPECT_EQ(steps.count(), 0);
    EXPECT_EQ(wizard.currentStep(), 0);
    EXPECT_FALSE(findControl<QCheckBox>(&wizard, "chkSkip")->isChecked());
}

TEST_F(ControlInterface, BeginShowsTheWelcomeStepWhenTheSettingIsTrue)
{
    storeWelcomeSetting(QStringLiteral("True"));
    NxPivotWizardCtrl wizard;
    QSignalSpy steps(&wizard, &NxPivotWizardCtrl::wizardStep);
    wizard.Begin();
    EXPECT_EQ(steps.count(), 0);
}

TEST_F(ControlInterface, BeginMovesToTheCubeStepWhenTheSettingIsFalse)
{
    storeWelcomeSetting(QStringLiteral("False"));
    NxPivotWizardCtrl wizard;
    EXPECT_TRUE(findControl<QCheckBox>(&wizard, "chkSkip")->isChecked());
    QSignalSpy steps(&wizard, &NxPivotWizardCtrl::wizardStep);
    wizard.Begin();
    ASSERT_EQ(steps.count(), 1);
    EXPECT_EQ(steps.at(0).at(0).toString(), QStringLiteral("PivotTable Wizard (Step 2 of 7)"));
    EXPECT_EQ(steps.at(0).at(1).value<qint16>(), 2);
    EXPECT_EQ(wizard.currentStep(), 1);
}

TEST_F(ControlInterface, CheckingSkipWritesFalseAndUncheckingWritesTrue)
{
    NxPivotWizardCtrl wizard;
    auto* skip = findControl<QCheckBox>(&wizard, "chkSkip");
    skip->click();
    EXPECT_EQ(storedWelcomeSetting(), QStringLiteral("False"));
    skip->click();
    EXPECT_EQ(storedWelcomeSetting(), QStringLiteral("True"));
}

TEST_F(ControlInterface, SkipChoiceTakesEffectInTheNextControl)
{
    {
        NxPivotWizardCtrl first;
        findControl<QCheckBox>(&first, "chkSkip")->click();
    }
    NxPivotWizardCtrl second;
    second.Begin();
    EXPECT_EQ(second.currentStep(), 1);
}

TEST_F(ControlInterface, SkipChoiceTakesEffectAtTheNextBeginOfTheSameControl)
{
    NxPivotWizardCtrl wizard;
    findControl<QCheckBox>(&wizard, "chkSkip")->click();
    wizard.Begin();
    EXPECT_EQ(wizard.currentStep(), 1);
}

}  // namespace
