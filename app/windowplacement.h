// Where the main window opens: at the position saved at the last close when
// that still lies on the monitor, otherwise centred on the screen.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

#include <optional>

// True when a saved top-left corner may be used for a window of `window`
// size on a monitor of `monitor` size: at least 11 pixels of the window
// reach onto the monitor at the top and left, and the corner lies strictly
// inside the monitor's width and height.
bool SavedPositionUsable(qint64 left, qint64 top, QSize window, QSize monitor);

// The top-left corner to open at: the saved corner if both values exist and
// are usable, else the corner that centres the window on `screen`.
QPoint PlaceWindow(std::optional<qint64> left, std::optional<qint64> top, QSize window,
                   QSize monitor, const QRect &screen);
