// The error trap and the report form together, end to end: a failure inside
// the wizard control, and a failure while a modal window is up.
#include "wizard/errors/errortrap.h"
#include "failinghost.h"
#include "wizard/forms/fmwait.h"
#include "wizard/forms/frmerrorhand.h"
#include "reportfixture.h"

#include <QDialog>
#include <QTimer>

using ErrorReport = ReportFormTest;

TEST_F(ErrorReport, AFailureInsideTheControlClosesTheHostAndTheReportNamesTheControl)
{
    FailingHost host;
    host.fail();

    EXPECT_FALSE(host.isVisible());
    ASSERT_TRUE(frmErrorHand::isLoaded());
    const frmErrorHand& form = frmErrorHand::instance();
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(form.errModule, QStringLiteral("NxPivotWizardCtrl"));
    const QString procedure = form.errProcedure;
    EXPECT_TRUE(procedure.contains(QStringLiteral("CheckValidFileSelected"))) << procedure.toStdString();

    describe(QStringLiteral("Leaving the cube step"));
    closeReport();
    const QString log = text(mInstall + QStringLiteral("Error Logs/BWError.log"));
    EXPECT_TRUE(log.contains(QStringLiteral("\r\nModule         : NxPivotWizardCtrl\r\nProcedure      : ") + procedure
                             + QStringLiteral("\r\nNumber         : 68\r\nDescription    : Device unavailable\r\n"
                                              "Last DLL Error : 21\r\nSource         : sheet\r\n")))
        << log.toStdString();
}

TEST_F(ErrorReport, WhileAModalWindowIsUpTheReportIsModalAndItsCloseStillWorks)
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
        failUnderTrap();   // returns when the report form has closed
    });
    modal.exec();
    EXPECT_TRUE(shownModally);
    EXPECT_TRUE(errorShown);
    EXPECT_TRUE(QTest::qWaitFor([] { return !frmErrorHand::isLoaded(); }));
    EXPECT_TRUE(text(mInstall + QStringLiteral("Error Logs/BWError.log")).contains(QStringLiteral("In a dialog")));
    EXPECT_FALSE(restartRecord().isEmpty());

    // The next activation of the wait form only clears the flag.
    FmWait::instance().Form_Activate();
    EXPECT_FALSE(errorShown);
    FmWait::instance().close();
}
