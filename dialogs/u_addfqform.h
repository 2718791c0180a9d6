// TAddFqForm: the add-frequency dialog: asks for the frequency of a new point. Created once at
// start-up, framed and sized; its controls come with the commands that use it.
#pragma once

#include "controls/stform.h"

#include <cstdint>

class TmyFrequencyEdit;

class TAddFqForm : public TstForm {
    Q_OBJECT
public:
    static constexpr int kWidth = 227;
    static constexpr int kHeight = 90;

    explicit TAddFqForm(QWidget *parent = nullptr);

    // The frequency of the new point; its range follows the open receiver.
    TmyFrequencyEdit *Fq = nullptr;
};

extern TAddFqForm *AddFqForm;
