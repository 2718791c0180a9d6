#include "controls/stgauge.h"

#include <QPaintEvent>
#include <QPainter>

#include <algorithm>

TstGauge::TstGauge(QWidget *parent) : TstCustomPanel(parent) {}

void TstGauge::SetMin(int value) {
    if (min_ == value) return;
    min_ = value;
    if (max_ < min_) max_ = min_;
    current_ = std::clamp(current_, min_, max_);
    Redraw();
}

void TstGauge::SetMax(int value) {
    if (max_ == value) return;
    max_ = value;
    if (max_ < min_) min_ = max_;
    current_ = std::clamp(current_, min_, max_);
    Redraw();
}

void TstGauge::SetCurrent(int value) {
    value = std::clamp(value, min_, max_);
    if (current_ == value) return;
    current_ = value;
    Redraw();
}

void TstGauge::SetForeColor(TColor value) {
    if (foreColor_ == value) return;
    foreColor_ = value;
    Redraw();
}

void TstGauge::SetBackColor(TColor value) {
    if (backColor_ == value) return;
    backColor_ = value;
    Redraw();
}

void TstGauge::SetGaugePercent(int value) {
    value = std::clamp(value, 0, 100);
    if (gaugePercent_ == value) return;
    gaugePercent_ = value;
    Redraw();
}

void TstGauge::SetIndent(int value) {
    if (indent_ == value) return;
    indent_ = value;
    update();
}

QRect TstGauge::GaugeArea() const {
    const int inset = AdjustBevel() + indent_;
    return QRect(inset, inset, width() - 2 * inset, height() - 2 * inset);
}

void TstGauge::Redraw() {
    const QRect area = GaugeArea();
    if (area.width() > 0 && area.height() > 0) repaint(area);
}

void TstGauge::DrawGauge(QPainter &painter) {
    const QRect area = GaugeArea();
    if (area.width() <= 0 || area.height() <= 0) return;
    painter.fillRect(area, ColorToQColor(Color()));
    const int barWidth = RoundHalfEven(area.width() * gaugePercent_ / 100.0);
    const QRect bar(area.left(), area.top(), barWidth, area.height());
    painter.fillRect(bar, ColorToQColor(backColor_));
    if (max_ != min_) {
        const double share = (double(current_) - min_) / (double(max_) - min_);
        const int filled = RoundHalfEven(barWidth * share);
        painter.fillRect(QRect(bar.left(), bar.top(), filled, bar.height()),
                         ColorToQColor(foreColor_));
    }
    painter.setFont(font());
    painter.setPen(FontColor(this));
    painter.drawText(area, Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine,
                     QString::number(current_));
    if (onAfterDraw_) onAfterDraw_(this, painter, bar);
}

void TstGauge::paintEvent(QPaintEvent *event) {
    QPainter painter(this);
    // A redraw of the bar alone leaves the bevel as it is.
    if (!GaugeArea().contains(event->rect())) PaintBevel(painter);
    DrawGauge(painter);
}
