// TTableForm: the translation table editor. Created once at start-up, framed and sized; its
// controls come with the commands that use it.
#pragma once

#include "controls/stform.h"

#include <cstdint>

class TTableForm : public TstForm {
    Q_OBJECT
public:
    static constexpr int kWidth = 681;
    static constexpr int kHeight = 448;

    explicit TTableForm(QWidget *parent = nullptr);

    // The live RAW value of the main window, marked in the table.
    void SetLiveRaw(std::uint8_t raw) { liveRaw_ = raw; }
    std::uint8_t LiveRaw() const { return liveRaw_; }

private:
    std::uint8_t liveRaw_ = 0;
};

extern TTableForm *TableForm;
