#include "controls/myfrequencyedit.h"

#include <QWheelEvent>

TmyFrequencyEdit::TmyFrequencyEdit(QWidget *parent) : TstFrequencyEdit(parent) {}

void TmyFrequencyEdit::wheelEvent(QWheelEvent *event) {
    TstFrequencyEdit::wheelEvent(event);
    ForwardWheelToUpDown(event, upDown_);
}
