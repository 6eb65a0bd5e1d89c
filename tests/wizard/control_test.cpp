// The control's own interface: the welcome step's setting, the application
// folder, the start column list and the spinners of the layout step.
#include "common/wizardtest.h"
#include "wizard/settings/registry.h"

#include <QSignalSpy>

namespace {

class Control : public testing::Test {
protected:
    static QString storedWelcomeSetting()
    {
        QVariant value;
        fReadValue(QStringLiteral("HKCU"), QStringLiteral("Software\\Brennlow\\Defaults"),
                   QStringLiteral("ShowPivotWizardStep1"), QStringLiteral("S"), QStringLiteral("absent"), value);
        return value.toString();
    }

    TempSettings settings;
    RecordingMessages messages;
};

TEST_F(Control, BeginSkipsTheWelcomeStepWhenTheSettingSaysFalse)
{
    for (const auto& [stored, skipped] : {std::pair{"", false}, {"True", false}, {"False", true}}) {
        SCOPED_TRACE(stored);
        if (*stored)
            fWriteValue(QStringLiteral("HKCU"), QStringLiteral("Software\\Brennlow\\Defaults"),
                        QStringLiteral("ShowPivotWizardStep1"), QStringLiteral("S"), QString::fromLatin1(stored));
        TestWizard wizard;
        EXPECT_EQ(findControl<QCheckBox>(&wizard, "chkSkip")->isChecked(), skipped);
        QSignalSpy steps(&wizard, &NxPivotWizardCtrl::wizardStep);
        wizard.Begin();
        EXPECT_EQ(wizard.currentStep(), skipped ? 1 : 0);
        ASSERT_EQ(steps.count(), skipped ? 1 : 0);
        if (skipped) {
            EXPECT_EQ(steps.at(0).at(0).toString(), QStringLiteral("PivotTable Wizard (Step 2 of 7)"));
        }
    }
}

TEST_F(Control, TheSkipBoxWritesTheSettingForTheNextBegin)
{
    TestWizard wizard;
    auto* skip = findControl<QCheckBox>(&wizard, "chkSkip");
    skip->click();
    EXPECT_EQ(storedWelcomeSetting(), QStringLiteral("False"));
    wizard.Begin();
    EXPECT_EQ(wizard.currentStep(), 1);
    TestWizard next;
    next.Begin();
    EXPECT_EQ(next.currentStep(), 1);
    skip->click();
    EXPECT_EQ(storedWelcomeSetting(), QStringLiteral("True"));
}

TEST(ApplicationFolder, KeepsEveryComponentButTheLast)
{
    const std::pair<const char*, const char*> cases[] = {
        {"C:\\A\\B\\x.exe", "C:/A/B/"}, {"C:\\Apps\\Cubes\\", "C:/Apps/"}, {"x.exe", ""}, {"", ""},
        {"/home/ann/store/pivotwizard", "/home/ann/store/"}, {"/home/ann/store/", "/home/ann/"},
        {"relative/dir\\mixed/app", "relative/dir/mixed/"}};
    for (const auto& [path, folder] : cases)
        EXPECT_EQ(NxPivotWizardCtrl::applicationFolder(QString::fromUtf8(path)), QString::fromUtf8(folder)) << path;
}

TEST_F(Control, TheLayoutStepOffersColumnsAToIVAndShowsItsSpinnersAsPositiveNumbers)
{
    TestWizard wizard;
    ASSERT_EQ(wizard.cboAZ->count(), 256);
    const std::pair<int, const char*> names[] = {{0, "A"}, {25, "Z"}, {26, "AA"}, {51, "AZ"}, {52, "BA"}, {255, "IV"}};
    for (const auto& [index, name] : names)
        EXPECT_EQ(wizard.cboAZ->itemText(index), QString::fromLatin1(name));
    EXPECT_EQ(wizard.cboAZ->currentText(), QStringLiteral("A"));
    auto* rows = findControl<QScrollBar>(&wizard, "vRowScroll");
    EXPECT_EQ(wizard.fraText[1]->text(), QStringLiteral("1"));
    rows->setValue(-42);
    EXPECT_EQ(wizard.fraText[1]->text(), QStringLiteral("42"));
    EXPECT_EQ(wizard.lblDps->text(), QStringLiteral("2"));
    wizard.dpscrllbr->setValue(-5);
    EXPECT_EQ(wizard.lblDps->text(), QStringLiteral("5"));
    for (const bool on : {true, false}) {
        wizard.chkDps->click();
        EXPECT_EQ(wizard.dpscrllbr->isEnabled(), on);
        EXPECT_EQ(wizard.lblDps->isEnabled(), on);
    }
}

}  // namespace
