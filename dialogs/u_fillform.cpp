#include "dialogs/u_fillform.h"

#include "calibration/signalscale.h"
#include "controls/myintedit.h"
#include "controls/stalignedit.h"
#include "dialogs/dialogparts.h"
#include "dialogs/strtofloat.h"

TFillForm *FillForm = nullptr;

using namespace dialogparts;

namespace {

TmyIntEdit *MakeRawEdit(QWidget *parent, const char *name, int left, int value) {
    auto *edit = new TmyIntEdit(parent);
    edit->setObjectName(QLatin1String(name));
    StyleValueField(edit, left, 60, 49, 22);
    edit->SetMaxLength(9);
    edit->SetMin(SignalScale::kRawMin);
    edit->SetMax(SignalScale::kRawMax);
    edit->SetValue(value);
    return edit;
}

} // namespace

TFillForm::TFillForm(QWidget *parent)
    : TstForm(QStringLiteral("Fill"), TFrameKind::fkDialog, parent) {
    SetSize(kWidth, kHeight);

    stPanel1 = new TstPanel(ClientPanel);
    stPanel1->setObjectName(QStringLiteral("stPanel1"));
    stPanel1->setGeometry(6, 30, 169, 93);
    stPanel1->SetParentColor(true);

    LV = MakeLabel(stPanel1, QStringLiteral("Value [dBm]"), 8, 12);
    V = new TstAlignEdit(stPanel1);
    V->setObjectName(QStringLiteral("V"));
    StyleValueField(V, 80, 8, 81, 22);
    // The field takes the focus with its text as it was left.
    V->SetAutoSelect(false);
    V->OnKeyPress = [this](QObject *sender, QChar &key) { VKeyPress(sender, key); };

    L = MakeLabel(stPanel1, QStringLiteral("Fill values for RAW"), 8, 40);
    Label2 = MakeLabel(stPanel1, QStringLiteral("from"), 8, 64);
    From = MakeRawEdit(stPanel1, "From", 36, SignalScale::kRawMin);
    Label3 = MakeLabel(stPanel1, QStringLiteral("to"), 96, 64);
    To = MakeRawEdit(stPanel1, "To", 112, SignalScale::kRawMax);

    BOK = MakeButton(ClientPanel, QStringLiteral("OK"), 180, 30, 70, 21);
    BOK->setObjectName(QStringLiteral("BOK"));
    connect(BOK, &TstSpeedButton::OnClick, this, &TFillForm::BOKClick);
    BSelect = MakeButton(ClientPanel, QStringLiteral("Cancel"), 180, 55, 70, 21);
    BSelect->setObjectName(QStringLiteral("BSelect"));
    connect(BSelect, &TstSpeedButton::OnClick, this, &TstForm::SysBtnCloseClick);

    CentreOnScreen(this);
}

void TFillForm::BOKClick() {
    const double value = StrToFloat(V->text());
    if (fillRole_)
        SignalScale::CheckFillValue(value);
    else
        SignalScale::CheckOffset(value);
    // A range number still being typed counts as entered (and is kept within
    // 0..255 by its field).
    From->SetValue(From->TypedValue());
    To->SetValue(To->TypedValue());
    SetModalResult(mrOk);
}

void TFillForm::VKeyPress(QObject *, QChar &key) {
    if (key != u'\r') return;
    key = QChar(0);
    BOKClick();
}

void TFillForm::showEvent(QShowEvent *event) {
    TstForm::showEvent(event);
    V->setFocus();
}
