// The help form and the wait form: their activation, their cooperation with
// the error trap through errorShown, and how the help form lets go of the
// wizard control that opened it.
#include "wizard/control/nxpivotwizardctrl.h"
#include "wizard/errors/errortrap.h"
#include "wizard/forms/fmwait.h"
#include "wizard/forms/frmerrorhand.h"
#include "wizard/forms/frmhelp.h"
#include "stagedwizard.h"
#include "support/controls.h"
#include "support/recordingmessages.h"
#include "support/tempsettings.h"
#include "widgets/nxhelpctrl.h"

#include <QFrame>
#include <QProgressBar>
#include <QPushButton>
#include <QToolButton>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

// Closes a shared form if one is loaded and waits until it is gone, so every
// test starts without one.
template <class Form>
void unload()
{
    if (Form::isLoaded())
        Form::instance().close();
    EXPECT_TRUE(QTest::qWaitFor([] { return !Form::isLoaded(); }));
}

class FormsTest : public ::testing::Test {
protected:
    // Shared forms outlive a test; each test starts and ends without them.
    void SetUp() override { unloadAll(); }
    void TearDown() override { unloadAll(); }
    static void unloadAll()
    {
        unload<frmHelp>();
        unload<FmWait>();
        unload<frmErrorHand>();
        errorShown = false;
    }

    TempSettings settings;
    RecordingMessages messages;
};

class HelpForm : public FormsTest {
protected:
    // The help form as the wizard's help button leaves it.
    frmHelp& openedByTheWizard()
    {
        frmHelp& form = frmHelp::instance();
        form.wizardNumber = 5;
        form.stepNumber = 1;
        form.ownerControl = control.get();
        return form;
    }
    static void press(frmHelp& form, const char* button)
    {
        auto* widget = form.NxHelpCtrl1->findChild<QPushButton*>(QString::fromLatin1(button));
        ASSERT_NE(widget, nullptr) << button;
        widget->click();
    }

    std::unique_ptr<NxPivotWizardCtrl> control = std::make_unique<NxPivotWizardCtrl>();
};

TEST_F(HelpForm, HelpButtonOnAnyStepOpensTheSharedFormOnTheWizardsHelp)
{
    StagedWizard wizard;
    wizard.arrangeDimensions({QStringLiteral("Product")}, {QStringLiteral("Time")});
    frmHelp* first = nullptr;
    for (int step : {0, 3, 6}) {
        wizard.goToStep(step);
        findControl<QToolButton>(&wizard, "butHelp", 0)->click();
        ASSERT_TRUE(frmHelp::isLoaded());
        frmHelp& form = frmHelp::instance();
        first = first ? first : &form;
        EXPECT_EQ(&form, first);  // pressing again reuses the open form
        EXPECT_TRUE(form.isVisible());
        EXPECT_FALSE(form.isModal());
        EXPECT_EQ(form.wizardNumber, 5);
        EXPECT_EQ(form.stepNumber, 1);
        EXPECT_EQ(form.ownerControl.data(), &wizard);
        EXPECT_EQ(wizard.currentStep(), step);
    }
    EXPECT_EQ(wizard.findChildren<frmHelp*>().size(), 0);  // no owner window
}

TEST_F(HelpForm, IsOneSharedInstanceCreatedOnFirstUse)
{
    EXPECT_FALSE(frmHelp::isLoaded());

    frmHelp& form = frmHelp::instance();

    EXPECT_TRUE(frmHelp::isLoaded());
    EXPECT_EQ(&frmHelp::instance(), &form);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("BW Gridworks - Help"));
    EXPECT_TRUE(form.isWindow());
    EXPECT_EQ(form.NxHelpCtrl1->objectName(), QStringLiteral("NxHelpCtrl1"));
}

TEST_F(HelpForm, ActivationWritesWizardAndStepIntoTheHelpControl)
{
    frmHelp& form = openedByTheWizard();

    form.Form_Activate();

    EXPECT_EQ(form.NxHelpCtrl1->helpWizard(), 5);
    EXPECT_EQ(form.NxHelpCtrl1->helpStep(), 1);
}

TEST_F(HelpForm, ShowingTheFormModelessActivatesItOnTheWizardsTopic)
{
    frmHelp& form = openedByTheWizard();

    form.show();
    form.raise();
    form.activateWindow();

    EXPECT_FALSE(form.isModal());
    EXPECT_TRUE(QTest::qWaitFor([&form] {
        return form.NxHelpCtrl1->helpWizard() == 5 && form.NxHelpCtrl1->helpStep() == 1;
    }));
}

TEST_F(HelpForm, ActivationAfterATrappedFailureOnlyClearsErrorShown)
{
    frmHelp& form = openedByTheWizard();
    form.NxHelpCtrl1->setHelpWizard(5);
    form.NxHelpCtrl1->setHelpStep(3);
    errorShown = true;

    form.Form_Activate();

    EXPECT_FALSE(errorShown);
    EXPECT_EQ(form.NxHelpCtrl1->helpStep(), 3);
}

