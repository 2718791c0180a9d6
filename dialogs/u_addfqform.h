// TAddFqForm: the add-frequency dialog. It asks for the frequency of a new
// point of the main window's list and, before it ends with OK, asks whether
// an existing point may be overwritten.
#pragma once

#include "controls/stform.h"

#include <cstdint>
#include <functional>
#include <optional>

class QShowEvent;
class TmyFrequencyEdit;
class TmyLabel;
class TstSpeedButton;

class TAddFqForm : public TstForm {
    Q_OBJECT
public:
    // Above this frequency the receiver is tuned in whole tens of hertz.
    static constexpr std::int64_t kTenHertzTuning = 2147000000;

    // Whether the list already holds a point of that frequency.
    using TPointExists = std::function<bool(std::uint64_t hz)>;

    explicit TAddFqForm(QWidget *parent = nullptr);

    // The range of the open receiver, which the field keeps to.
    void SetRange(std::int64_t lowest, std::int64_t highest);

    // The modal run, the field starting from `tuned`: the frequency of the
    // new point after OK (cut to whole tens of hertz above 2,147,000,000 Hz,
    // and only once an existing point of it may be overwritten), nothing
    // after Cancel.
    std::optional<std::uint64_t> AskFrequency(std::uint64_t tuned, TPointExists exists);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void BOKClick();
    void FqKeyDown(QObject *sender, int &key, Qt::KeyboardModifiers shift);
    void FqKeyPress(QObject *sender, QChar &key);

    TmyFrequencyEdit *Fq = nullptr;

    TPointExists pointExists_;
    std::uint64_t tunedFrequency_ = 0;
    // Whether the last key pressed in Fq was Enter.
    bool enter_ = false;
};
