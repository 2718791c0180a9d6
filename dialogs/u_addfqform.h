// TAddFqForm: the add-frequency dialog. It asks for the frequency of a new
// point of the main window's list and, before it ends with OK, asks whether
// an existing point may be overwritten.
//
// The main window copies the receiver's range into Fq whenever a receiver is
// opened, installs a look-up of its point rows, and sets the tuned frequency
// before every run; after OK it reads Fq's value (Hz).
#pragma once

#include "controls/stform.h"

#include <cstdint>
#include <functional>

class QShowEvent;
class TmyFrequencyEdit;
class TmyLabel;
class TstSpeedButton;

class TAddFqForm : public TstForm {
    Q_OBJECT
public:
    static constexpr int kWidth = 227;
    static constexpr int kHeight = 90;
    // Above this frequency the receiver is tuned in whole tens of hertz.
    static constexpr std::int64_t kTenHertzTuning = 2147000000;

    explicit TAddFqForm(QWidget *parent = nullptr);

    // Whether the list already holds a point of that frequency.
    void SetPointExists(std::function<bool(std::uint64_t hz)> exists);
    // The frequency Fq starts from at the next showing.
    void SetTunedFrequency(std::uint64_t hz);

    void BOKClick();
    void FqKeyDown(QObject *sender, int &key, Qt::KeyboardModifiers shift);
    void FqKeyPress(QObject *sender, QChar &key);

    TmyLabel *myLabel1 = nullptr;
    // The frequency of the new point; its range follows the open receiver.
    TmyFrequencyEdit *Fq = nullptr;
    TstSpeedButton *BOK = nullptr;
    TstSpeedButton *BSelect = nullptr;

protected:
    void showEvent(QShowEvent *event) override;

private:
    std::function<bool(std::uint64_t)> pointExists_;
    std::uint64_t tunedFrequency_ = 0;
    // Whether the last key pressed in Fq was Enter.
    bool enter_ = false;
};

extern TAddFqForm *AddFqForm;
