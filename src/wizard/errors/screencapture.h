// Pictures of the screen, for the error report.
#pragma once

#include <QPixmap>
#include <QWindow>

// The whole primary screen as it looks now (the desktop window from (0, 0),
// screen width by screen height). A null pixmap when there is no screen.
QPixmap captureScreen();

// `width` by `height` pixels of `window` from (`left`, `top`); window 0 is the
// desktop. With `client` false the coordinates count from the window's frame,
// with `client` true from its client area. A null pixmap when there is no
// screen.
QPixmap captureWindow(WId window, bool client, int left, int top, int width, int height);
