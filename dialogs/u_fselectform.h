// TFSelectForm: the frequency-select dialog of the table editor. Created once at start-up, framed
// and sized; its controls come with the commands that use it.
#pragma once

#include "controls/stform.h"

#include <cstdint>

class TFSelectForm : public TstForm {
    Q_OBJECT
public:
    static constexpr int kWidth = 247;
    static constexpr int kHeight = 230;

    explicit TFSelectForm(QWidget *parent = nullptr);
    // Interim declaration, until the dialog's list lands: the frequency chosen
    // by the last run, valid after ShowModal() == mrOk.
    std::uint64_t ChosenFrequency() const { return 0; }
};

extern TFSelectForm *FSelectForm;
