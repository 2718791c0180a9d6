// The error plot of a verification run: the error (shown minus applied dBm)
// over the applied level, one curve per frequency point, with the tolerance
// band around zero. Painted on any painter, so the results window shows it
// on the screen and the calibration report prints the same picture as
// vector drawing.
//
// Readings without calibration have no error: each is marked with a cross
// on the plot's lower edge in the failure colour. Errors beyond the scale
// are drawn at its edge.
#pragma once

#include "generator/verification.h"

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>

#include <vector>

class QPainter;

struct TErrorPlotLook {
    QColor Background;
    QColor Axis;
    QColor Grid;
    QColor Text;
    QColor Band; // the tolerance band
    QColor Fail; // readings without calibration
    std::vector<QColor> Curves;
    QFont Font;

    // Light on black, as the program's windows draw their plots.
    static TErrorPlotLook Screen();
    // Dark on white, for paper.
    static TErrorPlotLook Print();
    // The colour of point `index`'s curve (the palette repeats).
    QColor CurveColor(int index) const;
};

namespace ErrorPlot {

// Everything in `rect`: background, axes, grid, labels, band, curves and a
// legend naming each point by its frequency.
void Paint(QPainter &painter, const QRect &rect, const TVerification &verification,
           const TErrorPlotLook &look);

// The error scale: ± this many dB, a whole multiple of a round step that
// holds twice the tolerance and the largest error seen (at most 20 dB).
double ErrorSpan(const TVerification &verification);

} // namespace ErrorPlot
