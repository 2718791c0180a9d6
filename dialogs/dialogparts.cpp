#include "dialogs/dialogparts.h"

#include "controls/mylabel.h"
#include "controls/stcustomedit.h"
#include "controls/stspeedbutton.h"

#include <QGuiApplication>
#include <QScreen>

namespace dialogparts {

QFont ArialFont(int pixels, bool bold) {
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

TstSpeedButton *MakeButton(QWidget *parent, const QString &caption, int left, int top, int width,
                           int height) {
    auto *button = new TstSpeedButton(parent);
    button->setGeometry(left, top, width, height);
    button->SetCaption(caption);
    button->SetBorderWidth(1);
    button->SetBorderColor(kButtonBorder);
    button->SetColor(kButtonFace);
    button->SetColorDown(kButtonFace);
    button->SetColorDisabled(kButtonFace);
    button->setFont(ArialFont(11));
    button->SetFontColor(clLime);
    button->SetFontColorDown(clLime);
    button->SetFontColorDisabled(SysColor::clGrayText);
    return button;
}

TmyLabel *MakeLabel(QWidget *parent, const QString &caption, int left, int top, bool bold) {
    auto *label = new TmyLabel(parent);
    label->setFont(ArialFont(11, bold));
    SetFontColor(label, clYellow);
    label->SetTransparent(true);
    label->move(left, top);
    label->SetCaption(caption);
    return label;
}

void StyleValueField(TstCustomEdit *edit, int left, int top, int width, int height) {
    edit->setGeometry(left, top, width, height);
    edit->SetColor(clBlack);
    edit->setFont(ArialFont(11));
    edit->SetFontColor(clLime);
    edit->SetDefaultShadow(false);
}

void CentreOnScreen(QWidget *window) {
    if (QScreen *screen = QGuiApplication::primaryScreen())
        window->move(screen->geometry().center() -
                     QPoint(window->width() / 2, window->height() / 2));
}

} // namespace dialogparts
