// TEditValForm: the value dialog of the table editor. Created once at start-up, framed and sized;
// its controls come with the commands that use it.
#pragma once

#include "controls/stform.h"

#include <cstdint>

class TEditValForm : public TstForm {
    Q_OBJECT
public:
    static constexpr int kWidth = 189;
    static constexpr int kHeight = 102;

    explicit TEditValForm(QWidget *parent = nullptr);
};

extern TEditValForm *EditValForm;
