// Colour arithmetic shared by the controls: toolkit colour numbers, the
// integer hue-lightness-saturation model, shades of a base colour, the shaded
// border of the edits, and line drawing that leaves out the end point.
#pragma once

#include <QColor>
#include <QPoint>
#include <QRect>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <utility>

class QPainter;
class QWidget;

// A toolkit colour number: 0x00BBGGRR, or a system colour 0x800000nn that is
// resolved through the application palette when drawn.
using TColor = std::uint32_t;

constexpr TColor RGBColor(int r, int g, int b) {
    return TColor(r & 0xFF) | (TColor(g & 0xFF) << 8) | (TColor(b & 0xFF) << 16);
}

namespace SysColor {
constexpr TColor clScrollBar = 0x80000000;
constexpr TColor clBackground = 0x80000001;
constexpr TColor clActiveCaption = 0x80000002;
constexpr TColor clInactiveCaption = 0x80000003;
constexpr TColor clWindow = 0x80000005;
constexpr TColor clWindowText = 0x80000008;
constexpr TColor clCaptionText = 0x80000009;
constexpr TColor clHighlight = 0x8000000D;
constexpr TColor clHighlightText = 0x8000000E;
constexpr TColor clBtnFace = 0x8000000F;
constexpr TColor clBtnShadow = 0x80000010;
constexpr TColor clGrayText = 0x80000011;
constexpr TColor clBtnText = 0x80000012;
constexpr TColor clInactiveCaptionText = 0x80000013;
constexpr TColor clBtnHighlight = 0x80000014;
} // namespace SysColor

constexpr TColor clBlack = 0x000000;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clNone = 0x1FFFFFFF;

// Resolves a colour number (plain or system colour) to a QColor.
QColor ColorToQColor(TColor color);
// The colour number of an RGB colour (alpha ignored).
TColor QColorToColor(const QColor &color);

// Integer RGB <-> HLS with hue 0..360 degrees and lightness and saturation on
// a scale of 0..360.
void RgbToHls(std::uint8_t r, std::uint8_t g, std::uint8_t b, int &h, int &l, int &s);
void HlsToRgb(int h, int l, int s, std::uint8_t &r, std::uint8_t &g, std::uint8_t &b);

// The shade of Color whose lightness moves by Step/|Steps| of Range: upward
// for Steps > 0, downward for Steps < 0, unchanged (but round-tripped through
// HLS) for Steps = 0.
QColor GetColorShadow(const QColor &color, int range, int steps, int step);
QColor GetColorShadow(TColor color, int range, int steps, int step);

// Paints the shaded border between a window's whole rectangle (top-left at
// 0,0, size `window`) and its client rectangle `client`: darker at left and
// top, lighter at right and bottom, a sunken field.
void DrawNC(QPainter &painter, const QSize &window, const QRect &client, const QColor &color,
            int shadowOffset);

// Axis-aligned one-pixel lines that, like the toolkit's LineTo, leave out
// their end point. A polyline leaves out only its last point.
void DrawLineExcl(QPainter &painter, QPoint from, QPoint to, const QColor &color);
void DrawPolylineExcl(QPainter &painter, std::initializer_list<QPoint> points, const QColor &color);

// Device pixels per unit of what `painter` draws now: 1 at 100 %, 2 at
// 200 % (for a painter that is neither scaled nor rotated by its user).
qreal PaintRatio(const QPainter &painter);

// While alive, `painter` draws in device pixels (its state is restored at
// the end), so that a one-pixel line is one device pixel at any scale.
// Device() gives the device coordinate of a logical one.
class TDevicePixels {
public:
    explicit TDevicePixels(QPainter &painter);
    ~TDevicePixels();
    TDevicePixels(const TDevicePixels &) = delete;
    TDevicePixels &operator=(const TDevicePixels &) = delete;

    qreal Ratio() const { return ratio_; }
    int Device(int logical) const;
    QRect Device(const QRect &logical) const;

private:
    QPainter &painter_;
    qreal ratio_;
};

// The colours of bevel ring `ring` (0 the outermost) of `count` rings: upper
// left first, then lower right.
using TBevelShades = std::function<std::pair<QColor, QColor>(int ring, int count)>;

// Paints a shaded bevel of `rings` rings inside the logical rectangle
// `rect`, in device pixels: above 100 % the band is `rings` times the ratio
// device rings wide, each a shade of its own, so the gradient is as fine as
// the screen. Ring i: the upper-left polyline from the bottom-left corner up
// and along the top, the lower-right polyline from `lowerInset` pixels right
// of that corner along the bottom and up the right side, end points left
// out.
void DrawBevelRings(QPainter &painter, const QRect &rect, int rings, int lowerInset,
                    const TBevelShades &shades);

// Rounds halves to the even neighbour, as the toolkit's Round does.
int RoundHalfEven(double value);
