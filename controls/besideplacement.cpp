#include "controls/besideplacement.h"

#include <algorithm>

namespace {

int Overlap(const QRect &a, const QRect &b) {
    const QRect common = a & b;
    return common.isEmpty() ? 0 : common.width() * common.height();
}

} // namespace

TBesidePlacement PlaceBeside(const QRect &anchor, QSize size, const QRect &available,
                             const QRect &keepClear) {
    const int right = available.left() + available.width(); // one past the last column
    const int top =
        std::max(available.top(),
                 std::min(anchor.top(), available.top() + available.height() - size.height()));
    TBesidePlacement place{{}, anchor.topLeft()};
    if (anchor.left() + anchor.width() + size.width() <= right) {
        place.Window = {anchor.left() + anchor.width(), top};
    } else if (anchor.left() - size.width() >= available.left()) {
        place.Window = {anchor.left() - size.width(), top};
    } else if (anchor.width() + size.width() <= available.width()) {
        // Both fit side by side once the other window moves left.
        const int anchorLeft = right - size.width() - anchor.width();
        place.Anchor = {anchorLeft, anchor.top()};
        place.Window = {anchorLeft + anchor.width(), top};
    } else {
        const QPoint atRight(right - size.width(), top);
        const QPoint atLeft(available.left(), top);
        const QRect clear = keepClear.isEmpty() ? anchor : keepClear;
        place.Window = Overlap(QRect(atLeft, size), clear) < Overlap(QRect(atRight, size), clear)
                           ? atLeft
                           : atRight;
    }
    return place;
}
