#include "controls/myintedit.h"

#include <QWheelEvent>

TmyIntEdit::TmyIntEdit(QWidget *parent) : TstIntEdit(parent) {}

void TmyIntEdit::wheelEvent(QWheelEvent *event) {
    TstIntEdit::wheelEvent(event);
    ForwardWheelToUpDown(event, upDown_);
}
