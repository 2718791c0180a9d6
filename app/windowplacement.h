// Where the main window opens: at the position saved at the last close when
// the whole window lies there within the free area of a screen, at the
// screens' present scale; otherwise centred on the screen.
#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>

#include <optional>

// True when a window of `window` size with its top-left corner at (left,
// top) lies wholly within one of the `available` areas (logical pixels).
bool SavedPositionFits(qint64 left, qint64 top, QSize window, const QList<QRect> &available);

// The top-left corner to open at: the saved corner if both values exist and
// fit, else the corner that centres the window on `screen`.
QPoint PlaceWindow(std::optional<qint64> left, std::optional<qint64> top, QSize window,
                   const QList<QRect> &available, const QRect &screen);

// The free areas of all screens as the program sees them now.
QList<QRect> AvailableScreenAreas();
