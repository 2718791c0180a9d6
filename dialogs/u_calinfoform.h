// TCalInfoForm: the calibration details dialog: everything the open set holds. Created once at
// start-up, framed and sized; its controls come with the commands that use it.
#pragma once

#include "controls/stform.h"

#include <cstdint>

class TCalInfoForm : public TstForm {
    Q_OBJECT
public:
    static constexpr int kWidth = 395;
    static constexpr int kHeight = 413;

    explicit TCalInfoForm(QWidget *parent = nullptr);
};

extern TCalInfoForm *CalInfoForm;
