#include "controls/stglobal.h"

#include <QApplication>
#include <QPainter>
#include <QPalette>

#include <algorithm>
#include <cmath>

QColor ColorToQColor(TColor color) {
    if (color & 0x80000000u) {
        const QPalette palette = QApplication::palette();
        switch (color) {
        case SysColor::clBtnFace: return palette.color(QPalette::Active, QPalette::Button);
        case SysColor::clBtnText: return palette.color(QPalette::Active, QPalette::ButtonText);
        case SysColor::clWindow: return palette.color(QPalette::Active, QPalette::Base);
        case SysColor::clWindowText: return palette.color(QPalette::Active, QPalette::WindowText);
        case SysColor::clCaptionText: return palette.color(QPalette::Active, QPalette::HighlightedText);
        case SysColor::clActiveCaption: return palette.color(QPalette::Active, QPalette::Highlight);
        case SysColor::clInactiveCaption: return palette.color(QPalette::Inactive, QPalette::Window);
        case SysColor::clInactiveCaptionText: return palette.color(QPalette::Disabled, QPalette::WindowText);
        case SysColor::clHighlight: return palette.color(QPalette::Active, QPalette::Highlight);
        case SysColor::clHighlightText: return palette.color(QPalette::Active, QPalette::HighlightedText);
        case SysColor::clGrayText: return palette.color(QPalette::Disabled, QPalette::Text);
        case SysColor::clBtnShadow: return palette.color(QPalette::Active, QPalette::Dark);
        case SysColor::clBtnHighlight: return palette.color(QPalette::Active, QPalette::Light);
        case SysColor::clScrollBar: return palette.color(QPalette::Active, QPalette::Mid);
        case SysColor::clBackground: return palette.color(QPalette::Active, QPalette::Window);
        default: return palette.color(QPalette::Active, QPalette::Window);
        }
    }
    return QColor(int(color & 0xFF), int((color >> 8) & 0xFF), int((color >> 16) & 0xFF));
}

TColor QColorToColor(const QColor &color) {
    return RGBColor(color.red(), color.green(), color.blue());
}

void RgbToHls(std::uint8_t r, std::uint8_t g, std::uint8_t b, int &h, int &l, int &s) {
    const int mx = std::max({int(r), int(g), int(b)});
    const int mn = std::min({int(r), int(g), int(b)});
    l = ((mx + mn) * 360 + 255) / 510;
    if (mx == mn) {
        s = 0;
        h = 240;
        return;
    }
    const int d = mx - mn;
    if (l <= 180)
        s = (d * 360 + (mx + mn) / 2) / (mx + mn);
    else
        s = (d * 360 + (510 - mx - mn) / 2) / (510 - mx - mn);
    const int rd = ((mx - r) * 60 + d / 2) / d;
    const int gd = ((mx - g) * 60 + d / 2) / d;
    const int bd = ((mx - b) * 60 + d / 2) / d;
    if (r == mx)
        h = bd - gd;
    else if (g == mx)
        h = 120 + rd - bd;
    else
        h = 240 + gd - rd;
    if (h < 0)
        h += 360;
    if (h > 360)
        h -= 360;
}

namespace {
int hue(int x, int y, int h) {
    if (h < 0)
        h += 360;
    if (h > 360)
        h -= 360;
    if (h < 60)
        return x + ((y - x) * h + 30) / 60;
    if (h < 180)
        return y;
    if (h < 240)
        return x + ((y - x) * (240 - h) + 30) / 60;
    return x;
}

std::uint8_t channel(int value) { return std::uint8_t(std::clamp(value, 0, 255)); }
} // namespace

void HlsToRgb(int h, int l, int s, std::uint8_t &r, std::uint8_t &g, std::uint8_t &b) {
    if (s == 0) {
        r = g = b = channel(l * 255 / 360);
        return;
    }
    const int m2 = l <= 180 ? (l * (360 + s) + 180) / 360 : l + s - (l * s + 180) / 360;
    const int m1 = 2 * l - m2;
    r = channel((hue(m1, m2, h + 120) * 255 + 180) / 360);
    g = channel((hue(m1, m2, h) * 255 + 180) / 360);
    b = channel((hue(m1, m2, h - 120) * 255 + 180) / 360);
}

int RoundHalfEven(double value) { return int(std::nearbyint(value)); }

QColor GetColorShadow(const QColor &color, int range, int steps, int step) {
    int h = 0, l = 0, s = 0;
    RgbToHls(std::uint8_t(color.red()), std::uint8_t(color.green()), std::uint8_t(color.blue()), h, l, s);
    if (steps > 0) {
        if (l + range > 360)
            range = 360 - l;
        l += RoundHalfEven(double(range) / steps * step);
    } else if (steps < 0) {
        if (l - range < 0)
            range = l;
        l += RoundHalfEven(double(range) / steps * step);
    }
    std::uint8_t r = 0, g = 0, b = 0;
    HlsToRgb(h, l, s, r, g, b);
    return QColor(r, g, b);
}

