#include "wizard/forms/fmwait.h"

#include "wizard/errors/errortrap.h"
#include "wizard/forms/placement.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>

#include <algorithm>

FmWait::FmWait() : PrgWait(new QProgressBar(this))
{
    setObjectName(QStringLiteral("FmWait"));
    setAttribute(Qt::WA_DeleteOnClose);
    // A progress window must not keep the application running on its own.
    setAttribute(Qt::WA_QuitOnClose, false);
    setWindowTitle(QStringLiteral("Please wait Creating Pivot details ..."));

    frmWait = new QFrame(this);
    frmWait->setObjectName(QStringLiteral("frmWait"));
    frmWait->setFrameShape(QFrame::StyledPanel);
    // The caption again inside: a narrow title bar may cut it short.
    auto* caption = new QLabel(windowTitle(), frmWait);
    caption->setObjectName(QStringLiteral("lblWait"));
    PrgWait->setObjectName(QStringLiteral("PrgWait"));
    PrgWait->setTextVisible(false);
    auto* frameLayout = new QVBoxLayout(frmWait);
    frameLayout->addWidget(caption);
    frameLayout->addWidget(PrgWait);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frmWait);
    // Room for the caption in the title bar, beside the window's buttons.
    setMinimumWidth(std::max(380, fontMetrics().horizontalAdvance(windowTitle()) + 160));
    adjustSize();
}

void FmWait::showOver(const QWidget* over)
{
    // Topmost from the start: made topmost once shown, the window would be
    // hidden and shown again in the middle of the build.
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    show();
    centreOnWindow(this, over);
    paintNow();
}

void FmWait::advance()
{
    PrgWait->setValue(std::min(PrgWait->value() + 1, PrgWait->maximum()));
    paintNow();
}

void FmWait::complete()
{
    PrgWait->setValue(PrgWait->maximum());
    paintNow();
}

// The build runs on the user-interface thread: without this nothing would
// be drawn until it ends. The window system is given up to half a second
// to show a new window; then the pending paints (the form's, and the
// wizard's behind it) are served, the user's input held back.
void FmWait::paintNow()
{
    QDeadlineTimer deadline(500);
    QTimer wake;  // so that waiting for the window system never blocks for good
    wake.start(20);
    while (windowHandle() && !windowHandle()->isExposed() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents | QEventLoop::WaitForMoreEvents);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    if (windowHandle() && windowHandle()->isExposed())
        repaint();
}

bool FmWait::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate) {
        // Becoming topmost recreates the native window, which is not safe while
        // that window's activation is still being delivered: run just after it.
        QMetaObject::invokeMethod(this, &FmWait::Form_Activate, Qt::QueuedConnection);
    }
    return QWidget::event(event);
}

// The build serves paint events while it works; a closed form whose
// deletion is still pending must not be the one the next build shows.
void FmWait::closeEvent(QCloseEvent* event)
{
    forget();
    QWidget::closeEvent(event);
}

void FmWait::Form_Activate()
{
    runTrapped(kModule, this, [this] {
        // This activation is the report form closing, not a new build.
        if (errorShown) {
            errorShown = false;
            return;
        }
        makeTopmost();
    });
}

void FmWait::makeTopmost()
{
    // Showing the window again activates it again; stopping here once it is
    // topmost is what ends that cycle.
    if (windowFlags().testFlag(Qt::WindowStaysOnTopHint))
        return;
    const QRect placement = geometry();
    const bool wasVisible = isVisible();
    // Changing the flags of a window hides it and may move it.
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    setGeometry(placement);
    if (wasVisible)
        show();
}
