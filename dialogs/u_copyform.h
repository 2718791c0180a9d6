// TCopyForm: the table copy dialog. Created once at start-up, framed and sized; its
// controls come with the commands that use it.
#pragma once

#include "controls/stform.h"

#include <cstdint>

class TCopyForm : public TstForm {
    Q_OBJECT
public:
    static constexpr int kWidth = 283;
    static constexpr int kHeight = 290;

    explicit TCopyForm(QWidget *parent = nullptr);
};

extern TCopyForm *CopyForm;
