#include "app/windowplacement.h"

bool SavedPositionUsable(qint64 left, qint64 top, QSize window, QSize monitor) {
    return top > 10 - window.height() && left > 10 - window.width() && left < monitor.width() &&
           top < monitor.height();
}

QPoint PlaceWindow(std::optional<qint64> left, std::optional<qint64> top, QSize window,
                   QSize monitor, const QRect &screen) {
    if (left && top && SavedPositionUsable(*left, *top, window, monitor))
        return QPoint(int(*left), int(*top));
    return QPoint(screen.left() + (screen.width() - window.width()) / 2,
                  screen.top() + (screen.height() - window.height()) / 2);
}
