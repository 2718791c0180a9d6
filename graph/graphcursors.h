// The screen cursors of the calibration graph, in their slots: 200 is the
// graph's own cross-hair ("CROSS1"), 201 the plus sign the whole screen shows
// while a value is dragged ("CROSS2"). Both are 32 by 32 monochrome cursors
// with the hot spot at 7, 7, loaded from the Qt resources of this folder.
#pragma once

#include <QCursor>
#include <QString>

namespace GraphCursors {

constexpr int crCross1 = 200;
constexpr int crCross2 = 201;

// The cursor of a slot (crCross1 or crCross2), loaded at the first use; any
// other slot is the arrow.
const QCursor &Cursor(int slot);

// A monochrome cursor from the image resource ":/cursors/<name>": white and
// black pixels are drawn, all others are transparent.
QCursor LoadCursorResource(const QString &name, int hotX, int hotY);

} // namespace GraphCursors
