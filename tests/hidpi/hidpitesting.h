// What the tests at a device pixel ratio of 2 share: a widget rendered at a
// ratio of choice, and comparisons of a picture at 2 with one at 1.
#pragma once

#include "support/pixeldoubling.h"
#include "support/testsupport.h"

#include <QImage>
#include <QWidget>

#include <algorithm>
#include <cstdlib>

namespace hidpitesting {

// The widget rendered into a picture of `ratio` device pixels per logical
// pixel (the process runs at 2; a ratio of 1 gives the 100 % picture).
inline QImage RenderAt(QWidget &widget, qreal ratio) {
    QImage image((QSizeF(widget.size()) * ratio).toSize(), QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::magenta);
    widget.render(&image);
    image.setDevicePixelRatio(1.0);
    return image;
}

// The largest channel difference of two colours.
inline int Distance(QRgb a, QRgb b) {
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                     std::abs(qBlue(a) - qBlue(b))});
}

// The mean colour of the 2 by 2 block of `at2` over logical pixel (x, y).
inline QRgb BlockMean(const QImage &at2, int x, int y) {
    int r = 0, g = 0, b = 0;
    for (int dy = 0; dy < 2; ++dy)
        for (int dx = 0; dx < 2; ++dx) {
            const QRgb c = at2.pixel(2 * x + dx, 2 * y + dy);
            r += qRed(c);
            g += qGreen(c);
            b += qBlue(c);
        }
    return qRgb((r + 2) / 4, (g + 2) / 4, (b + 2) / 4);
}

// Logical pixels of `area` where the picture at 2, seen at 100 %, differs
// from the picture at 1 by more than `tolerance` in a channel: how far the
// two show different things.
inline int Differences(const QImage &at2, const QImage &at1, const QRect &area, int tolerance) {
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (Distance(BlockMean(at2, x, y), at1.pixel(x, y)) > tolerance) ++count;
    return count;
}

// Whether `area` of the picture at 2 is the picture at 1 with every pixel
// doubled.
inline bool IsDoubledCopy(const QImage &at2, const QImage &at1, const QRect &area) {
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            for (int d = 0; d < 4; ++d)
                if ((at2.pixel(2 * x + d % 2, 2 * y + d / 2) & 0xFFFFFF) !=
                    (at1.pixel(x, y) & 0xFFFFFF))
                    return false;
    return true;
}

} // namespace hidpitesting
