// TGraphForm: the graph window beside the table editor. Created once at start-up, framed and sized;
// its controls come with the commands that use it.
#pragma once

#include "controls/stform.h"

#include <cstdint>

class TGraphForm : public TstForm {
    Q_OBJECT
public:
    static constexpr int kWidth = 557;
    static constexpr int kHeight = 406;

    explicit TGraphForm(QWidget *parent = nullptr);
};

extern TGraphForm *GraphForm;
