#include "controls/stalignedit.h"

TstAlignEdit::TstAlignEdit(QWidget *parent) : TstCustomEdit(parent) {
    setAlignment(alignment_ | Qt::AlignVCenter);
}

void TstAlignEdit::SetAlignment(Qt::Alignment value) {
    value &= Qt::AlignHorizontal_Mask;
    if (alignment_ == value) return;
    alignment_ = value;
    setAlignment(alignment_ | (alignment() & Qt::AlignVertical_Mask));
}
