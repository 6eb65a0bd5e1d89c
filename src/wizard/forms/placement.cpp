#include "wizard/forms/placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

void centreOnWindow(QWidget* window, const QWidget* over)
{
    QScreen* screen = over ? QGuiApplication::screenAt(over->window()->frameGeometry().center()) : window->screen();
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect();
    // The frame, not the client area: a title bar counts.
    QRect frame = window->frameGeometry();
    frame.moveCenter(over ? over->window()->frameGeometry().center() : area.center());
    if (area.isValid()) {
        frame.moveLeft(std::max(area.left(), std::min(frame.left(), area.right() - frame.width() + 1)));
        frame.moveTop(std::max(area.top(), std::min(frame.top(), area.bottom() - frame.height() + 1)));
    }
    window->move(frame.topLeft());
}
