#include "controls/myfrequencyedit.h"

#include <QWheelEvent>

TmyFrequencyEdit::TmyFrequencyEdit(QWidget *parent) : TstFrequencyEdit(parent) {}

void TmyFrequencyEdit::wheelEvent(QWheelEvent *event) {
    TstFrequencyEdit::wheelEvent(event);
    if (!upDown_) return;
    // A value set by the wheel must not send the focus on.
    QPointer<QWidget> exitControl = exitControl_;
    exitControl_ = nullptr;
    ForwardWheel(event, upDown_);
    exitControl_ = exitControl;
    event->accept();
}
