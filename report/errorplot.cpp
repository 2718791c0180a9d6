#include "report/errorplot.h"

#include "calibration/frequencytext.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double kLargestSpan = 20.0;

// A round step of about a quarter of `span`: 1, 2 or 5 times a power of ten.
double RoundStep(double span) {
    const double rough = span / 4;
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    for (double factor : {1.0, 2.0, 5.0})
        if (factor * power >= rough) return factor * power;
    return 10 * power;
}

QString AxisNumber(double value) {
    if (std::abs(value) < 1e-9) value = 0;
    return QString::number(value, 'g', 6);
}

// The applied levels the plot spans: every reading and the level list, with
// a little room so that no marker sits on the frame.
void LevelRange(const TVerification &v, double &low, double &high) {
    low = std::numeric_limits<double>::infinity();
    high = -low;
    for (const TVerifyPoint &point : v.Points)
        for (const TVerifyReading &reading : point.Readings) {
            low = std::min(low, reading.Applied);
            high = std::max(high, reading.Applied);
        }
    for (double level : v.Levels) {
        low = std::min(low, level - v.Loss);
        high = std::max(high, level - v.Loss);
    }
    if (!std::isfinite(low)) low = -120, high = -30;
    const double room = std::max(2.0, (high - low) * 0.04);
    low -= room;
    high += room;
}

TErrorPlotLook WithPlotFont(TErrorPlotLook look) {
    look.Font = QFont(QStringLiteral("Arial"));
    look.Font.setPixelSize(11);
    return look;
}

} // namespace

TErrorPlotLook TErrorPlotLook::Screen() {
    // Background, axis, grid, text, band, fail, then the curves.
    return WithPlotFont({Qt::black,
                         QColor(255, 255, 0),
                         QColor(0, 100, 0),
                         QColor(192, 192, 192),
                         QColor(0, 60, 0),
                         QColor(255, 64, 64),
                         {QColor(0, 255, 0), QColor(0, 255, 255), QColor(255, 160, 0),
                          QColor(255, 0, 255), QColor(255, 255, 255), QColor(128, 160, 255),
                          QColor(255, 255, 128), QColor(160, 255, 160)},
                         {}});
}

TErrorPlotLook TErrorPlotLook::Print() {
    return WithPlotFont(
        {Qt::white,
         Qt::black,
         QColor(190, 190, 190),
         Qt::black,
         QColor(220, 240, 220),
         QColor(200, 0, 0),
         {QColor(0, 110, 0), QColor(0, 70, 200), QColor(200, 110, 0), QColor(140, 0, 160),
          QColor(0, 140, 140), QColor(90, 60, 20), QColor(0, 0, 0), QColor(120, 120, 0)},
         {}});
}

QColor TErrorPlotLook::CurveColor(int index) const {
    if (Curves.empty()) return Text;
    return Curves[std::size_t(index) % Curves.size()];
}

