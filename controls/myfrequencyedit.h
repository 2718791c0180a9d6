// TmyFrequencyEdit: the frequency field placed on the windows. Like
// TmyIntEdit it hands mouse-wheel turns on to a companion UpDownControl (any
// widget that reacts to the wheel) with ExitControl suspended.
#pragma once

#include "controls/stfrequencyedit.h"

class TmyFrequencyEdit : public TstFrequencyEdit {
    Q_OBJECT
public:
    explicit TmyFrequencyEdit(QWidget *parent = nullptr);

    QWidget *UpDownControl() const { return upDown_; }
    void SetUpDownControl(QWidget *control) { upDown_ = control; }

protected:
    void wheelEvent(QWheelEvent *event) override;

private:
    QPointer<QWidget> upDown_;
};
