#include "spectrumview.h"

#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {
const QColor Background(0, 0, 0);
const QColor GridColour(48, 48, 48);
const QColor LabelColour(128, 128, 128);
const QColor PassbandColour(0, 56, 0);
const QColor TraceColour(0, 255, 0);
const QColor CentreColour(202, 0, 0);
const QColor CaptionColour(0, 255, 0);
constexpr int Divisions = 8;  // vertical grid lines across the span
constexpr double DbStep = 20; // horizontal grid lines
} // namespace

SpectrumView::SpectrumView(QWidget *parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(11);
    setFont(f);
}

void SpectrumView::setSpectrum(const std::vector<float> &levelsDbm, std::uint32_t spanHz) {
    levels_ = levelsDbm;
    if (spanHz != span_) {
        span_ = spanHz;
        grid_ = QPixmap();
    }
    update();
}

void SpectrumView::setPassband(std::int32_t lowHz, std::int32_t highHz) {
    if (lowHz == passLow_ && highHz == passHigh_) return;
    passLow_ = lowHz;
    passHigh_ = highHz;
    grid_ = QPixmap();
    update();
}

void SpectrumView::setCaption(const QString &left, const QString &right) {
    if (left == captionLeft_ && right == captionRight_) return;
    captionLeft_ = left;
    captionRight_ = right;
    update();
}

void SpectrumView::resizeEvent(QResizeEvent *event) {
    grid_ = QPixmap();
    QWidget::resizeEvent(event);
}

double SpectrumView::xOfHz(double hz) const {
    if (span_ == 0) return width() / 2.0;
    return (hz / span_ + 0.5) * width();
}

double SpectrumView::yOfDbm(double dbm) const {
    const double clamped = std::clamp(dbm, BottomDbm, TopDbm);
    return (TopDbm - clamped) / (TopDbm - BottomDbm) * (height() - 1);
}

void SpectrumView::drawGrid(qreal ratio) {
    // In device pixels, drawn in logical ones: crisp at any screen scale.
    grid_ = QPixmap((QSizeF(size()) * ratio).toSize());
    grid_.setDevicePixelRatio(ratio);
    grid_.fill(Background);
    QPainter p(&grid_);
    p.setFont(font());

    const double x0 = xOfHz(passLow_), x1 = xOfHz(passHigh_);
    p.fillRect(QRectF(QPointF(std::min(x0, x1), 0), QPointF(std::max(x0, x1), height())),
               PassbandColour);

    p.setPen(GridColour);
    for (int i = 1; i < Divisions; ++i) {
        const int x = i * width() / Divisions;
        p.drawLine(x, 0, x, height() - 1);
    }
    for (double dbm = TopDbm - DbStep; dbm > BottomDbm; dbm -= DbStep) {
        const int y = int(yOfDbm(dbm));
        p.drawLine(0, y, width() - 1, y);
    }
    p.setPen(CentreColour);
    const int centre = int(xOfHz(0));
    p.drawLine(centre, 0, centre, height() - 1);

    p.setPen(LabelColour);
    for (double dbm = TopDbm - DbStep; dbm > BottomDbm; dbm -= DbStep) {
        const int y = int(yOfDbm(dbm));
        p.drawText(QRect(2, y + 1, 40, 12), Qt::AlignLeft | Qt::AlignTop,
                   QString::number(int(dbm)));
    }
    p.drawText(QRect(0, 2, width(), 13), Qt::AlignHCenter | Qt::AlignTop,
               QStringLiteral("span %1 kHz").arg(span_ / 1000.0, 0, 'f', 1));
}

void SpectrumView::paintEvent(QPaintEvent *) {
    QPainter p(this);
    // The grid at the resolution of what is painted on.
    const qreal ratio = std::abs(p.deviceTransform().m11());
    if (grid_.isNull() || grid_.deviceIndependentSize() != QSizeF(size()) ||
        grid_.devicePixelRatio() != ratio)
        drawGrid(ratio);
    p.drawPixmap(0, 0, grid_);

    if (!levels_.empty()) {
        const double step = double(width()) / levels_.size();
        QPainterPath trace;
        for (std::size_t i = 0; i < levels_.size(); ++i) {
            const QPointF point((i + 0.5) * step, yOfDbm(levels_[i]));
            if (i == 0)
                trace.moveTo(point);
            else
                trace.lineTo(point);
        }
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(TraceColour, 1));
        p.drawPath(trace);
        p.setRenderHint(QPainter::Antialiasing, false);
    }

    p.setPen(CaptionColour);
    p.drawText(QRect(4, 2, width() - 8, 13), Qt::AlignLeft | Qt::AlignTop, captionLeft_);
    p.drawText(QRect(4, 2, width() - 8, 13), Qt::AlignRight | Qt::AlignTop, captionRight_);
}
