#include "controls/stcustomedit.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QValidator>

#include <algorithm>

// MaxLength as the platform's edits have it: typing and pasting may not make
// the text longer than the limit, but text set by the program is kept whole
// and can still be shortened. The edit's text is already the new one while it
// is validated; the length before the change is that of the last committed text.
class TstCustomEdit::LengthLimit : public QValidator {
public:
    explicit LengthLimit(const TstCustomEdit *edit) : QValidator(nullptr), edit_(edit) {}
    State validate(QString &input, int &) const override {
        const int limit = edit_->MaxLength();
        if (limit > 0 && input.length() > limit && input.length() > edit_->committedLength_)
            return Invalid;
        return Acceptable;
    }

private:
    const TstCustomEdit *edit_;
};

namespace {

// Keys whose character goes through KeyPress; other control characters are
// the entry's shortcuts (Ctrl+C, Ctrl+V, ...).
bool IsCharacterKey(QChar ch) {
    return ch.isPrint() || ch == u'\b' || ch == u'\r' || ch == u'\x1b';
}

bool IsActivationReason(Qt::FocusReason reason) {
    return reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason;
}

} // namespace

TstCustomEdit::TstCustomEdit(QWidget *parent) : QLineEdit(parent) {
    setFrame(false);
    auto *limit = new LengthLimit(this);
    limit->setParent(this);
    setValidator(limit);
    resize(121, 21);
    ApplyPalette();
    UpdateTextMargins();
    connect(this, &QLineEdit::textChanged, this, [this](const QString &text) {
        committedLength_ = text.length();
        Change();
    });
    // A window that is not active moves its focus silently; the control that
    // had it is left when the window shows the focus elsewhere again.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) {
        if (entered_ && now && now != this && now->window() == window()) {
            entered_ = false;
            DoExit();
        }
    });
}

TstCustomEdit::~TstCustomEdit() {
    disconnect(qApp, &QApplication::focusChanged, this, nullptr);
}

void TstCustomEdit::SetDefaultShadow(bool value) {
    if (defaultShadow_ == value) return;
    defaultShadow_ = value;
    update();
}

void TstCustomEdit::SetShadowOffset(int value) {
    value = std::clamp(value, 0, 360);
    if (shadowOffset_ == value) return;
    shadowOffset_ = value;
    if (!defaultShadow_) update();
}

void TstCustomEdit::SetColor(TColor value) {
    if (color_ == value) return;
    color_ = value;
    ApplyPalette();
    update();
}

void TstCustomEdit::SetFontColor(TColor value) {
    if (fontColor_ == value) return;
    fontColor_ = value;
    ApplyPalette();
    update();
}

void TstCustomEdit::SetMaxLength(int value) {
    maxLength_ = std::max(0, value);
}

QRect TstCustomEdit::ClientRect() const {
    const int b = BorderWidth();
    return rect().adjusted(b, b, -b, -b);
}

void TstCustomEdit::ApplyPalette() {
    QPalette p = palette();
    const QColor background = ColorToQColor(color_);
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        p.setColor(group, QPalette::Base, background);
        p.setColor(group, QPalette::Text,
                   group == QPalette::Disabled ? ColorToQColor(SysColor::clGrayText)
                                               : ColorToQColor(fontColor_));
    }
    setPalette(p);
}

QColor TstCustomEdit::ParentColor() const {
    if (const QWidget *parent = parentWidget())
        return parent->palette().color(QPalette::Active, QPalette::Window);
    return ColorToQColor(SysColor::clBtnFace);
}

QColor TstCustomEdit::TextColor() const {
    return ColorToQColor(isEnabled() ? fontColor_ : SysColor::clGrayText);
}

void TstCustomEdit::UpdateTextMargins() {
    const int b = BorderWidth();
    setTextMargins(b, b, b, b);
}

void TstCustomEdit::KeyDown(int &key, Qt::KeyboardModifiers shift) {
    if (onKeyDown_) onKeyDown_(this, key, shift);
}

void TstCustomEdit::KeyPress(QChar &key) {
    if (onKeyPress_) onKeyPress_(this, key);
}

void TstCustomEdit::Change() {
    emit OnChange(this);
}

void TstCustomEdit::DoEnter() {
    if (autoSelect_) selectAll();
    emit OnEnter(this);
}

void TstCustomEdit::DoExit() {
    emit OnExit(this);
}

void TstCustomEdit::keyPressEvent(QKeyEvent *event) {
    int key = event->key();
    KeyDown(key, event->modifiers());
    const QString text = event->text();
    if (!text.isEmpty() && IsCharacterKey(text.front())) {
        QChar ch = text.front();
        KeyPress(ch);
        if (ch.isNull()) {
            event->accept();
            return;
        }
        if (ch != text.front()) {
            QKeyEvent replaced(event->type(), event->key(), event->modifiers(), QString(ch));
            QLineEdit::keyPressEvent(&replaced);
            event->setAccepted(replaced.isAccepted());
            return;
        }
    } else if (key == 0) {
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void TstCustomEdit::focusInEvent(QFocusEvent *event) {
    QLineEdit::focusInEvent(event);
    // The window's activation gives the focus back to the control that had it;
    // that is no entry into the control.
    if (!entered_) {
        entered_ = true;
        DoEnter();
    }
}

void TstCustomEdit::focusOutEvent(QFocusEvent *event) {
    if (entered_ && !IsActivationReason(event->reason())) {
        entered_ = false;
        DoExit();
    }
    QLineEdit::focusOutEvent(event);
}

void TstCustomEdit::PaintContent(QPaintEvent *event) {
    {
        QPainter painter(this);
        painter.fillRect(ClientRect(), ColorToQColor(color_));
    }
    QLineEdit::paintEvent(event);
}

void TstCustomEdit::paintEvent(QPaintEvent *event) {
    PaintContent(event);
    QPainter painter(this);
    if (defaultShadow_) {
        QStyleOptionFrame option;
        initStyleOption(&option);
        option.rect = rect();
        option.lineWidth = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, this);
        option.state |= QStyle::State_Sunken;
        style()->drawPrimitive(QStyle::PE_FrameLineEdit, &option, &painter, this);
    } else {
        DrawNC(painter, size(), ClientRect(), ParentColor(), shadowOffset_);
    }
}

void TstCustomEdit::changeEvent(QEvent *event) {
    QLineEdit::changeEvent(event);
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::EnabledChange ||
        event->type() == QEvent::ParentChange)
        update();
}

void TstCustomEdit::wheelEvent(QWheelEvent *event) {
    QLineEdit::wheelEvent(event);
    ForwardWheelToUpDown(event);
}

void TstCustomEdit::ForwardWheelToUpDown(QWheelEvent *event) {
    if (!upDown_) return;
    const QPointer<QWidget> exitControl = exitControl_;
    exitControl_ = nullptr;
    QWheelEvent copy(upDown_->mapFromGlobal(event->globalPosition()), event->globalPosition(),
                     event->pixelDelta(), event->angleDelta(), event->buttons(), event->modifiers(),
                     event->phase(), event->inverted(), event->source());
    QCoreApplication::sendEvent(upDown_, &copy);
    exitControl_ = exitControl;
    event->accept();
}
