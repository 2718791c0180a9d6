// TmyIntEdit: the integer field placed on the windows. It hands mouse-wheel
// turns on to a companion UpDownControl -- any widget that reacts to the
// wheel, such as a spin box or a scroll bar -- with ExitControl suspended, so
// that a value changed by the wheel does not move the focus away.
#pragma once

#include "controls/stintedit.h"

class TmyIntEdit : public TstIntEdit {
    Q_OBJECT
public:
    explicit TmyIntEdit(QWidget *parent = nullptr);

    QWidget *UpDownControl() const { return upDown_; }
    void SetUpDownControl(QWidget *control) { upDown_ = control; }

protected:
    void wheelEvent(QWheelEvent *event) override;

private:
    QPointer<QWidget> upDown_;
};
