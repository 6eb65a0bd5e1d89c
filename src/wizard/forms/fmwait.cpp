#include "wizard/forms/fmwait.h"

#include "wizard/errors/errortrap.h"

#include <QEvent>
#include <QFrame>
#include <QPointer>
#include <QProgressBar>
#include <QVBoxLayout>

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
    PrgWait->setObjectName(QStringLiteral("PrgWait"));
    PrgWait->setTextVisible(false);
    auto* frameLayout = new QVBoxLayout(frmWait);
    frameLayout->addWidget(PrgWait);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frmWait);
    resize(380, 80);
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