namespace ErrorPlot {

double ErrorSpan(const TVerification &v) {
    double largest = 2 * v.Tolerance;
    if (const std::optional<double> worst = v.WorstError())
        largest = std::max(largest, std::abs(*worst) * 1.1);
    largest = std::clamp(largest, 0.5, kLargestSpan);
    const double step = RoundStep(largest);
    return std::min(kLargestSpan, std::ceil(largest / step - 1e-9) * step);
}

void Paint(QPainter &p, const QRect &rect, const TVerification &v, const TErrorPlotLook &look) {
    p.save();
    p.setClipRect(rect);
    p.fillRect(rect, look.Background);
    p.setFont(look.Font);
    const QFontMetrics fm = p.fontMetrics();
    const int lineHeight = fm.height();

    // The legend on the right, one line per point, as many as fit.
    int legendWidth = 0;
    for (const TVerifyPoint &point : v.Points)
        legendWidth = std::max(legendWidth, fm.horizontalAdvance(FrequencyText(point.Hz)));
    if (legendWidth > 0) legendWidth += 22;

    const double span = ErrorSpan(v);
    const double yStep = RoundStep(span);
    const int labelWidth = std::max(fm.horizontalAdvance(QLatin1Char('+') + AxisNumber(-span)),
                                    fm.horizontalAdvance(QStringLiteral("Error, dB")) / 2);
    const QRect plot(rect.left() + labelWidth + 10, rect.top() + lineHeight + 8,
                     rect.width() - labelWidth - 18 - legendWidth,
                     rect.height() - 3 * lineHeight - 20);
    if (plot.width() < 20 || plot.height() < 20) {
        p.restore();
        return;
    }

    double low = 0, high = 0;
    LevelRange(v, low, high);
    const auto X = [&](double level) {
        return plot.left() + (level - low) / (high - low) * plot.width();
    };
    const auto Y = [&](double error) {
        return plot.top() + (span - std::clamp(error, -span, span)) / (2 * span) * plot.height();
    };

    // Tolerance band and zero line.
    const double tolerance = std::min(v.Tolerance, span);
    p.fillRect(QRectF(QPointF(plot.left(), Y(tolerance)), QPointF(plot.right(), Y(-tolerance))),
               look.Band);

    // Grid with labels.
    QPen grid(look.Grid, 0, Qt::DotLine);
    const double xStep = RoundStep((high - low) / 2);
    for (double level = std::ceil(low / xStep) * xStep; level <= high + 1e-9; level += xStep) {
        p.setPen(grid);
        p.drawLine(QPointF(X(level), plot.top()), QPointF(X(level), plot.bottom()));
        p.setPen(look.Text);
        const QString label = AxisNumber(level);
        p.drawText(
            QPointF(X(level) - fm.horizontalAdvance(label) / 2.0, plot.bottom() + 4 + fm.ascent()),
            label);
    }
    for (double error = -span; error <= span + 1e-9; error += yStep) {
        p.setPen(grid);
        p.drawLine(QPointF(plot.left(), Y(error)), QPointF(plot.right(), Y(error)));
        p.setPen(look.Text);
        QString label = AxisNumber(error);
        if (error > 1e-9) label.prepend(QLatin1Char('+'));
        p.drawText(QPointF(plot.left() - 6 - fm.horizontalAdvance(label),
                           Y(error) + fm.ascent() / 2.0 - 1),
                   label);
    }
    p.setPen(QPen(look.Axis, 0));
    p.drawLine(QPointF(plot.left(), Y(0)), QPointF(plot.right(), Y(0)));
    p.drawRect(QRectF(plot).adjusted(0, 0, -1, -1));
    p.setPen(look.Text);
    p.drawText(QPointF(rect.left() + 4, rect.top() + 4 + fm.ascent()), QStringLiteral("Error, dB"));
    const QString xTitle = QStringLiteral("Applied level, dBm");
    p.drawText(QPointF(plot.right() - fm.horizontalAdvance(xTitle),
                       plot.bottom() + 6 + lineHeight + fm.ascent()),
               xTitle);

    // One curve per point, broken where a reading has no calibration.
    const int legendLines = std::max(1, (rect.height() - 8) / (lineHeight + 2));
    const double marker = std::max(3.0, lineHeight / 3.0);
    for (std::size_t i = 0; i < v.Points.size(); ++i) {
        const TVerifyPoint &point = v.Points[i];
        const QColor color = look.CurveColor(int(i));
        QPainterPath path;
        bool open = false;
        for (const TVerifyReading &reading : point.Readings) {
            const double x = X(reading.Applied);
            if (!reading.Shown) {
                open = false;
                p.setPen(QPen(look.Fail, 0));
                const double y = plot.bottom() - marker - 1;
                p.drawLine(QPointF(x - marker, y - marker), QPointF(x + marker, y + marker));
                p.drawLine(QPointF(x - marker, y + marker), QPointF(x + marker, y - marker));
                continue;
            }
            const QPointF at(x, Y(reading.Error()));
            if (open)
                path.lineTo(at);
            else
                path.moveTo(at);
            open = true;
            p.fillRect(QRectF(at.x() - marker / 2, at.y() - marker / 2, marker, marker), color);
        }
        p.setPen(QPen(color, 0));
        p.setBrush(Qt::NoBrush);
        p.drawPath(path);

        const int line = int(i);
        if (line >= legendLines) continue;
        const int ly = rect.top() + 4 + line * (lineHeight + 2);
        const int lx = rect.right() - legendWidth + 6;
        const bool last = line == legendLines - 1 && v.Points.size() > std::size_t(legendLines);
        if (last) {
            p.setPen(look.Text);
            p.drawText(QPointF(lx, ly + fm.ascent()),
                       QStringLiteral("+%1 more").arg(v.Points.size() - i));
            continue;
        }
        p.fillRect(QRectF(lx, ly + lineHeight / 2.0 - 1, 12, 2), color);
        p.setPen(color);
        p.drawText(QPointF(lx + 16, ly + fm.ascent()), FrequencyText(point.Hz));
    }
    p.restore();
}

} // namespace ErrorPlot
