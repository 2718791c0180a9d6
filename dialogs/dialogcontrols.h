// The controls that the point dialogs share: their push buttons, the sunken
// panels that hold a list, the lists themselves and the scroll bars beside
// them, dressed alike on every window.
#pragma once

#include "controls/stglobal.h"

#include <QFont>
#include <QRect>
#include <QString>

class QPainter;
class QWidget;
class QLabel;
class TmyScrollBar;
class TstGrid;
class TstPanel;
class TstSpeedButton;

namespace dialogcontrols {

constexpr TColor kButtonFace = 6513507;   // RGB 99, 99, 99
constexpr TColor kButtonBorder = 3158064; // RGB 48, 48, 48
constexpr TColor kListBack = 4342338;     // RGB 66, 66, 66
constexpr TColor kSelectedRow = 9474192;  // RGB 144, 144, 144
constexpr TColor kListText = 12632256;    // RGB 192, 192, 192

// Arial of the given pixel height.
QFont ArialFont(int pixels, bool bold = false);

// A dialog button: grey face with a dark border, lime caption, grey while
// disabled.
TstSpeedButton *MakeButton(QWidget *parent, const QRect &place, const QString &caption);

// A panel sunk into its parent (inner gradient bevel of two pixels).
TstPanel *MakeListPanel(QWidget *parent, const QRect &place);

// A list filling its panel left of the scroll bar: whole rows of 14 pixels
// on the window colour, every cell drawn by its window.
TstGrid *MakeListGrid(QWidget *parent, int colCount, int fixedRows);

// The vertical scroll bar at the right edge of a list's panel.
TmyScrollBar *MakeListScrollBar(QWidget *parent);

// Text as the toolkit's TextOut writes it: starting at x, its top at `top`,
// in the painter's font and pen, without a background.
void TextOut(QPainter &canvas, int x, int top, const QString &text);
// The advance width of a text in the painter's font.
int TextWidth(const QPainter &canvas, const QString &text);

// A yellow bold caption.
QLabel *MakeCaption(QWidget *parent, int left, int top, const QString &text);

// After a refill: when the list has more scrolling rows than it shows, the
// bar is shown with one position per possible top row (Min the fixed rows,
// Max the row count less the visible rows plus 1, Length 1) and follows the
// list's top row; otherwise it is hidden.
void FitScrollBar(TmyScrollBar *bar, TstGrid *grid);

} // namespace dialogcontrols
