// TFillForm: the fill and offset dialog of the table editor. It asks for a
// value and a RAW range, in one of two roles that the editor sets before each
// run: the fill role (the value must lie in -140..0) and the offset role
// (-140..140). It only checks what the user typed; after OK the editor reads
// From, To and V's text.
//
// Created once at start-up, so V, From and To keep what they held at the end
// of the previous run, in either role. The run ends with OK only through
// BOKClick (the OK button or Enter in V). From above To is accepted.
#pragma once

#include "controls/stform.h"

class TmyIntEdit;
class TstAlignEdit;

class TFillForm : public TstForm {
    Q_OBJECT
public:
    static constexpr int kWidth = 257;
    static constexpr int kHeight = 132;

    explicit TFillForm(QWidget *parent = nullptr);

    // true: the fill role; false: the offset role.
    bool FillRole() const { return fillRole_; }
    void SetFillRole(bool value) { fillRole_ = value; }

    void BOKClick();
    // Enter (character 13) is consumed and runs BOKClick.
    void VKeyPress(QObject *sender, QChar &key);

    TstPanel *stPanel1 = nullptr;
    TmyLabel *LV = nullptr;
    TstAlignEdit *V = nullptr;
    TmyLabel *L = nullptr; // the range label of the role
    TmyLabel *Label2 = nullptr;
    TmyIntEdit *From = nullptr;
    TmyLabel *Label3 = nullptr;
    TmyIntEdit *To = nullptr;
    TstSpeedButton *BOK = nullptr;
    TstSpeedButton *BSelect = nullptr;

protected:
    void showEvent(QShowEvent *event) override;

private:
    bool fillRole_ = true;
};

extern TFillForm *FillForm;
