#include "app/windowplacement.h"

#include <QGuiApplication>
#include <QScreen>

bool SavedPositionFits(qint64 left, qint64 top, QSize window, const QList<QRect> &available) {
    for (const QRect &area : available) {
        // In 64 bits: a saved value may be anything an integer holds.
        if (left >= area.left() && top >= area.top() &&
            left + window.width() <= qint64(area.left()) + area.width() &&
            top + window.height() <= qint64(area.top()) + area.height())
            return true;
    }
    return false;
}

QPoint PlaceWindow(std::optional<qint64> left, std::optional<qint64> top, QSize window,
                   const QList<QRect> &available, const QRect &screen) {
    if (left && top && SavedPositionFits(*left, *top, window, available))
        return QPoint(int(*left), int(*top));
    return QPoint(screen.left() + (screen.width() - window.width()) / 2,
                  screen.top() + (screen.height() - window.height()) / 2);
}

QList<QRect> AvailableScreenAreas() {
    QList<QRect> areas;
    for (const QScreen *screen : QGuiApplication::screens())
        areas << screen->availableGeometry();
    return areas;
}
