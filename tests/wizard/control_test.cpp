// The control's own interface: the welcome step's setting and the help
// form its help buttons open.
#include "common/wizardtest.h"
#include "wizard/forms/frmerrorhand.h"
#include "wizard/forms/frmhelp.h"
#include "wizard/settings/registry.h"
#include "widgets/nxhelpctrl.h"

#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {

const QString kDefaults = QStringLiteral("Software\\Brennlow\\Defaults"), kSetting = QStringLiteral("ShowPivotWizardStep1");

class Control : public testing::Test {
protected:
    TempSettings settings;
    RecordingMessages messages;
};

TEST_F(Control, TheSkipBoxWritesTheSettingThatMakesBeginSkipTheWelcomeStep)
{
    TestWizard wizard;
    EXPECT_FALSE(findControl<QCheckBox>(&wizard, "chkSkip")->isChecked());
    for (const char* written : {"False", "True", "False"}) {
        findControl<QCheckBox>(&wizard, "chkSkip")->click();
        QVariant value;
        fReadValue(QStringLiteral("HKCU"), kDefaults, kSetting, QStringLiteral("S"), QString(), value);
        EXPECT_EQ(value.toString(), QString::fromLatin1(written));
    }
    TestWizard next;
    EXPECT_TRUE(findControl<QCheckBox>(&next, "chkSkip")->isChecked());
    QSignalSpy steps(&next, &NxPivotWizardCtrl::wizardStep);
    next.Begin();
    EXPECT_EQ(next.currentStep(), 1);
    EXPECT_EQ(steps.count(), 1);
}

// The one help form is modeless, has no owner window and shows the wizard's
// topic; Done, its close box or the control's end unload it and let go of
// the control.
TEST_F(Control, TheHelpButtonOpensTheHelpFormWhichLetsGoOfTheControlWhenItCloses)
{
    for (const char* way : {"doneButton", "close box", "owner gone"}) {
        SCOPED_TRACE(way);
        auto control = std::make_unique<TestWizard>();
        findControl<QToolButton>(control.get(), "butHelp", 0)->click();
        ASSERT_TRUE(frmHelp::isLoaded());
        frmHelp& form = frmHelp::instance();
        EXPECT_TRUE(form.isVisible() && !form.isModal() && control->findChildren<frmHelp*>().isEmpty());
        EXPECT_EQ(form.ownerControl.data(), control.get());
        EXPECT_TRUE(QTest::qWaitFor([&] { return form.NxHelpCtrl1->helpWizard() == 5 && form.NxHelpCtrl1->helpStep() == 1; }));
        if (std::string(way) == "close box") {
            EXPECT_TRUE(form.close());
        } else {
            if (std::string(way) == "owner gone")
                control.reset();
            for (const char* button : {"hotTipButton", "doneButton"})
                form.NxHelpCtrl1->findChild<QPushButton*>(QString::fromLatin1(button))->click();
        }
        EXPECT_TRUE(form.ownerControl.isNull());
        EXPECT_TRUE(QTest::qWaitFor([] { return !frmHelp::isLoaded(); }));
        EXPECT_FALSE(frmErrorHand::isLoaded());
    }
}

}  // namespace
