#include "dialogs/u_addfqform.h"

#include "controls/dialogparts.h"
#include "controls/myfrequencyedit.h"
#include "controls/mylabel.h"
#include "controls/stspeedbutton.h"
#include "platform/messagebox.h"

#include <QShowEvent>

#include <algorithm>
#include <limits>

using namespace dialogparts;

namespace {

constexpr int kWidth = 227;
constexpr int kHeight = 90;

} // namespace

TAddFqForm::TAddFqForm(QWidget *parent)
    : TstForm(QStringLiteral("Add Frequency"), TFrameKind::fkDialog, parent) {
    SetSize(kWidth, kHeight);

    TmyLabel *myLabel1 =
        Named(MakeLabel(ClientPanel, QStringLiteral("Frequency"), 8, 32), "myLabel1");
    myLabel1->SetDisableColor(kLabelDisabled);
    myLabel1->SetBurriedColor(clGray);
    myLabel1->SetAutoSize(false);
    myLabel1->setGeometry(8, 32, 52, 14);

    Fq = Named(new TmyFrequencyEdit(ClientPanel), "Fq");
    StyleFrequencyField(Fq, QRect(8, 52, 129, 22), 11);
    Fq->SetOnKeyDown([this](QObject *sender, int &key, Qt::KeyboardModifiers shift) {
        FqKeyDown(sender, key, shift);
    });
    Fq->SetOnKeyPress([this](QObject *sender, QChar &key) { FqKeyPress(sender, key); });

    TstSpeedButton *BOK =
        Named(MakeButton(ClientPanel, QRect(148, 30, 70, 21), QStringLiteral("OK")), "BOK");
    connect(BOK, &TstSpeedButton::OnClick, this, &TAddFqForm::BOKClick);
    TstSpeedButton *BSelect =
        Named(MakeButton(ClientPanel, QRect(148, 54, 70, 21), QStringLiteral("Cancel")), "BSelect");
    connect(BSelect, &TstSpeedButton::OnClick, this, &TstForm::SysBtnCloseClick);

    CentreOnScreen(this);
}

void TAddFqForm::SetRange(std::int64_t lowest, std::int64_t highest) {
    Fq->SetMax(highest);
    Fq->SetMin(lowest);
}

std::optional<std::uint64_t> TAddFqForm::AskFrequency(std::uint64_t tuned, TPointExists exists) {
    tunedFrequency_ = tuned;
    pointExists_ = std::move(exists);
    if (ShowModal() != mrOk) return std::nullopt;
    return std::uint64_t(std::max<std::int64_t>(Fq->Value(), 0));
}

void TAddFqForm::showEvent(QShowEvent *event) {
    TstForm::showEvent(event);
    if (event->spontaneous()) return;
    // Every showing starts from the frequency the receiver is tuned to.
    const auto limit = std::uint64_t(std::numeric_limits<std::int64_t>::max());
    Fq->SetValue(std::int64_t(std::min(tunedFrequency_, limit)));
    Fq->setFocus();
}

void TAddFqForm::FqKeyDown(QObject *, int &key, Qt::KeyboardModifiers) {
    enter_ = key == Qt::Key_Return || key == Qt::Key_Enter;
}

// Fq refuses Enter and hands it on as the zero character, after its key-down
// has already taken the typed frequency.
void TAddFqForm::FqKeyPress(QObject *, QChar &key) {
    if (key.isNull() && enter_) BOKClick();
}

void TAddFqForm::BOKClick() {
    // Ends typing in Fq: leaving the field takes the typed frequency.
    ClientPanel->setFocus();

    // The frequency is cut to what the receiver can be tuned to before the
    // list is searched, so that the point that gets overwritten is the one
    // the question names.
    if (Fq->Value() > kTenHertzTuning) Fq->SetValue(Fq->Value() / 10 * 10);

    if (pointExists_ && Fq->Value() >= 0 && pointExists_(std::uint64_t(Fq->Value()))) {
        const QMessageBox::StandardButton answer = platform::ShowMessageBox(
            {this,
             QStringLiteral("Frequency ") + Fq->text() +
                 QStringLiteral(" MHz already exist in calibration table.\nOverwite?"),
             QStringLiteral("Message"), QMessageBox::Question, QMessageBox::Yes | QMessageBox::No,
             QMessageBox::NoButton});
        if (answer != QMessageBox::Yes) {
            Fq->setFocus();
            return;
        }
    }
    SetModalResult(mrOk);
}
