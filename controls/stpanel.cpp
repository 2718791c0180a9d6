#include "controls/stpanel.h"

#include <QPainter>

#include <algorithm>

TstPanel::TstPanel(QWidget *parent) : TstCustomPanel(parent) {}

void TstPanel::SetCaption(const QString &value) {
    if (caption_ == value) return;
    caption_ = value;
    update();
}

void TstPanel::SetAlignment(TAlignment value) {
    if (alignment_ == value) return;
    alignment_ = value;
    update();
}

void TstPanel::SetLayout(TTextLayout value) {
    if (layout_ == value) return;
    layout_ = value;
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
    if (r.width() <= 0 || r.height() <= 0 || caption_.isEmpty()) return;
    painter.setClipRect(r);
    painter.setFont(font());
    painter.setPen(FontColor(this));
    painter.setLayoutDirection(layoutDirection());
    const QString text = abbreviate_
                             ? painter.fontMetrics().elidedText(caption_, Qt::ElideRight, r.width())
                             : caption_;
    painter.drawText(r, AlignmentFlags(alignment_, layout_) | Qt::TextSingleLine, text);
}
