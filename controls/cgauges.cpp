#include "controls/cgauges.h"

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <stdexcept>

namespace {
// Above 100 % shapes are smoothed, their one-pixel lines moved half a pixel
// onto the pixels that the exact lines cover at 100 %.
void SmoothAboveOne(QPainter &painter) {
    const bool smooth = PaintRatio(painter) > 1.0;
    painter.setRenderHint(QPainter::Antialiasing, smooth);
    if (smooth) painter.translate(0.5, 0.5);
}

[[noreturn]] void RangeError(int low, int high) {
    throw std::out_of_range(
        QStringLiteral("Value must be between %1 and %2").arg(low).arg(high).toStdString());
}
} // namespace

TCGauge::TCGauge(QWidget *parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(100, 100);
}

void TCGauge::SetKind(TCGaugeKind value) {
    if (kind_ == value) return;
    kind_ = value;
    repaint();
}

void TCGauge::SetMinValue(int value) {
    if (minValue_ == value) return;
    if (value > maxValue_) RangeError(-INT_MAX, maxValue_ - 1);
    minValue_ = value;
    progress_ = std::clamp(progress_, minValue_, maxValue_);
    repaint();
}

void TCGauge::SetMaxValue(int value) {
    if (maxValue_ == value) return;
    if (value < minValue_) RangeError(minValue_ + 1, INT_MAX);
    maxValue_ = value;
    progress_ = std::clamp(progress_, minValue_, maxValue_);
    repaint();
}

int TCGauge::PercentDone() const {
    if (maxValue_ == minValue_) return 0;
    // 64 bits: the span of two 32-bit bounds does not fit in 32.
    return int((std::int64_t(progress_) - minValue_) * 100 / (std::int64_t(maxValue_) - minValue_));
}

void TCGauge::SetProgress(int value) {
    value = std::clamp(value, minValue_, maxValue_);
    if (value == progress_) return;
    const int before = PercentDone();
    progress_ = value;
    if (PercentDone() != before) repaint();
}

void TCGauge::AddProgress(int delta) {
    SetProgress(int(std::clamp<std::int64_t>(std::int64_t(progress_) + delta, INT_MIN, INT_MAX)));
    repaint();
}

void TCGauge::SetForeColor(TColor value) {
    if (foreColor_ == value) return;
    foreColor_ = value;
    repaint();
}

void TCGauge::SetBackColor(TColor value) {
    if (backColor_ == value) return;
    backColor_ = value;
    repaint();
}

void TCGauge::SetShowText(bool value) {
    if (showText_ == value) return;
    showText_ = value;
    repaint();
}

void TCGauge::SetBorderStyle(TGaugeBorderStyle value) {
    if (borderStyle_ == value) return;
    borderStyle_ = value;
    repaint();
}

void TCGauge::PaintBackground(QPainter &painter, const QRect &r) const {
    painter.fillRect(r, ColorToQColor(backColor_));
}

void TCGauge::PaintBar(QPainter &painter, const QRect &r, bool horizontal) const {
    PaintBackground(painter, r);
    const int w = r.width() + 1;
    const int h = r.height() + 1;
    const int percent = PercentDone();
    if (horizontal) {
        const int filled = std::min(int(std::floor(percent * 0.01 * w)), w);
        // From the top-left corner to x = filled, y = h, right and bottom
        // exclusive, within the drawing rectangle.
        if (filled > 0)
            painter.fillRect(QRect(QPoint(r.left(), r.top()), QPoint(filled - 1, h - 1)) & r,
                             ColorToQColor(foreColor_));
    } else {
        const int filled = std::min(int(std::floor(percent * 0.01 * h)), h - 1);
        if (filled > 0)
            painter.fillRect(QRect(QPoint(r.left(), h - filled), QPoint(w - 1, h - 1)) & r,
                             ColorToQColor(foreColor_));
    }
}

void TCGauge::PaintPie(QPainter &painter, const QRect &r) const {
    painter.fillRect(r, ColorToQColor(backColor_));
    // Circles are smoothed above 100 % only, on the pixels the exact ones
    // cover; at 100 % they keep their exact pixels.
    SmoothAboveOne(painter);
    painter.setPen(Qt::black);
    painter.setBrush(ColorToQColor(backColor_));
    painter.drawEllipse(r.adjusted(0, 0, -1, -1));
    const int percent = PercentDone();
    if (percent > 0) {
        painter.setBrush(ColorToQColor(foreColor_));
        // Clockwise from the top.
        painter.drawPie(r.adjusted(0, 0, -1, -1), 90 * 16, -percent * 360 * 16 / 100);
    }
}

void TCGauge::PaintNeedle(QPainter &painter, const QRect &r) const {
    painter.fillRect(r, ColorToQColor(backColor_));
    SmoothAboveOne(painter);
    const QPointF centre(r.left() + r.width() / 2.0, r.bottom());
    const double radius = std::min(r.width() / 2.0, double(r.height()));
    painter.setPen(Qt::black);
    painter.setBrush(Qt::NoBrush);
    painter.drawPie(QRectF(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius), 0,
                    180 * 16);
    // The needle sweeps from the left (0 %) over the top to the right (100 %).
    const double angle = M_PI * (1.0 - PercentDone() / 100.0);
    painter.setPen(ColorToQColor(foreColor_));
    painter.drawLine(centre, centre + QPointF(std::cos(angle) * radius, -std::sin(angle) * radius));
}

void TCGauge::PaintText(QPainter &painter, const QRect &r) const {
    QFont f = font();
    // Exclusive-or of partly covered pixels would leave a coloured fringe.
    f.setStyleStrategy(QFont::NoAntialias);
    painter.setFont(f);
    painter.setPen(Qt::white);
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    painter.drawText(r, Qt::AlignCenter | Qt::TextSingleLine,
                     QStringLiteral("%1%").arg(PercentDone()));
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void TCGauge::paintEvent(QPaintEvent *) {
    const QRect r =
        borderStyle_ == TGaugeBorderStyle::bsSingle ? rect().adjusted(1, 1, -1, -1) : rect();
    QPainter painter(this);
    // Both pictures at the resolution of what is painted on, drawn in
    // logical pixels.
    const qreal ratio = PaintRatio(painter);
    const QSize pixels = (QSizeF(size()) * ratio).toSize();
    QImage result(pixels, QImage::Format_RGB32);
    result.setDevicePixelRatio(ratio);
    result.fill(Qt::black);
    {
        QImage face(pixels, QImage::Format_RGB32);
        face.setDevicePixelRatio(ratio);
        face.fill(Qt::black);
        QPainter p(&face);
        switch (kind_) {
        case TCGaugeKind::gkText:
            PaintBackground(p, r);
            break;
        case TCGaugeKind::gkHorizontalBar:
            PaintBar(p, r, true);
            break;
        case TCGaugeKind::gkVerticalBar:
            PaintBar(p, r, false);
            break;
        case TCGaugeKind::gkPie:
            PaintPie(p, r);
            break;
        case TCGaugeKind::gkNeedle:
            PaintNeedle(p, r);
            break;
        }
        p.end();
        QPainter combine(&result);
        combine.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        combine.drawImage(0, 0, face);
        if (showText_) {
            combine.setCompositionMode(QPainter::CompositionMode_SourceOver);
            PaintText(combine, r);
        }
    }
    painter.drawImage(0, 0, result);
}
