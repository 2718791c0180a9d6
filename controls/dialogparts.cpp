#include "controls/dialogparts.h"

#include "controls/myfrequencyedit.h"
#include "controls/mylabel.h"
#include "controls/myscrollbar.h"
#include "controls/stcontrol.h"
#include "controls/stcustomedit.h"
#include "controls/stgrid.h"
#include "controls/stpanel.h"
#include "controls/stspeedbutton.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QScreen>

namespace dialogparts {

QFont ArialFont(int pixels, bool bold, const QString &family) {
    QFont font(family);
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

TstSpeedButton *MakeButton(QWidget *parent, const QRect &place, const QString &caption,
                           const QString &hint) {
    auto *button = new TstSpeedButton(parent);
    button->setGeometry(place);
    button->SetCaption(caption);
    if (!hint.isEmpty()) button->SetHint(hint);
    button->SetColor(kButtonFace);
    button->SetColorDown(kButtonFace);
    button->SetColorDisabled(kButtonFace);
    button->SetBorderWidth(1);
    button->SetBorderColor(kButtonBorder);
    button->setFont(ArialFont(11));
    button->SetFontColor(clLime);
    button->SetFontColorDown(clLime);
    button->SetFontColorDisabled(clGray);
    return button;
}

TmyLabel *MakeLabel(QWidget *parent, const QString &caption, int left, int top, TColor color,
                    bool bold, bool transparent) {
    auto *label = new TmyLabel(parent);
    label->setFont(ArialFont(11, bold));
    SetFontColor(label, color);
    label->SetTransparent(transparent);
    label->move(left, top);
    label->SetCaption(caption);
    return label;
}

TstPanel *MakeGroup(QWidget *parent, const QRect &place, const QString &caption, TmyLabel **label) {
    auto *panel = new TstPanel(parent);
    panel->setGeometry(place);
    panel->SetParentColor(true);
    TmyLabel *title = MakeLabel(panel, caption, 8, 6, clYellow, true);
    title->SetDisableColor(kLabelDisabled);
    title->SetBurriedColor(clGray);
    if (label) *label = title;
    return panel;
}

QLabel *MakeCaption(QWidget *parent, int left, int top, const QString &text) {
    auto *label = new QLabel(text, parent);
    label->setFont(ArialFont(11, true));
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, ColorToQColor(clYellow));
    label->setPalette(palette);
    label->adjustSize();
    label->move(left, top);
    return label;
}

void StyleValueField(TstCustomEdit *edit, const QRect &place, int fontPixels) {
    edit->setGeometry(place);
    edit->SetColor(clBlack);
    edit->setFont(ArialFont(fontPixels));
    edit->SetFontColor(clLime);
    edit->SetDefaultShadow(false);
}

void EnterRuns(TstCustomEdit *edit, std::function<void()> action) {
    edit->SetOnKeyPress([action = std::move(action)](QObject *, QChar &key) {
        if (key != u'\r') return;
        key = QChar(0);
        action();
    });
}

void StyleFrequencyField(TmyFrequencyEdit *edit, const QRect &place, int fontPixels) {
    StyleValueField(edit, place, fontPixels);
    edit->SetMaxLength(12);
    edit->SetFixedPoint(fp1Hz);
    edit->SetHzLimit(2000);
    edit->SetShowUnit(fuMHz);
    edit->setText(QStringLiteral("0,000000"));
}

TstPanel *MakeListPanel(QWidget *parent, const QRect &place) {
    auto *panel = new TstPanel(parent);
    panel->setGeometry(place);
    panel->SetBevelStyle(TBevelStyle::bsGradientInner);
    panel->SetBevelWidth(2);
    panel->SetParentColor(true);
    return panel;
}

TstGrid *MakeListGrid(QWidget *parent, int colCount, int fixedRows) {
    auto *grid = new TstGrid(parent);
    SetAlign(grid, TAlign::alClient);
    grid->SetColCount(colCount);
    grid->SetRowCount(fixedRows + 1);
    grid->SetFixedRows(fixedRows);
    grid->SetRowHeight(14);
    grid->SetRowSelect(true);
    grid->SetColor(kListBack);
    grid->setFont(ArialFont(11));
    return grid;
}

TmyScrollBar *MakeListScrollBar(QWidget *parent) {
    auto *bar = new TmyScrollBar(parent);
    bar->SetKind(TScrollBarKind::sbVertical);
    bar->resize(15, bar->height());
    SetAlign(bar, TAlign::alRight);
    bar->SetBevel(1);
    bar->SetColor(5329233);
    bar->SetDownColor(4210752);
    bar->SetColorArrow(clLime);
    bar->SetDownColorArrow(clLime);
    bar->SetColorDisabled(2105376);
    bar->SetColorDisabledArrow(kButtonFace);
    bar->SetShadowOffset(100);
    bar->SetMax(100);
    bar->SetLength(20);
    return bar;
}

void FitScrollBar(TmyScrollBar *bar, TstGrid *grid) {
    const int top = grid->TopRow();
    const int visible = grid->VisibleRowCount();
    if (grid->RowCount() - grid->FixedRows() > visible) {
        bar->SetMin(grid->FixedRows());
        bar->SetMax(grid->RowCount() - visible + 1);
        bar->SetLength(1);
        bar->SetPosition(top);
        grid->SetTopRow(int(bar->Position()));
        bar->show();
    } else {
        bar->hide();
    }
}

void TextOut(QPainter &canvas, int x, int top, const QString &text) {
    canvas.drawText(QPoint(x, top + QFontMetrics(canvas.font()).ascent()), text);
}

int TextWidth(const QPainter &canvas, const QString &text) {
    return QFontMetrics(canvas.font()).horizontalAdvance(text);
}

void CentreOnScreen(QWidget *window) {
    if (QScreen *screen = QGuiApplication::primaryScreen())
        window->move(screen->geometry().center() -
                     QPoint(window->width() / 2, window->height() / 2));
}

} // namespace dialogparts
