// The help form: how it is opened and activated, and how it lets go of the
// wizard control that opened it. The wait form's one-shot skip after a
// trapped failure is checked with the error report.
#include "stagedwizard.h"
#include "wizard/forms/frmerrorhand.h"
#include "wizard/forms/frmhelp.h"
#include "widgets/nxhelpctrl.h"

#include <QTest>

#include <memory>

namespace {

using Forms = WizardTest;

TEST_F(Forms, TheHelpButtonOfAnyStepOpensTheOneModelessHelpFormOnTheWizardsTopic)
{
    StagedWizard staged;
    staged.lstCubeDetails[kRows]->addItem(QStringLiteral("Product"));
    staged.lstCubeDetails[kColumns]->addItem(QStringLiteral("Time"));
    frmHelp* first = nullptr;
    for (int step : {0, 3, 6}) {
        while (staged.currentStep() < step)
            staged.butCommand[1]->click();
        findControl<QToolButton>(&staged, "butHelp", 0)->click();
        ASSERT_TRUE(frmHelp::isLoaded());
        frmHelp& form = frmHelp::instance();
        first = first ? first : &form;
        EXPECT_EQ(&form, first);
        EXPECT_TRUE(form.isVisible());
        EXPECT_FALSE(form.isModal());
        EXPECT_EQ(form.ownerControl.data(), &staged);
        EXPECT_EQ(staged.currentStep(), step);
        EXPECT_TRUE(QTest::qWaitFor([&form] { return form.NxHelpCtrl1->helpWizard() == 5 && form.NxHelpCtrl1->helpStep() == 1; }));
    }
    EXPECT_TRUE(staged.findChildren<frmHelp*>().isEmpty()) << "the form has no owner window";
}

TEST_F(Forms, DoneOrTheCloseBoxUnloadsTheHelpFormAndReleasesItsOwner)
{
    for (const char* way : {"doneButton", "close box", "owner gone"}) {
        SCOPED_TRACE(way);
        auto control = std::make_unique<TestWizard>();
        frmHelp& form = frmHelp::instance();
        form.ownerControl = control.get();
        form.show();
        form.Form_Activate();
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
        EXPECT_TRUE(frmHelp::instance().ownerControl.isNull()) << "made anew without an owner";
    }
}

}  // namespace
