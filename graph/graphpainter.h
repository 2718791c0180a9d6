// The drawing of the calibration graph on any painter: the background, the
// axes with their ticks and labels, the legend, the dotted grid and the
// curves, laid out for a given size. TSCalGraph draws its pictures with it,
// and the calibration report draws its vector curves on a PDF page with the
// same code, so a printed curve is the one the operator saw.
//
// Coordinates are whole units of the painter (pixels of a picture); a
// painter scaled onto a page keeps the layout and makes it vector drawing.
// Pens are cosmetic (one device pixel, whatever the scale).
//
// Rectangles are kept as the toolkit's: Right and Bottom lie one past the
// last pixel, so Width() is Right - Left.
#pragma once

#include "controls/stglobal.h"
#include "graph/dbmset.h"

#include <QColor>
#include <QFont>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

#include <memory>
#include <vector>

class QFontMetrics;
class QPainter;

struct TGraphRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    // Edges included.
    bool Contains(QPoint p) const {
        return p.x() >= Left && p.x() <= Right && p.y() >= Top && p.y() <= Bottom;
    }
    QRect ToQRect() const { return QRect(Left, Top, Width(), Height()); }
    bool operator==(const TGraphRect &) const = default;
};

// The graph's properties that the drawing uses (TSCalGraph's defaults).
struct TGraphLook {
    TColor Color = clBlack; // background of the whole graph and of the plot
    TColor AxisColor = clYellow;
    TColor GridColor = RGBColor(0, 128, 0);
    TColor LabelColor = clWhite; // the two axis titles
    int Margin = 15;
    QString LabelX = QStringLiteral("RAW");
    QString LabelY = QStringLiteral("dBm");
    QFont Font;
    QColor FontColor = QColor(255, 255, 0); // the tick labels
};

using TDBMSets = std::vector<std::unique_ptr<TDBMSet>>;

namespace GraphPainter {

// The plot rectangle of a layout, and how far right of it the curves' last
// half RAW step reaches (0 to 2).
struct TGraphLayout {
    TGraphRect Plot;
    int Overhang = 0;
};

// A coordinate cut towards zero, as the toolkit's Trunc; NaN and values
// beyond any picture stay harmless.
int Cut(double value);
// The toolkit's text height is the font's line height, whatever the text.
int TextHeight(const QFontMetrics &metrics);
// Text with its top-left corner at (left, top), in `color`.
void TextOut(QPainter &painter, int left, int top, const QString &text, const QColor &color);

// The whole graph in (0, 0, size): background, axes, ticks, labels, legend,
// then grid and curves in the plot rectangle, which it answers.
TGraphLayout DrawGraph(QPainter &painter, QSize size, const TGraphLook &look, const TDBMSets &sets);

// Grid and curves into the rectangle (L, T, R, B); `overhang` is how far
// right of R the painter may be painted (the curves' last half step). With
// `raw` 0..255 only the columns of the curve segments that meet that RAW are
// drawn again, which is all that one value changes.
void DrawPlot(QPainter &painter, const TGraphRect &rect, int overhang, const TGraphLook &look,
              const TDBMSets &sets, int raw = -1);

} // namespace GraphPainter
