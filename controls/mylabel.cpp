#include "controls/mylabel.h"

#include <QEvent>
#include <QPainter>

TmyLabel::TmyLabel(QWidget *parent)
    : QWidget(parent), TCaptioned(TAlignment::taLeftJustify, TTextLayout::tlTop) {
    resize(65, 17);
}

void TmyLabel::CaptionChanged(bool text) {
    if (text) AdjustBounds();
    update();
}

void TmyLabel::SetAutoSize(bool value) {
    if (autoSize_ == value) return;
    autoSize_ = value;
    AdjustBounds();
}

void TmyLabel::SetTransparent(bool value) {
    if (transparent_ == value) return;
    transparent_ = value;
    update();
}

void TmyLabel::SetShowAccelChar(bool value) {
    if (showAccelChar_ == value) return;
    showAccelChar_ = value;
    AdjustBounds();
    update();
}

void TmyLabel::SetShowBurried(bool value) {
    if (showBurried_ == value) return;
    showBurried_ = value;
    update();
}

void TmyLabel::SetDisableColor(TColor value) {
    if (disableColor_ == value) return;
    disableColor_ = value;
    if (!isEnabled()) update();
}

void TmyLabel::SetBurriedColor(TColor value) {
    if (burriedColor_ == value) return;
    burriedColor_ = value;
    if (!isEnabled()) update();
}

int TmyLabel::TextFlags() const {
    return AlignmentFlags(Alignment(), Layout()) | Qt::TextSingleLine |
           (showAccelChar_ ? Qt::TextShowMnemonic : 0);
}

void TmyLabel::AdjustBounds() {
    if (!autoSize_) return;
    const QString text = Caption().isEmpty() ? QStringLiteral(" ") : Caption();
    const QSize size =
        fontMetrics().size(Qt::TextSingleLine | (showAccelChar_ ? Qt::TextShowMnemonic : 0), text);
    // A right-justified label keeps its right edge.
    const int left = Alignment() == TAlignment::taRightJustify ? x() + width() - size.width() : x();
    setGeometry(left, y(), size.width(), size.height());
}

void TmyLabel::changeEvent(QEvent *event) {
    if (event->type() == QEvent::FontChange) AdjustBounds();
    if (event->type() == QEvent::EnabledChange || event->type() == QEvent::PaletteChange) update();
    QWidget::changeEvent(event);
}

void TmyLabel::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    if (!transparent_)
        painter.fillRect(rect(), palette().color(QPalette::Active, QPalette::Window));
    painter.setFont(font());
    painter.setLayoutDirection(layoutDirection());
    const int flags = TextFlags();
    if (isEnabled()) {
        painter.setPen(FontColor(this));
        painter.drawText(rect(), flags, Caption());
        return;
    }
    if (showBurried_) {
        painter.setPen(ColorToQColor(burriedColor_));
        painter.drawText(rect().translated(1, 1), flags, Caption());
    }
    painter.setPen(ColorToQColor(disableColor_));
    painter.drawText(rect(), flags, Caption());
}
