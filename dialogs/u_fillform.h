// TFillForm: the fill and offset dialog of the table editor. Created once at start-up, framed and
// sized; its controls come with the commands that use it.
#pragma once

#include "controls/stform.h"

#include <cstdint>

class TFillForm : public TstForm {
    Q_OBJECT
public:
    static constexpr int kWidth = 257;
    static constexpr int kHeight = 132;

    explicit TFillForm(QWidget *parent = nullptr);
};

extern TFillForm *FillForm;
