#include "app/u_searchadform.h"

#include "controls/cgauges.h"
#include "controls/stpanel.h"

#include <QGuiApplication>
#include <QHideEvent>
#include <QLabel>
#include <QScreen>

namespace {
constexpr TColor kPanelColor = 4342338; // RGB 66, 66, 66
}

TSearchADForm::TSearchADForm(QWidget *parent)
    : TstForm(QString(), TFrameKind::fkClientOnly, parent) {
    SetSize(kWidth, kHeight);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(11);
    setFont(font);

    SetColor(kPanelColor);

    Label1 = new QLabel(QStringLiteral("Searching available devices ..."), ClientPanel);
    Label1->move(8, 10);
    QPalette palette = Label1->palette();
    palette.setColor(QPalette::WindowText, ColorToQColor(clYellow));
    Label1->setPalette(palette);
    Label1->adjustSize();

    PP = new TstPanel(ClientPanel);
    PP->setGeometry(6, 30, 285, 17);
    PP->SetBevelStyle(TBevelStyle::bsGradientInner);
    PP->SetBevelWidth(2);
    PP->SetParentColor(true);
    G = new TCGauge(PP);
    G->setGeometry(PP->AlignRect());
    G->SetKind(TCGaugeKind::gkHorizontalBar);
    G->SetShowText(false);
    G->SetBorderStyle(TGaugeBorderStyle::bsNone);
    G->SetForeColor(40960);
    G->SetBackColor(6513507);
    G->SetMaxValue(63);
    G->SetProgress(50);

    if (QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - QPoint(kWidth / 2, kHeight / 2));
}

void TSearchADForm::hideEvent(QHideEvent *event) {
    TstForm::hideEvent(event);
    if (!event->spontaneous()) emit Hidden();
}
