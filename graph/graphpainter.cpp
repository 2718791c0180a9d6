#include "graph/graphpainter.h"

#include "calibration/signalscale.h"

#include <QFontMetrics>
#include <QPaintDevice>
#include <QPainter>
#include <QPolygon>

#include <algorithm>
#include <cmath>

namespace GraphPainter {

namespace {

using SignalScale::kDbmSpan;
using SignalScale::kRawMax;

constexpr int kTickStepRaw = 20;
constexpr int kTickStepDb = 10;

} // namespace

int Cut(double value) {
    if (std::isnan(value)) return 0;
    return static_cast<int>(std::trunc(std::clamp(value, -1e9, 1e9)));
}

int TextHeight(const QFontMetrics &metrics) {
    return metrics.height();
}

void TextOut(QPainter &painter, int left, int top, const QString &text, const QColor &color) {
    painter.setPen(color);
    painter.drawText(left, top + painter.fontMetrics().ascent(), text);
}

TGraphLayout DrawGraph(QPainter &p, QSize client, const TGraphLook &look, const TDBMSets &sets) {
    const QString tx = QStringLiteral("[") + look.LabelX + QStringLiteral("]");
    const QString ty = QStringLiteral("[") + look.LabelY + QStringLiteral("]");
    p.setFont(look.Font);
    const QFontMetrics fm = p.fontMetrics();
    const int w140 = fm.horizontalAdvance(QStringLiteral("-140"));
    const int h140 = TextHeight(fm);
    const int h256 = TextHeight(fm);
    const int wX = fm.horizontalAdvance(tx);
    const int wY = fm.horizontalAdvance(ty);
    const int hY = TextHeight(fm);
    int nW = 0;
    int nH = 0;
    for (const auto &set : sets) {
        nW = std::max(nW, fm.horizontalAdvance(set->Name()));
        nH = std::max(nH, TextHeight(fm));
    }

    TGraphLayout layout;
    TGraphRect &plot = layout.Plot;
    plot.Left = std::max(wY, w140) + look.Margin + 7;
    plot.Top = look.Margin + hY + h140 / 2 + 3;
    plot.Right = client.width() - look.Margin - std::max(nW, wX + 3) - 3;
    plot.Bottom = client.height() - look.Margin - h256 - 7;
    const int L = plot.Left;
    const int B = plot.Bottom;
    const double xs = SignalScale::RawStep(plot.Width());
    const double ys = SignalScale::DbStep(plot.Height());
    // The curves' last point lies half a RAW step right of the plot; the
    // legend keeps 3 pixels clear of it.
    layout.Overhang = std::clamp(Cut(0.5 * xs), 0, 2);
    const auto x = [&](int n) { return Cut(L + n * xs); };
    const auto y = [&](int h) { return Cut(B - h * ys); };

    p.fillRect(QRect(QPoint(0, 0), client), ColorToQColor(look.Color));

    const QColor axis = ColorToQColor(look.AxisColor);
    DrawPolylineExcl(p, {QPoint(L - 1, y(140)), QPoint(L - 1, B + 1), QPoint(x(kRawMax), B + 1)},
                     axis);
    for (int n = 0; n <= 240; n += kTickStepRaw) {
        DrawLineExcl(p, QPoint(x(n), B + 1), QPoint(x(n), B + 4), axis);
        const QString label = QString::number(n);
        TextOut(p, Cut(L + n * xs - fm.horizontalAdvance(label) / 2), B + 7, label, look.FontColor);
    }
    for (int d = -140; d <= 0; d += kTickStepDb) {
        const int h = 140 - std::abs(d);
        DrawLineExcl(p, QPoint(L - 1, y(h)), QPoint(L - 4, y(h)), axis);
        const QString label = QString::number(d);
        TextOut(p, L - fm.horizontalAdvance(label) - 7, Cut(B - h * ys - h140 / 2), label,
                look.FontColor);
    }
    const QColor labels = ColorToQColor(look.LabelColor);
    TextOut(p, L - wY - 7, look.Margin, ty, labels);
    TextOut(p, plot.Right + 3, B + 7, tx, labels);
    for (std::size_t i = 0; i < sets.size(); ++i) {
        const TDBMSet &set = *sets[i];
        TextOut(p, client.width() - look.Margin - fm.horizontalAdvance(set.Name()),
                plot.Top + int(i) * (nH + 3), set.Name(), ColorToQColor(set.Color()));
    }

    p.save();
    DrawPlot(p, plot, layout.Overhang, look, sets);
    p.restore();
    return layout;
}

void DrawPlot(QPainter &p, const TGraphRect &rect, int overhang, const TGraphLook &look,
              const TDBMSets &sets, int raw) {
    const int L = rect.Left;
    const int B = rect.Bottom;
    const double xs = SignalScale::RawStep(rect.Width());
    const double ys = SignalScale::DbStep(rect.Height());
    // Right and bottom edge included, so a partial redraw leaves no trace of
    // an old curve on the bottom line or in the last column.
    QRect area(QPoint(L, rect.Top), QPoint(rect.Right + overhang, B));
    if (raw >= 0 && raw <= kRawMax) {
        const auto pointX = [&](int j) { return j <= 0 ? L : Cut(L + j * xs + 0.5 * xs); };
        const int left = pointX(raw - 1) - 1;
        const int right = raw >= kRawMax ? area.right() : pointX(raw + 1) + 1;
        area &= QRect(QPoint(left, rect.Top), QPoint(right, B));
    }
    p.setClipRect(area);
    p.fillRect(area, ColorToQColor(look.Color));

    QPen grid(ColorToQColor(look.GridColor), 0, Qt::DotLine);
    p.setPen(grid);
    const int top = Cut(B - kDbmSpan * ys);
    const auto vertical = [&](int n) {
        const int x = Cut(L + n * xs);
        if (B - 1 >= top) p.drawLine(x, top, x, B - 1);
    };
    for (int n = 0; n <= 240; n += kTickStepRaw)
        vertical(n);
    vertical(kRawMax);
    const int right = Cut(L + kRawMax * xs) - 1;
    for (int k = 0; k <= 140; k += kTickStepDb) {
        const int y = Cut(B - (140 - k) * ys);
        if (right >= L) p.drawLine(L, y, right, y);
    }

    // Above 100 % the curves are smoothed, one logical pixel wide and on the
    // pixels the exact ones cover; at 100 % they keep their exact pixels.
    const bool smooth = p.device() != nullptr && p.device()->devicePixelRatioF() > 1.0;
    p.setRenderHint(QPainter::Antialiasing, smooth);
    if (smooth) p.translate(0.5, 0.5);
    QPolygon points(SignalScale::kRawCount);
    for (const auto &set : sets) {
        const auto Y = [&](int j) { return Cut(B - SignalScale::HeightDb(set->DBM(j)) * ys); };
        points.setPoint(0, L, Y(0));
        for (int j = 1; j <= kRawMax; ++j)
            points.setPoint(j, Cut(L + j * xs + 0.5 * xs), Y(j));
        QPen pen(ColorToQColor(set->Color()), smooth ? 1 : 0);
        pen.setCapStyle(Qt::FlatCap);
        p.setPen(pen);
        p.drawPolyline(points);
    }
}

} // namespace GraphPainter
