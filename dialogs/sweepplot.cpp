#include "dialogs/sweepplot.h"

#include <QPainter>

#include <cmath>

namespace {

const QColor kBack(0, 0, 0), kGrid(55, 55, 55), kAxisText(192, 192, 192), kCurve(0, 255, 0);

} // namespace

TSweepPlot::TSweepPlot(QWidget *parent) : QWidget(parent) {
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(9);
    setFont(f);
}

void TSweepPlot::Reset(double fromDbm, double toDbm) {
    from_ = fromDbm;
    to_ = toDbm > fromDbm ? toDbm : fromDbm + 1.0;
    points_.clear();
    update();
}

void TSweepPlot::AddPoint(double dbm, int raw) {
    points_.emplace_back(dbm, raw);
    update();
}

QRect TSweepPlot::PlotArea() const {
    return rect().adjusted(26, 6, -8, -16);
}

QPoint TSweepPlot::Place(double dbm, int raw) const {
    const QRect a = PlotArea();
    const double x = a.left() + (dbm - from_) / (to_ - from_) * a.width();
    const double y = a.bottom() - raw / 255.0 * a.height();
    return QPoint(int(std::lround(x)), int(std::lround(y)));
}

void TSweepPlot::paintEvent(QPaintEvent *) {
    QPainter p(this);
    p.fillRect(rect(), kBack);
    const QRect a = PlotArea();
    // RAW every 64, level every 10 dB.
    for (int raw = 0; raw <= 256; raw += 64) {
        const int y = Place(from_, std::min(raw, 255)).y();
        p.setPen(kGrid);
        p.drawLine(a.left(), y, a.right(), y);
        p.setPen(kAxisText);
        p.drawText(QRect(0, y - 6, a.left() - 3, 12), Qt::AlignRight | Qt::AlignVCenter,
                   QString::number(std::min(raw, 255)));
    }
    for (double dbm = std::ceil(from_ / 10.0) * 10.0; dbm <= to_ + 1e-9; dbm += 10.0) {
        const int x = Place(dbm, 0).x();
        p.setPen(kGrid);
        p.drawLine(x, a.top(), x, a.bottom());
        p.setPen(kAxisText);
        p.drawText(QRect(x - 20, a.bottom() + 2, 40, 12), Qt::AlignCenter, QString::number(dbm));
    }
    p.setPen(kCurve);
    for (std::size_t i = 0; i < points_.size(); ++i) {
        const QPoint here = Place(points_[i].first, points_[i].second);
        if (i > 0) p.drawLine(Place(points_[i - 1].first, points_[i - 1].second), here);
        p.drawPoint(here);
    }
}
