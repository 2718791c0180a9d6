#include "dialogs/u_fillform.h"

#include "calibration/signalscale.h"
#include "controls/dialogparts.h"
#include "controls/myintedit.h"
#include "controls/stalignedit.h"
#include "dialogs/strtofloat.h"

using namespace dialogparts;

namespace {

constexpr int kWidth = 257;
constexpr int kHeight = 132;

TmyIntEdit *MakeRawEdit(QWidget *parent, const char *name, int left, int value) {
    auto *edit = new TmyIntEdit(parent);
    edit->setObjectName(QLatin1String(name));
    StyleValueField(edit, QRect(left, 60, 49, 22));
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

    TstPanel *stPanel1 = Named(new TstPanel(ClientPanel), "stPanel1");
    stPanel1->setGeometry(6, 30, 169, 93);
    stPanel1->SetParentColor(true);

    Named(MakeLabel(stPanel1, QStringLiteral("Value [dBm]"), 8, 12, clYellow, false, true), "LV");
    V = Named(new TstAlignEdit(stPanel1), "V");
    StyleValueField(V, QRect(80, 8, 81, 22));
    // The field takes the focus with its text as it was left.
    V->SetAutoSelect(false);
    EnterRuns(V, [this] { BOKClick(); });

    L = Named(
        MakeLabel(stPanel1, QStringLiteral("Fill values for RAW"), 8, 40, clYellow, false, true),
        "L");
    Named(MakeLabel(stPanel1, QStringLiteral("from"), 8, 64, clYellow, false, true), "Label2");
    From = MakeRawEdit(stPanel1, "From", 36, SignalScale::kRawMin);
    Named(MakeLabel(stPanel1, QStringLiteral("to"), 96, 64, clYellow, false, true), "Label3");
    To = MakeRawEdit(stPanel1, "To", 112, SignalScale::kRawMax);

    TstSpeedButton *BOK =
        Named(MakeButton(ClientPanel, QRect(180, 30, 70, 21), QStringLiteral("OK")), "BOK");
    connect(BOK, &TstSpeedButton::OnClick, this, &TFillForm::BOKClick);
    TstSpeedButton *BSelect =
        Named(MakeButton(ClientPanel, QRect(180, 55, 70, 21), QStringLiteral("Cancel")), "BSelect");
    connect(BSelect, &TstSpeedButton::OnClick, this, &TstForm::SysBtnCloseClick);

    CentreOnScreen(this);
}

std::optional<TFillRange> TFillForm::AskRange(TFillRole role) {
    role_ = role;
    const QString caption =
        role == TFillRole::Fill ? QStringLiteral("Fill values") : QStringLiteral("Add offset");
    setWindowTitle(caption);
    LCaption->SetCaption(caption);
    L->SetCaption(caption + QStringLiteral(" for RAW"));
    if (ShowModal() != mrOk) return std::nullopt;
    return range_;
}

void TFillForm::BOKClick() {
    const double value = StrToFloat(V->text());
    if (role_ == TFillRole::Fill)
        SignalScale::CheckFillValue(value);
    else
        SignalScale::CheckOffset(value);
    // A range number still being typed counts as entered (and is kept within
    // 0..255 by its field).
    From->SetValue(From->TypedValue());
    To->SetValue(To->TypedValue());
    range_ = {From->Value(), To->Value(), value};
    SetModalResult(mrOk);
}

void TFillForm::showEvent(QShowEvent *event) {
    TstForm::showEvent(event);
    V->setFocus();
}
