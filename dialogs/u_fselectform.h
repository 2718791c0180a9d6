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
    std::uint64_t ChosenFrequency() const { return chosen_; } // LOCALSTUB
    std::uint64_t chosen_ = 0;                                // LOCALSTUB
};

extern TFSelectForm *FSelectForm;
