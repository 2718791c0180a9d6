// TSearchADForm: the small progress window of a device search. It has no
// title bar, only the bevelled client panel with its text and a bar that
// stands at 50 of 63. When the program hides it, it says so (Hidden), and the
// main window becomes active again.
#pragma once

#include "controls/stform.h"

class QLabel;
class TCGauge;

class TSearchADForm : public TstForm {
    Q_OBJECT
public:
    explicit TSearchADForm(QWidget *parent = nullptr);

signals:
    void Hidden();

protected:
    void hideEvent(QHideEvent *event) override;

private:
    QLabel *Label1 = nullptr;
    TstPanel *PP = nullptr;
    TCGauge *G = nullptr;
};
