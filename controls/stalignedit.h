// TstAlignEdit: TstCustomEdit with a text alignment inside the field; a free
// text field, and the base of the frequency edit.
#pragma once

#include "controls/stcustomedit.h"

class TstAlignEdit : public TstCustomEdit {
    Q_OBJECT
public:
    explicit TstAlignEdit(QWidget *parent = nullptr);

    // Horizontal alignment of the text: Qt::AlignLeft, Qt::AlignRight (the
    // default) or Qt::AlignHCenter.
    Qt::Alignment Alignment() const { return alignment_; }
    void SetAlignment(Qt::Alignment value);

private:
    Qt::Alignment alignment_ = Qt::AlignRight;
};
