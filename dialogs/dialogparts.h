// The pieces the small dialogs of the table editor share: their buttons, the
// yellow labels on their panels and the black value fields.
#pragma once

#include "controls/stglobal.h"

#include <QFont>
#include <QString>

class QWidget;
class TmyLabel;
class TstCustomEdit;
class TstSpeedButton;

namespace dialogparts {

constexpr TColor kButtonFace = 6513507;   // RGB 99, 99, 99
constexpr TColor kButtonBorder = 3158064; // RGB 48, 48, 48

// The Arial font of the dialogs, `pixels` high.
QFont ArialFont(int pixels, bool bold = false);

// A button at (left, top), width by height: face 6513507 in every state, a
// one-pixel border 3158064, lime Arial 11-pixel caption (grey when disabled).
TstSpeedButton *MakeButton(QWidget *parent, const QString &caption, int left, int top, int width,
                           int height);

// A yellow Arial 11-pixel label at (left, top), sized to its text.
TmyLabel *MakeLabel(QWidget *parent, const QString &caption, int left, int top, bool bold = false);

// A field on black with lime Arial 11-pixel text and the shaded border.
void StyleValueField(TstCustomEdit *edit, int left, int top, int width, int height);

// Centres a window on the primary screen.
void CentreOnScreen(QWidget *window);

} // namespace dialogparts
