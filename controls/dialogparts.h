// The parts the program's windows are dressed in, written once: the Arial
// fonts, the dialog button, the yellow labels and group boxes, the black
// value and frequency fields, and the sunken list panels with their grids and
// scroll bars. A window builds its controls from these and sets only what is
// its own (place, caption, hint).
#pragma once

#include "controls/stglobal.h"

#include <QFont>
#include <QRect>
#include <QString>

#include <functional>

class QLabel;
class QPainter;
class QWidget;
class TmyFrequencyEdit;
class TmyLabel;
class TmyScrollBar;
class TstCustomEdit;
class TstGrid;
class TstPanel;
class TstSpeedButton;

namespace dialogparts {

// Gives a control the name its window knows it by, which is how tests and
// tools find it (QObject::findChild).
template <typename T> T *Named(T *control, const char *name) {
    control->setObjectName(QLatin1String(name));
    return control;
}

constexpr TColor kButtonFace = 6513507;    // RGB 99, 99, 99
constexpr TColor kButtonBorder = 3158064;  // RGB 48, 48, 48
constexpr TColor kListBack = 4342338;      // RGB 66, 66, 66, the windows' colour
constexpr TColor kSelectedRow = 9474192;   // RGB 144, 144, 144
constexpr TColor kListText = 12632256;     // RGB 192, 192, 192
constexpr TColor kLabelDisabled = 2105376; // RGB 32, 32, 32

// `family` (Arial unless named), `pixels` high.
QFont ArialFont(int pixels, bool bold = false, const QString &family = QStringLiteral("Arial"));

// A dialog button at `place`: face 6513507 in every state, a one-pixel
// border 3158064, lime Arial 11-pixel caption, grey while disabled; the hint
// is its tool tip.
TstSpeedButton *MakeButton(QWidget *parent, const QRect &place, const QString &caption,
                           const QString &hint = QString());

// A label at (left, top), sized to its text, in Arial 11 pixels and `color`;
// with `transparent` it draws its text only, over whatever its parent drew.
TmyLabel *MakeLabel(QWidget *parent, const QString &caption, int left, int top,
                    TColor color = clYellow, bool bold = false, bool transparent = false);

// A group box: a panel in its parent's colour with a bold yellow caption at
// (8, 6) that greys out while the panel is disabled. `label` receives the
// caption label when asked for.
TstPanel *MakeGroup(QWidget *parent, const QRect &place, const QString &caption,
                    TmyLabel **label = nullptr);

// A bold yellow caption over a list.
QLabel *MakeCaption(QWidget *parent, int left, int top, const QString &text);

// A field on black with lime Arial text (11 pixels unless said) and the
// shaded border.
void StyleValueField(TstCustomEdit *edit, const QRect &place, int fontPixels = 11);

// Enter in the field is consumed and runs `action` (the dialog's OK).
void EnterRuns(TstCustomEdit *edit, std::function<void()> action);

// A frequency field: a value field in Arial of `fontPixels`, 12 digits at
// most, shown to the hertz in MHz with a hertz limit of 2000.
void StyleFrequencyField(TmyFrequencyEdit *edit, const QRect &place, int fontPixels);

// A panel sunk into its parent (inner gradient bevel of two pixels).
TstPanel *MakeListPanel(QWidget *parent, const QRect &place);

// A list filling its panel left of the scroll bar: whole rows of 14 pixels
// on the windows' colour, `fixedRows` header rows, every cell drawn by its
// window.
TstGrid *MakeListGrid(QWidget *parent, int colCount, int fixedRows);

// The vertical scroll bar at the right edge of a list's panel.
TmyScrollBar *MakeListScrollBar(QWidget *parent);

// After a refill: when the list has more scrolling rows than it shows, the
// bar is shown with one position per possible top row (Min the fixed rows,
// Max the row count less the visible rows plus 1, Length 1) and follows the
// list's top row; otherwise it is hidden.
void FitScrollBar(TmyScrollBar *bar, TstGrid *grid);

// Text as the toolkit's TextOut writes it: starting at x, its top at `top`,
// in the painter's font and pen, without a background.
void TextOut(QPainter &canvas, int x, int top, const QString &text);
// The advance width of a text in the painter's font.
int TextWidth(const QPainter &canvas, const QString &text);

// Centres a window on the primary screen.
void CentreOnScreen(QWidget *window);

} // namespace dialogparts
