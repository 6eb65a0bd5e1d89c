#include "wizard/control/artwork.h"

#include <QPainter>

namespace {

// Draws a report grid into `area`: a header row and column in the accent
// colour, data cells in white, grand totals in a light shade.
void drawReport(QPainter& p, const QRectF& area, int rows, int columns)
{
    const QColor accent(0x2f, 0x5f, 0x9e), light(0xdc, 0xe6, 0xf2), line(0x9a, 0xa8, 0xba);
    const qreal w = area.width() / columns, h = area.height() / rows;
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            const QRectF cell(area.left() + c * w, area.top() + r * h, w, h);
            const bool header = r == 0 || c == 0;
            const bool total = r == rows - 1 || c == columns - 1;
            p.fillRect(cell, header ? accent : total ? light : QColor(Qt::white));
            p.setPen(line);
            p.drawRect(cell);
        }
    }
}

}  // namespace

QPixmap welcomePicture()
{
    QPixmap picture(180, 260);
    picture.fill(QColor(0x1d, 0x3d, 0x6b));
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    drawReport(p, QRectF(20, 30, 140, 110), 6, 5);
    // A small bar chart under the report: the optional chart of the last step.
    const int heights[] = {40, 70, 55, 90, 65};
    for (int i = 0; i < 5; ++i)
        p.fillRect(QRectF(28 + i * 26, 240 - heights[i], 18, heights[i]), QColor(0xf2, 0xa9, 0x3b));
    return picture;
}

QPixmap titlePicture()
{
    QPixmap picture(48, 48);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    drawReport(p, QRectF(4, 8, 40, 32), 4, 4);
    return picture;
}
