// The procedure error trap with the report form, end to end: what the report
// records, which window it closes, and a failure while a modal window is up.
#include "reportfixture.h"
#include "wizard/control/nxpivotwizardctrl.h"
#include "wizard/errors/errortrap.h"
#include "wizard/forms/fmwait.h"
#include "wizard/forms/frmerrorhand.h"
#include "platform/core/failure.h"
#include "support/controls.h"

#include <QApplication>
#include <QDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

namespace {

using ErrorTrap = ReportFormTest;

// A wizard whose cube check fails inside its trap, as any unexpected failure
// would, in a host window.
class FailingWizard : public NxPivotWizardCtrl {
protected:
    bool CheckValidFileSelected() override
    {
        bool result = false;
        trap([&] { throw platform::Failure(68, "Device unavailable", "sheet", 21); });
        return result;
    }
};

class FailingHost : public QWidget {
public:
    FailingHost() : wizard(new FailingWizard)
    {
        (new QVBoxLayout(this))->addWidget(wizard);
        show();
    }
    // Leaves the welcome step, then the cube step, whose check fails.
    void fail()
    {
        for (int i = 0; i < 2; ++i)
            findControl<QPushButton>(wizard, "butCommand", 1)->click();
    }
    FailingWizard* const wizard;
};

TEST_F(ErrorTrap, AFailureInsideTheControlClosesItsHostAndIsLoggedUnderTheControlsName)
{
    FailingHost host;
    host.fail();
    EXPECT_FALSE(host.isVisible());
    EXPECT_EQ(host.wizard->currentStep(), 1);
    ASSERT_TRUE(frmErrorHand::isLoaded());
    const frmErrorHand& form = frmErrorHand::instance();
    EXPECT_TRUE(form.isVisible());
    const QString procedure = form.errProcedure;
    EXPECT_TRUE(procedure.contains(QStringLiteral("FailingWizard::CheckValidFileSelected"))) << procedure.toStdString();
    describe(QStringLiteral("Leaving the cube step"));
    closeReport();
    EXPECT_TRUE(log().contains(QStringLiteral("\r\nModule         : NxPivotWizardCtrl\r\nProcedure      : ") + procedure
                               + QStringLiteral("\r\nNumber         : 68\r\nDescription    : Device unavailable\r\n"
                                                "Last DLL Error : 21\r\nSource         : sheet\r\n")))
        << log().toStdString();
}

TEST_F(ErrorTrap, TheReportKeepsTheApplicationRunningAfterTheHostWindowCloses)
{
    FailingHost host;
    bool reportSeenWhileRunning = false;
    QTimer::singleShot(0, &host, [&] {
        host.fail();  // the host window, the application's last, closes
        QTimer::singleShot(0, &host, [&] {
            reportSeenWhileRunning = frmErrorHand::isLoaded() && frmErrorHand::instance().isVisible();
            if (frmErrorHand::isLoaded())
                frmErrorHand::instance().close();  // now the last window closes
        });
    });
    QTimer guard;  // ends a broken run instead of hanging it
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, qApp, &QCoreApplication::quit);
    guard.start(10000);
    QApplication::exec();
    EXPECT_TRUE(guard.isActive()) << "the application did not quit when the report form closed";
    EXPECT_TRUE(reportSeenWhileRunning);
}

TEST_F(ErrorTrap, WhileAModalWindowIsUpTheReportIsModalAndItsCloseStillWorks)
{
    QDialog modal;
    bool shownModally = false;
    QTimer::singleShot(0, &modal, [&] {
        // Runs inside the report's own modal loop: answer it, then end ours.
        QTimer::singleShot(0, &modal, [&] {
            shownModally = frmErrorHand::instance().isVisible() && frmErrorHand::instance().isModal();
            describe(QStringLiteral("In a dialog"));
            click("butClose");
            modal.reject();
        });
        // Returns when the report form has closed.
        failUnderTrap();
    });
    modal.exec();
    EXPECT_TRUE(shownModally);
    EXPECT_TRUE(QTest::qWaitFor([] { return !frmErrorHand::isLoaded(); }));
    EXPECT_TRUE(log().contains(QStringLiteral("In a dialog")));
    // The next activation of the wait form only clears the flag.
    EXPECT_TRUE(errorShown);
    FmWait::instance().Form_Activate();
    EXPECT_FALSE(errorShown);
    FmWait::instance().close();
}

}  // namespace
