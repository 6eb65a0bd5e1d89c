#include "wizard/errors/errortrap.h"

#include "wizard/forms/frmerrorhand.h"
#include "platform/core/failure.h"

#include <QApplication>
#include <QEventLoopLocker>
#include <QWidget>

bool errorShown = false;

namespace errortrap {

const char* signatureText(const std::source_location& where) { return where.function_name(); }

void handle(const char* module, const std::source_location& where, QWidget* failingWindow,
            const std::exception_ptr& error)
{
    const platform::Failure failure = platform::toFailure(error);

    frmErrorHand& form = frmErrorHand::instance();
    form.errModule = QString::fromUtf8(module);
    form.errProcedure = QString::fromUtf8(signatureText(where));
    form.errDescription = QString::fromStdString(failure.description());
    form.errNumber = failure.number();
    form.errSource = QString::fromStdString(failure.source());
    form.errLastDllError = failure.lastDllError();

    // Closing the host window may close the application's last window; the
    // report form must still get its chance, so quitting waits until it is up.
    const QEventLoopLocker keepRunning;
    if (failingWindow)
        failingWindow->close();

    form.showReport();
    errorShown = true;
}

}  // namespace errortrap
