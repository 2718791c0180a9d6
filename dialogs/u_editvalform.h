// TEditValForm: the value dialog of the table editor. It asks for one dBm
// value for one RAW value and only checks what the user typed.
//
// Created once at start-up. The run ends with OK only through BOKClick (the OK
// button or Enter in V); Cancel and the close cross end it with Cancel. A
// refused entry raises platform::EInputError, which the application's
// standard error box shows; the dialog stays open.
#pragma once

#include "controls/stform.h"

#include <optional>

class TstAlignEdit;

class TEditValForm : public TstForm {
    Q_OBJECT
public:
    explicit TEditValForm(QWidget *parent = nullptr);

    // Asks for the value of `raw`, showing `current` (selected, so typing
    // replaces it). The accepted value, unrounded, after OK; nothing after
    // Cancel.
    std::optional<double> AskValue(int raw, double current);

protected:
    void showEvent(QShowEvent *event) override;

private:
    // The OK button, and Enter in V.
    void BOKClick();

    TmyLabel *L = nullptr; // the RAW value being edited
    TstAlignEdit *V = nullptr;

    double value_ = 0.0;
};
