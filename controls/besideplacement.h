// Where a window opens beside another one (the graph beside the table
// editor): right of it where the screen has room, else left of it; where
// neither side has room but the screen is wide enough for both, the other
// window moves aside so that the new one fits on its right; on a narrower
// screen the new window goes to the screen's edge that covers less of the
// part of the other window that must stay in sight.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

struct TBesidePlacement {
    QPoint Window; // the new window's top-left corner
    QPoint Anchor; // the other window's, moved only to make room
};

// `anchor` is the other window's frame, `keepClear` the part of it that the
// new window should not cover (both in screen coordinates), `available` the
// screen's free area. The new window's top is the other window's, moved
// into the free area as far as its height allows.
TBesidePlacement PlaceBeside(const QRect &anchor, QSize size, const QRect &available,
                             const QRect &keepClear);
