// TFillForm: the fill and offset dialog of the table editor. It asks for a
// value and a RAW range, in one of two roles: fill (the value must lie in
// -140..0) and offset (-140..140). It only checks what the user typed.
//
// Created once at start-up, so V, From and To keep what they held at the end
// of the previous run, in either role. The run ends with OK only through
// BOKClick (the OK button or Enter in V). From above To is accepted; a range
// number still being typed when OK is pressed counts as entered.
#pragma once

#include "controls/stform.h"

#include <optional>

class TmyIntEdit;
class TstAlignEdit;

enum class TFillRole { Fill, Offset };

// What the dialog answers after OK.
struct TFillRange {
    int From = 0;
    int To = 0;
    double Value = 0.0;
};

class TFillForm : public TstForm {
    Q_OBJECT
public:
    explicit TFillForm(QWidget *parent = nullptr);

    // Runs the dialog in `role`: titled "Fill values" or "Add offset", its
    // range label that text followed by " for RAW". The range and the value
    // after OK; nothing after Cancel.
    std::optional<TFillRange> AskRange(TFillRole role);

protected:
    void showEvent(QShowEvent *event) override;

private:
    // The OK button, and Enter in V.
    void BOKClick();

    TstAlignEdit *V = nullptr;
    TmyLabel *L = nullptr; // the range label of the role
    TmyIntEdit *From = nullptr;
    TmyIntEdit *To = nullptr;

    TFillRole role_ = TFillRole::Fill;
    TFillRange range_;
};
