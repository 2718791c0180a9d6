#include "dialogs/u_addfqform.h"

#include "controls/myfrequencyedit.h"
#include "controls/mylabel.h"
#include "controls/stspeedbutton.h"
#include "dialogs/dialogcontrols.h"
#include "platform/messagebox.h"

#include <QGuiApplication>
#include <QScreen>
#include <QShowEvent>

#include <algorithm>
#include <limits>

TAddFqForm *AddFqForm = nullptr;

using namespace dialogcontrols;

TAddFqForm::TAddFqForm(QWidget *parent)
    : TstForm(QStringLiteral("Add Frequency"), TFrameKind::fkDialog, parent) {
    SetSize(kWidth, kHeight);

    myLabel1 = new TmyLabel(ClientPanel);
    myLabel1->setFont(ArialFont(11));
    SetFontColor(myLabel1, clYellow);
    myLabel1->SetDisableColor(2105376);
    myLabel1->SetBurriedColor(clGray);
    myLabel1->SetAutoSize(false);
    myLabel1->SetCaption(QStringLiteral("Frequency"));
    myLabel1->setGeometry(8, 32, 52, 14);

    Fq = new TmyFrequencyEdit(ClientPanel);
    Fq->setGeometry(8, 52, 129, 22);
    Fq->SetColor(clBlack);
    Fq->setFont(ArialFont(11));
    Fq->SetFontColor(clLime);
    Fq->SetDefaultShadow(false);
    Fq->SetMaxLength(12);
    Fq->SetFixedPoint(fp1Hz);
    Fq->SetHzLimit(2000);
    Fq->SetShowUnit(fuMHz);
    Fq->setText(QStringLiteral("0,000000"));
    Fq->OnKeyDown = [this](QObject *sender, int &key, Qt::KeyboardModifiers shift) {
        FqKeyDown(sender, key, shift);
    };
    Fq->OnKeyPress = [this](QObject *sender, QChar &key) { FqKeyPress(sender, key); };

    BOK = MakeButton(ClientPanel, QRect(148, 30, 70, 21), QStringLiteral("OK"));
    connect(BOK, &TstSpeedButton::OnClick, this, &TAddFqForm::BOKClick);
    BSelect = MakeButton(ClientPanel, QRect(148, 54, 70, 21), QStringLiteral("Cancel"));
    connect(BSelect, &TstSpeedButton::OnClick, this, &TstForm::SysBtnCloseClick);

    if (QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - QPoint(kWidth / 2, kHeight / 2));
}

void TAddFqForm::SetPointExists(std::function<bool(std::uint64_t hz)> exists) {
    pointExists_ = std::move(exists);
}

void TAddFqForm::SetTunedFrequency(std::uint64_t hz) {
    tunedFrequency_ = hz;
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
