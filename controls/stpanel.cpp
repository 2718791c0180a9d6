#include "controls/stpanel.h"

#include <QPainter>

#include <algorithm>

TstPanel::TstPanel(QWidget *parent)
    : TstCustomPanel(parent), TCaptioned(TAlignment::taCenter, TTextLayout::tlCenter) {}

void TstPanel::CaptionChanged(bool) {
    update();
}

void TstPanel::SetIndent(int value) {
    value = std::max(value, 0);
    if (indent_ == value) return;
    indent_ = value;
    update();
}

void TstPanel::SetAbbreviate(bool value) {
    if (abbreviate_ == value) return;
    abbreviate_ = value;
    update();
}

void TstPanel::SetEnabled(bool value) {
    setEnabled(value);
    if (!enable4All_) return;
    for (QObject *object : children()) {
        if (!object->isWidgetType()) continue;
        auto *child = static_cast<QWidget *>(object);
        if (child->isWindow() || GetTag(child) < 0) continue;
        if (auto *panel = qobject_cast<TstPanel *>(child))
            panel->SetEnabled(value);
        else
            child->setEnabled(value);
    }
}

QRect TstPanel::CaptionRect() const {
    const int b = AdjustBevel();
    const int x = b + indent_;
    return QRect(x, b, width() - 2 * x, height() - 2 * b);
}

void TstPanel::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    PaintBevel(painter);
    const QRect r = CaptionRect();
    if (r.width() <= 0 || r.height() <= 0 || Caption().isEmpty()) return;
    painter.setClipRect(r);
    painter.setFont(font());
    painter.setPen(FontColor(this));
    painter.setLayoutDirection(layoutDirection());
    const QString text =
        abbreviate_ ? painter.fontMetrics().elidedText(Caption(), Qt::ElideRight, r.width())
                    : Caption();
    painter.drawText(r, AlignmentFlags(Alignment(), Layout()) | Qt::TextSingleLine, text);
}
