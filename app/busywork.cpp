#include "busywork.h"

#include "wizard/forms/placement.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QProgressDialog>

#include <exception>
#include <thread>

void runShowingProgress(QWidget* owner, const QString& text, const std::function<void()>& work)
{
    QProgressDialog window(text, QString(), 0, 0, owner ? owner->window() : nullptr);
    window.setObjectName(QStringLiteral("BusyWork"));
    window.setWindowTitle(QStringLiteral("Please wait"));
    window.setWindowModality(Qt::ApplicationModal);
    window.setCancelButton(nullptr);
    window.setMinimumDuration(0);
    window.setMinimumWidth(360);
    window.show();
    // Placed once shown: showing gives the window its final size.
    centreOnWindow(&window, owner);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);

    QEventLoop loop;
    std::exception_ptr failure;
    std::thread worker([&] {
        try {
            work();
        } catch (...) {
            failure = std::current_exception();  // handed to the caller below, not swallowed
        }
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    worker.join();
    if (failure)
        std::rethrow_exception(failure);
}
