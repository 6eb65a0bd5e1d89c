#include "wizard/errors/screencapture.h"

#include <QGuiApplication>
#include <QScreen>

QPixmap captureScreen()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return {};
    const QSize size = screen->size();
    return captureWindow(0, false, 0, 0, size.width(), size.height());
}

QPixmap captureWindow(WId window, bool client, int left, int top, int width, int height)
{
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return {};
    if (window && !client) {
        // Qt grabs client areas; shift the rectangle so it counts from the frame.
        for (const QWindow* candidate : QGuiApplication::allWindows()) {
            if (candidate->handle() && candidate->winId() == window) {
                left -= candidate->frameMargins().left();
                top -= candidate->frameMargins().top();
                break;
            }
        }
    }
    return screen->grabWindow(window, left, top, width, height);
}
