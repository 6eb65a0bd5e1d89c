// Long work with a window that shows it is going on: saving a report takes
// long enough on a large workbook that a window without feedback looks hung.
#pragma once

#include <QString>

#include <functional>

class QWidget;

// Runs `work` while a small modal window titled "Please wait" says `text`,
// centred on `owner`'s window, with a bar that keeps moving. The window is
// shown and painted before the work starts; the work runs on a thread of its
// own while the window's events are served, and the user's input to the
// program waits until it has ended. Returns when the work has ended; what it
// threw is thrown here. Requires: `work` touches no widget and nothing the
// user-interface thread uses meanwhile.
void runShowingProgress(QWidget* owner, const QString& text, const std::function<void()>& work);
