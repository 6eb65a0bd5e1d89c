// Where the wizard's own windows appear: on the window they belong to, and
// never off the screen.
#pragma once

class QWidget;

// Moves the top-level `window` so that its frame is centred on the frame of
// `over`'s top-level window, then moves it as little as needed to lie
// within the available area of the screen holding that centre (a window
// larger than the area keeps its top-left corner on it). Without `over`, the
// window is centred on its own screen. Call once the window is shown, or
// has its final size.
void centreOnWindow(QWidget* window, const QWidget* over);
