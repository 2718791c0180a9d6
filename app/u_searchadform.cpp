#include "app/u_searchadform.h"

#include "controls/cgauges.h"
#include "controls/dialogparts.h"
#include "controls/stpanel.h"

#include <QHideEvent>
#include <QLabel>

using namespace dialogparts;

namespace {
constexpr int kWidth = 298;
constexpr int kHeight = 55;

constexpr TColor kPanelColor = kListBack; // RGB 66, 66, 66
} // namespace

TSearchADForm::TSearchADForm(QWidget *parent)
    : TstForm(QString(), TFrameKind::fkClientOnly, parent) {
    SetSize(kWidth, kHeight);
    setFont(ArialFont(11));

    SetColor(kPanelColor);

    Label1 =
        Named(new QLabel(QStringLiteral("Searching available devices ..."), ClientPanel), "Label1");
    Label1->move(8, 10);
    QPalette palette = Label1->palette();
    palette.setColor(QPalette::WindowText, ColorToQColor(clYellow));
    Label1->setPalette(palette);
    Label1->adjustSize();

    PP = Named(MakeListPanel(ClientPanel, QRect(6, 30, 285, 17)), "PP");
    G = Named(new TCGauge(PP), "G");
    G->setGeometry(PP->AlignRect());
    G->SetKind(TCGaugeKind::gkHorizontalBar);
    G->SetShowText(false);
    G->SetBorderStyle(TGaugeBorderStyle::bsNone);
    G->SetForeColor(40960);
    G->SetBackColor(kButtonFace);
    G->SetMaxValue(63);
    G->SetProgress(50);

    CentreOnScreen(this);
}

void TSearchADForm::hideEvent(QHideEvent *event) {
    TstForm::hideEvent(event);
    if (!event->spontaneous()) emit Hidden();
}
