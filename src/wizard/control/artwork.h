// Pictures of the wizard's screens, drawn at run time so that they scale
// with the screen and need no image files.
#pragma once

#include <QPixmap>

// A stylised PivotTable report: the welcome step's picture.
QPixmap welcomePicture();
// A small report grid for the title band of each step.
QPixmap titlePicture();
