#include "dialogs/dialogcontrols.h"

#include "controls/myscrollbar.h"
#include "controls/stcontrol.h"
#include "controls/stgrid.h"
#include "controls/stpanel.h"
#include "controls/stspeedbutton.h"

#include <QFontMetrics>
#include <QLabel>
#include <QPainter>

namespace dialogcontrols {

QFont ArialFont(int pixels, bool bold) {
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

TstSpeedButton *MakeButton(QWidget *parent, const QRect &place, const QString &caption) {
    auto *button = new TstSpeedButton(parent);
    button->setGeometry(place);
    button->SetCaption(caption);
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

void TextOut(QPainter &canvas, int x, int top, const QString &text) {
    canvas.drawText(QPoint(x, top + QFontMetrics(canvas.font()).ascent()), text);
}

int TextWidth(const QPainter &canvas, const QString &text) {
    return QFontMetrics(canvas.font()).horizontalAdvance(text);
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

} // namespace dialogcontrols
