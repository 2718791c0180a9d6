#include "graph/graphcursors.h"

#include <QBitmap>
#include <QImage>

// Outside any namespace, as the resource initialiser requires: the cursors
// live in a static library, whose resource object the linker keeps only when
// something refers to it.
static void InitGraphCursorResources() {
    Q_INIT_RESOURCE(graphcursors);
}

namespace GraphCursors {

QCursor LoadCursorResource(const QString &name, int hotX, int hotY) {
    InitGraphCursorResources();
    const QImage image =
        QImage(QStringLiteral(":/cursors/") + name).convertToFormat(QImage::Format_ARGB32);
    if (image.isNull()) return QCursor(Qt::ArrowCursor);
    // Bit set in the bitmap: black; bit set in the mask: drawn.
    QImage bitmap(image.size(), QImage::Format_MonoLSB);
    QImage mask(image.size(), QImage::Format_MonoLSB);
    // Index 0 is white (Qt::color0), index 1 black (Qt::color1), as QBitmap expects.
    for (QImage *plane : {&bitmap, &mask}) {
        plane->setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
        plane->fill(0);
    }
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            if (qAlpha(pixel) < 128) continue;
            mask.setPixel(x, y, 1);
            bitmap.setPixel(x, y, qGray(pixel) < 128 ? 1 : 0);
        }
    return QCursor(QBitmap::fromImage(bitmap), QBitmap::fromImage(mask), hotX, hotY);
}

const QCursor &Cursor(int slot) {
    static const QCursor cross1 = LoadCursorResource(QStringLiteral("CROSS1"), 7, 7);
    static const QCursor cross2 = LoadCursorResource(QStringLiteral("CROSS2"), 7, 7);
    static const QCursor arrow(Qt::ArrowCursor);
    switch (slot) {
    case crCross1:
        return cross1;
    case crCross2:
        return cross2;
    default:
        return arrow;
    }
}

} // namespace GraphCursors
