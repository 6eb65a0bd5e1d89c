// The procedure error trap: what it records, which window it closes, how it
// shows the report form, and what the trapped procedure returns.
#include "wizard/errors/errortrap.h"
#include "failinghost.h"
#include "wizard/forms/frmerrorhand.h"
#include "platform/core/failure.h"
#include "support/recordingmessages.h"
#include "support/tempsettings.h"

#include <QApplication>
#include <QDialog>
#include <QTimer>

#include <filesystem>
#include <stdexcept>

#include <gtest/gtest.h>

namespace {

class ErrorTrap : public testing::Test {
protected:
    TempSettings settings;
    RecordingMessages messages;

    void SetUp() override { errorShown = false; }
    void TearDown() override
    {
        if (frmErrorHand::isLoaded())
            frmErrorHand::instance().close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        errorShown = false;
    }
};

// Procedures of a shared module, written the way the wizard writes them.
bool failsBeforeAssigning()
{
    bool result = false;
    runTrapped("global", nullptr, [&] { throw std::runtime_error("broken"); });
    return result;
}

QString failsAfterAssigning()
{
    QString result;
    runTrapped("global", nullptr, [&] {
        result = QStringLiteral("partial");
        throw std::runtime_error("broken");
    });
    return result;
}

int throwsThenReportsNumber(const std::function<void()>& thrower)
{
    runTrapped("global", nullptr, thrower);
    return frmErrorHand::instance().errNumber;
}

TEST_F(ErrorTrap, FunctionFailingBeforeItsResultReturnsTheInitialValue)
{
    EXPECT_FALSE(failsBeforeAssigning());
    EXPECT_TRUE(errorShown);
}

TEST_F(ErrorTrap, FunctionFailingAfterItsResultReturnsWhatWasAssigned)
{
    EXPECT_EQ(failsAfterAssigning(), QStringLiteral("partial"));
}

TEST_F(ErrorTrap, RecordsModuleSignatureAndTheFailuresFourValues)
{
    failsBeforeAssigning();
    const frmErrorHand& form = frmErrorHand::instance();
    EXPECT_EQ(form.errModule, QStringLiteral("global"));
    EXPECT_TRUE(form.errProcedure.contains(QStringLiteral("failsBeforeAssigning"))) << form.errProcedure.toStdString();
    EXPECT_EQ(form.errNumber, platform::err::kInternal);
    EXPECT_TRUE(form.errDescription.contains(QStringLiteral("broken")));
    EXPECT_EQ(form.errSource, QStringLiteral("pivotwizard"));
    EXPECT_TRUE(form.isVisible());
}

TEST_F(ErrorTrap, StandardExceptionsGetTheRuntimesNumbers)
{
    namespace fs = std::filesystem;
    EXPECT_EQ(throwsThenReportsNumber([] { throw std::out_of_range("index"); }), 9);
    EXPECT_EQ(throwsThenReportsNumber([] { throw std::invalid_argument("text"); }), 13);
    EXPECT_EQ(throwsThenReportsNumber([] { throw std::overflow_error("big"); }), 6);
    EXPECT_EQ(throwsThenReportsNumber([] { throw std::bad_alloc(); }), 7);
    EXPECT_EQ(throwsThenReportsNumber([] {
                  throw fs::filesystem_error("open", std::make_error_code(std::errc::no_such_file_or_directory));
              }),
              53);
    EXPECT_EQ(throwsThenReportsNumber([] { platform::requireObject<int>(nullptr, "cube"); }), 91);
}

TEST_F(ErrorTrap, SecondFailureOverwritesTheFirst)
{
    throwsThenReportsNumber([] { throw std::out_of_range("first"); });
    throwsThenReportsNumber([] { throw platform::Failure(1004, "second", "sheet", 5); });
    const frmErrorHand& form = frmErrorHand::instance();
    EXPECT_EQ(form.errNumber, 1004);
    EXPECT_EQ(form.errDescription, QStringLiteral("second"));
    EXPECT_EQ(form.errSource, QStringLiteral("sheet"));
    EXPECT_EQ(form.errLastDllError, 5);
}

TEST_F(ErrorTrap, FailureInsideTheControlClosesTheHostWindowAndNamesTheControl)
{
    FailingHost host;
    host.fail();

    EXPECT_FALSE(host.isVisible());
    const frmErrorHand& form = frmErrorHand::instance();
    EXPECT_EQ(form.errModule, QStringLiteral("NxPivotWizardCtrl"));
    EXPECT_TRUE(form.errProcedure.contains(QStringLiteral("FailingWizard::CheckValidFileSelected")))
        << form.errProcedure.toStdString();
    EXPECT_EQ(form.errNumber, 68);
    EXPECT_EQ(form.errSource, QStringLiteral("sheet"));
    EXPECT_EQ(form.errLastDllError, 21);
    EXPECT_TRUE(form.isVisible());
    EXPECT_TRUE(errorShown);
    EXPECT_EQ(host.wizard->currentStep(), 1);
}

TEST_F(ErrorTrap, ReportFormKeepsTheApplicationRunningAfterTheHostWindowCloses)
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

TEST_F(ErrorTrap, FailureInASharedModuleClosesNoWindow)
{
    QWidget window;
    window.show();
    failsBeforeAssigning();
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(frmErrorHand::instance().isVisible());
}

TEST_F(ErrorTrap, WhileAModalWindowIsOpenTheFormIsShownModally)
{
    QDialog modal;
    bool shownModally = false;
    QTimer::singleShot(0, &modal, [&] {
        // Runs inside the form's own modal loop: look, then close both.
        QTimer::singleShot(0, &modal, [&] {
            frmErrorHand& form = frmErrorHand::instance();
            shownModally = form.isVisible() && form.isModal();
            form.close();
            modal.reject();
        });
        failsBeforeAssigning();
    });
    modal.exec();
    EXPECT_TRUE(shownModally);
    EXPECT_TRUE(errorShown);
}

}  // namespace
