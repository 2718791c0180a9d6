#include "dialogs/u_editvalform.h"

#include "calibration/signalscale.h"
#include "controls/stalignedit.h"
#include "dialogs/dialogparts.h"
#include "dialogs/strtofloat.h"

TEditValForm *EditValForm = nullptr;

using namespace dialogparts;

TEditValForm::TEditValForm(QWidget *parent)
    : TstForm(QStringLiteral("Edit "), TFrameKind::fkDialog, parent) {
    SetSize(kWidth, kHeight);

    stPanel1 = new TstPanel(ClientPanel);
    stPanel1->setObjectName(QStringLiteral("stPanel1"));
    stPanel1->setGeometry(6, 29, 99, 65);
    stPanel1->SetBevelWidth(2);
    stPanel1->SetParentColor(true);

    LR = MakeLabel(stPanel1, SignalScale::RawLabel(), 8, 12);
    L = MakeLabel(stPanel1, QStringLiteral("Raw"), 63, 12, true);
    myLabel1 = MakeLabel(stPanel1, SignalScale::DbmLabel(), 8, 37);

    V = new TstAlignEdit(stPanel1);
    V->setObjectName(QStringLiteral("V"));
    StyleValueField(V, 38, 32, 51, 22);
    V->OnKeyPress = [this](QObject *sender, QChar &key) { VKeyPress(sender, key); };

    BOK = MakeButton(ClientPanel, QStringLiteral("OK"), 112, 29, 70, 21);
    BOK->setObjectName(QStringLiteral("BOK"));
    connect(BOK, &TstSpeedButton::OnClick, this, &TEditValForm::BOKClick);
    BSelect = MakeButton(ClientPanel, QStringLiteral("Cancel"), 112, 51, 70, 21);
    BSelect->setObjectName(QStringLiteral("BSelect"));
    connect(BSelect, &TstSpeedButton::OnClick, this, &TstForm::SysBtnCloseClick);

    CentreOnScreen(this);
}

void TEditValForm::BOKClick() {
    const double value = StrToFloat(V->text());
    SignalScale::CheckDbmValue(value);
    value_ = value;
    SetModalResult(mrOk);
}

void TEditValForm::VKeyPress(QObject *, QChar &key) {
    if (key != u'\r') return;
    key = QChar(0);
    BOKClick();
}

void TEditValForm::showEvent(QShowEvent *event) {
    TstForm::showEvent(event);
    // Typing replaces the value shown.
    V->setFocus();
    V->selectAll();
}