TEST_F(HelpForm, ActivationAfterTheSkippedOneWorksNormally)
{
    frmHelp& form = openedByTheWizard();
    form.NxHelpCtrl1->setHelpStep(3);
    errorShown = true;
    form.Form_Activate();

    form.Form_Activate();

    EXPECT_EQ(form.NxHelpCtrl1->helpWizard(), 5);
    EXPECT_EQ(form.NxHelpCtrl1->helpStep(), 1);
}

TEST_F(HelpForm, HotTipKeepsTheFormOpenAndItsOwner)
{
    frmHelp& form = openedByTheWizard();
    form.Form_Activate();

    press(form, "hotTipButton");
    press(form, "hotTipButton");

    EXPECT_TRUE(frmHelp::isLoaded());
    EXPECT_EQ(form.ownerControl.data(), control.get());
    EXPECT_FALSE(frmErrorHand::isLoaded());
}

TEST_F(HelpForm, DoneUnloadsTheFormAndReleasesTheOwner)
{
    frmHelp& form = openedByTheWizard();
    form.show();
    form.Form_Activate();

    press(form, "doneButton");

    EXPECT_TRUE(form.ownerControl.isNull());  // still there until its deferred deletion
    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(QTest::qWaitFor([] { return !frmHelp::isLoaded(); }));
    EXPECT_EQ(control->currentStep(), 0);
    EXPECT_FALSE(frmErrorHand::isLoaded());
}

TEST_F(HelpForm, ClosingByTheCloseBoxReleasesTheOwner)
{
    frmHelp& form = openedByTheWizard();
    form.show();

    EXPECT_TRUE(form.close());

    EXPECT_TRUE(form.ownerControl.isNull());
    EXPECT_TRUE(QTest::qWaitFor([] { return !frmHelp::isLoaded(); }));
}

TEST_F(HelpForm, DoesNotKeepADestroyedControlAlive)
{
    frmHelp& form = openedByTheWizard();
    form.Form_Activate();

    control.reset();
    press(form, "hotTipButton");
    press(form, "doneButton");

    EXPECT_TRUE(QTest::qWaitFor([] { return !frmHelp::isLoaded(); }));
    EXPECT_FALSE(frmErrorHand::isLoaded());
}

TEST_F(HelpForm, IsCreatedAnewWithoutOwnerAfterUnloading)
{
    openedByTheWizard().close();
    ASSERT_TRUE(QTest::qWaitFor([] { return !frmHelp::isLoaded(); }));

    frmHelp& form = frmHelp::instance();

    EXPECT_TRUE(form.ownerControl.isNull());
    EXPECT_EQ(form.wizardNumber, 0);
}

class WaitForm : public FormsTest {
protected:
    static bool isTopmost(const FmWait& form) { return form.windowFlags().testFlag(Qt::WindowStaysOnTopHint); }
};

TEST_F(WaitForm, IsOneSharedInstanceWithAProgressBarInItsFrame)
{
    FmWait& form = FmWait::instance();

    EXPECT_EQ(&FmWait::instance(), &form);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Please wait Creating Pivot details ..."));
    ASSERT_NE(form.PrgWait, nullptr);
    EXPECT_EQ(form.PrgWait->objectName(), QStringLiteral("PrgWait"));
    EXPECT_EQ(form.PrgWait->parent()->objectName(), QStringLiteral("frmWait"));
    EXPECT_FALSE(isTopmost(form));
}

TEST_F(WaitForm, BecomesTopmostOnActivationKeepingItsGeometry)
{
    FmWait& form = FmWait::instance();
    const QRect placement(140, 120, 380, 80);
    form.setGeometry(placement);

    form.show();
    form.activateWindow();

    EXPECT_TRUE(QTest::qWaitFor([&form] { return isTopmost(form) && form.isVisible(); }));
    EXPECT_EQ(form.geometry(), placement);
}

TEST_F(WaitForm, StaysTopmostAndVisibleWhenActivatedAgain)
{
    FmWait& form = FmWait::instance();
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitFor([&form] { return isTopmost(form) && form.isVisible(); }));
    const QRect placement = form.geometry();

    form.Form_Activate();

    EXPECT_TRUE(isTopmost(form));
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(form.geometry(), placement);
}

TEST_F(WaitForm, ActivationAfterATrappedFailureOnlyClearsErrorShown)
{
    FmWait& form = FmWait::instance();
    errorShown = true;

    form.Form_Activate();

    EXPECT_FALSE(errorShown);
    EXPECT_FALSE(isTopmost(form));
}

TEST_F(WaitForm, ActivationAfterTheSkippedOneMakesItTopmost)
{
    FmWait& form = FmWait::instance();
    errorShown = true;
    form.Form_Activate();

    form.Form_Activate();

    EXPECT_TRUE(isTopmost(form));
}

TEST_F(WaitForm, ClosingUnloadsIt)
{
    FmWait::instance().show();

    FmWait::instance().close();

    EXPECT_TRUE(QTest::qWaitFor([] { return !FmWait::isLoaded(); }));
}

}  // namespace
