#include "dialogs/u_editvalform.h"

#include "calibration/signalscale.h"
#include "controls/dialogparts.h"
#include "controls/stalignedit.h"
#include "dialogs/strtofloat.h"

using namespace dialogparts;

namespace {

constexpr int kWidth = 189;
constexpr int kHeight = 102;

} // namespace

TEditValForm::TEditValForm(QWidget *parent)
    : TstForm(QStringLiteral("Edit "), TFrameKind::fkDialog, parent) {
    SetSize(kWidth, kHeight);

    TstPanel *stPanel1 = Named(new TstPanel(ClientPanel), "stPanel1");
    stPanel1->setGeometry(6, 29, 99, 65);
    stPanel1->SetBevelWidth(2);
    stPanel1->SetParentColor(true);

    Named(MakeLabel(stPanel1, SignalScale::RawLabel(), 8, 12, clYellow, false, true), "LR");
    L = Named(MakeLabel(stPanel1, QStringLiteral("Raw"), 63, 12, clYellow, true, true), "L");
    Named(MakeLabel(stPanel1, SignalScale::DbmLabel(), 8, 37, clYellow, false, true), "myLabel1");

    V = Named(new TstAlignEdit(stPanel1), "V");
    StyleValueField(V, QRect(38, 32, 51, 22));
    EnterRuns(V, [this] { BOKClick(); });

    TstSpeedButton *BOK =
        Named(MakeButton(ClientPanel, QRect(112, 29, 70, 21), QStringLiteral("OK")), "BOK");
    connect(BOK, &TstSpeedButton::OnClick, this, &TEditValForm::BOKClick);
    TstSpeedButton *BSelect =
        Named(MakeButton(ClientPanel, QRect(112, 51, 70, 21), QStringLiteral("Cancel")), "BSelect");
    connect(BSelect, &TstSpeedButton::OnClick, this, &TstForm::SysBtnCloseClick);

    CentreOnScreen(this);
}

std::optional<double> TEditValForm::AskValue(int raw, double current) {
    V->setText(SignalScale::DbmText(current));
    L->SetCaption(QString::number(raw));
    if (ShowModal() != mrOk) return std::nullopt;
    return value_;
}

void TEditValForm::BOKClick() {
    const double value = StrToFloat(V->text());
    SignalScale::CheckDbmValue(value);
    value_ = value;
    SetModalResult(mrOk);
}

void TEditValForm::showEvent(QShowEvent *event) {
    TstForm::showEvent(event);
    // Typing replaces the value shown.
    V->setFocus();
    V->selectAll();
}