QColor GetColorShadow(TColor color, int range, int steps, int step) {
    return GetColorShadow(ColorToQColor(color), range, steps, step);
}

void DrawLineExcl(QPainter &painter, QPoint from, QPoint to, const QColor &color) {
    if (from == to)
        return;
    // Only horizontal and vertical lines are drawn by the controls; each is a
    // filled one-pixel rectangle that stops one pixel short of `to`.
    if (from.y() == to.y()) {
        const int x0 = std::min(from.x(), to.x() + (to.x() < from.x() ? 1 : 0));
        const int x1 = to.x() > from.x() ? to.x() - 1 : from.x();
        painter.fillRect(QRect(QPoint(x0, from.y()), QPoint(x1, from.y())), color);
    } else if (from.x() == to.x()) {
        const int y0 = std::min(from.y(), to.y() + (to.y() < from.y() ? 1 : 0));
        const int y1 = to.y() > from.y() ? to.y() - 1 : from.y();
        painter.fillRect(QRect(QPoint(from.x(), y0), QPoint(from.x(), y1)), color);
    } else {
        // Bresenham, stopping before the end point.
        const int dx = std::abs(to.x() - from.x()), sx = from.x() < to.x() ? 1 : -1;
        const int dy = -std::abs(to.y() - from.y()), sy = from.y() < to.y() ? 1 : -1;
        int err = dx + dy, x = from.x(), y = from.y();
        while (x != to.x() || y != to.y()) {
            painter.fillRect(QRect(x, y, 1, 1), color);
            const int e2 = 2 * err;
            if (e2 >= dy) {
                err += dy;
                x += sx;
            }
            if (e2 <= dx) {
                err += dx;
                y += sy;
            }
        }
    }
}

void DrawPolylineExcl(QPainter &painter, std::initializer_list<QPoint> points, const QColor &color) {
    const QPoint *previous = nullptr;
    for (const QPoint &point : points) {
        if (previous)
            DrawLineExcl(painter, *previous, point, color);
        previous = &point;
    }
}

qreal PaintRatio(const QPainter &painter) {
    // The device transform holds the scale of the target actually painted
    // on, also where a widget is rendered into a picture of another scale.
    const qreal ratio = std::abs(painter.deviceTransform().m11());
    return ratio > 0.0 ? ratio : 1.0;
}

TDevicePixels::TDevicePixels(QPainter &painter) : painter_(painter), ratio_(PaintRatio(painter)) {
    painter_.save();
    if (ratio_ != 1.0) painter_.scale(1.0 / ratio_, 1.0 / ratio_);
}

TDevicePixels::~TDevicePixels() {
    painter_.restore();
}

int TDevicePixels::Device(int logical) const {
    return int(std::lround(logical * ratio_));
}

QRect TDevicePixels::Device(const QRect &logical) const {
    const int left = Device(logical.left());
    const int top = Device(logical.top());
    return QRect(left, top, Device(logical.left() + logical.width()) - left,
                 Device(logical.top() + logical.height()) - top);
}

void DrawBevelRings(QPainter &painter, const QRect &rect, int rings, int lowerInset,
                    const TBevelShades &shades) {
    if (rings <= 0) return;
    const TDevicePixels device(painter);
    const QRect r = device.Device(rect);
    const int count = device.Device(rings);
    const int L = r.left(), T = r.top();
    const int R = L + r.width(), B = T + r.height();
    for (int i = 0; i < count; ++i) {
        const auto [upperLeft, lowerRight] = shades(i, count);
        DrawPolylineExcl(painter, {{L + i, B - i - 1}, {L + i, T + i}, {R - i, T + i}}, upperLeft);
        DrawPolylineExcl(
            painter, {{L + i + lowerInset, B - i - 1}, {R - i - 1, B - i - 1}, {R - i - 1, T + i}},
            lowerRight);
    }
}

void DrawNC(QPainter &painter, const QSize &window, const QRect &client, const QColor &color,
            int shadowOffset) {
    // In device pixels: each logical ring is `ratio` rings of finer shades.
    const TDevicePixels device(painter);
    const int w = device.Device(window.width());
    const int h = device.Device(window.height());
    const int nL = device.Device(client.left());
    const int nT = device.Device(client.top());
    const int nR = w - device.Device(client.left() + client.width());
    const int nB = h - device.Device(client.top() + client.height());
    for (int i = 0; i < nL; ++i)
        DrawLineExcl(painter, {i, i}, {i, h - i - 1}, GetColorShadow(color, shadowOffset, -nL, i + 1));
    for (int i = 0; i < nT; ++i)
        DrawLineExcl(painter, {i, i}, {w - i - 1, i}, GetColorShadow(color, shadowOffset, -nT, i + 1));
    for (int i = 0; i < nR; ++i)
        DrawLineExcl(painter, {w - i - 1, i}, {w - i - 1, h - i}, GetColorShadow(color, shadowOffset, nR, i + 1));
    for (int i = 0; i < nB; ++i)
        DrawLineExcl(painter, {i, h - i - 1}, {w - i - 1, h - i - 1}, GetColorShadow(color, shadowOffset, nB, i + 1));
}
