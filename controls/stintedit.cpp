#include "controls/stintedit.h"

#include <QKeyEvent>

TstIntEdit::TstIntEdit(QWidget *parent) : TstCustomEdit(parent) {
    setAlignment(alignment_ | Qt::AlignVCenter);
    SetMaxLength(9);
    setText(QStringLiteral("0"));
}

void TstIntEdit::SetValue(std::int32_t v) {
    const bool undefShown = v == undefValue_ && displayUndefValueText_;
    if ((min_ != 0 || max_ != 0) && !undefShown) {
        if (v > max_) v = max_;
        if (v < min_) v = min_;
    }
    setText(undefShown ? undefValueText_ : QString::number(v));
    setCursorPosition(int(text().length()));
    if (v != value_) {
        bool allow = true;
        if (onValueChanging_) onValueChanging_(this, v, allow);
        if (!allow) return;
        value_ = v;
        emit OnValueChange(this);
    }
    if (hasFocus() && exitControl_) exitControl_->setFocus();
}

void TstIntEdit::SetMin(std::int32_t value) {
    if (min_ == value) return;
    min_ = value;
    SetValue(value_);
}

void TstIntEdit::SetMax(std::int32_t value) {
    if (max_ == value) return;
    max_ = value;
    SetValue(value_);
}

void TstIntEdit::SetUndefValue(std::int32_t value) {
    if (undefValue_ == value) return;
    undefValue_ = value;
    SetValue(value_);
}

void TstIntEdit::SetDisplayUndefValueText(bool value) {
    if (displayUndefValueText_ == value) return;
    displayUndefValueText_ = value;
    SetValue(value_);
}

void TstIntEdit::SetUndefValueText(const QString &value) {
    if (undefValueText_ == value) return;
    undefValueText_ = value;
    if (value_ == undefValue_) SetValue(value_);
}

void TstIntEdit::SetAlignment(Qt::Alignment value) {
    value &= Qt::AlignHorizontal_Mask;
    if (alignment_ == value) return;
    alignment_ = value;
    setAlignment(alignment_ | (alignment() & Qt::AlignVertical_Mask));
}

std::int32_t TstIntEdit::TypedValue() const {
    bool ok = false;
    const int v = text().toInt(&ok);
    return ok ? v : value_;
}

void TstIntEdit::KeyDown(int &key, Qt::KeyboardModifiers shift) {
    if (!isReadOnly()) {
        if (key == Qt::Key_Return || key == Qt::Key_Enter)
            SetValue(TypedValue());
        else if (key == Qt::Key_Escape)
            SetValue(value_);
    }
    TstCustomEdit::KeyDown(key, shift);
}

void TstIntEdit::KeyPress(QChar &key) {
    const bool accepted =
        key == u'\b' || (key >= u'0' && key <= u'9') || (key == u'-' && !text().contains(u'-'));
    if (!accepted) key = QChar(0);
    TstCustomEdit::KeyPress(key);
}

void TstIntEdit::DoExit() {
    if (!isReadOnly()) SetValue(UpdateOnExit() ? TypedValue() : value_);
    TstCustomEdit::DoExit();
}
