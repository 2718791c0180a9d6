#include "controls/myintedit.h"

#include <QWheelEvent>

TmyIntEdit::TmyIntEdit(QWidget *parent) : TstIntEdit(parent) {}

void TmyIntEdit::wheelEvent(QWheelEvent *event) {
    TstIntEdit::wheelEvent(event);
    if (!upDown_) return;
    // A value set by the wheel must not send the focus on.
    QPointer<QWidget> exitControl = exitControl_;
    exitControl_ = nullptr;
    ForwardWheel(event, upDown_);
    exitControl_ = exitControl;
    event->accept();
}
