// The two scales of every calibration value: the RAW reading 0..255 that
// indexes a translation table, and the dBm value -140..0 it stands for. The
// ranges, the not-set value, the texts, the input checks and the graph's
// conversions that the editor, the dialogs and the graph share.
#pragma once

#include <QString>

#include <array>

namespace SignalScale {

constexpr int kRawMin = 0;
constexpr int kRawMax = 255;
constexpr int kRawCount = 256;

constexpr double kDbmMin = -140.0;
constexpr double kDbmMax = 0.0;
constexpr double kDbmSpan = kDbmMax - kDbmMin; // 140 dB, the graph's height
// An entry exactly 0.0 holds no calibration yet; new points start with 256.
constexpr double kNotSet = 0.0;

constexpr double kOffsetMin = -140.0;
constexpr double kOffsetMax = 140.0;

// Column headers of the table editor and the graph's axis labels.
inline QString RawLabel() {
    return QStringLiteral("RAW");
}
inline QString DbmLabel() {
    return QStringLiteral("dBm");
}

// Only an entry equal to 0.0 is a gap; -0.04 is a value.
inline bool IsNotSet(double value) {
    return value == kNotSet;
}
// -140..0, both ends included; NaN is not.
inline bool IsValidDbm(double value) {
    return value >= kDbmMin && value <= kDbmMax;
}

// "%.01f": a dBm value in the editor, the value dialog and the graph window.
QString DbmText(double value);
// "%.1f dBm": the live level over the main window's gauge.
QString LiveDbmText(double value);
// "%.01f " and "%d " followed by the graph's labels: the position box.
QString GraphDbmText(double value, const QString &labelY);
QString GraphRawText(int raw, const QString &labelX);

// Input checks of the dialogs: throw platform::EInputError with the message
// the user sees when the value is refused.
void CheckDbmValue(double value);  // "dBm value is out of range -140 - 0"
void CheckFillValue(double value); // "Value out of range -140 - 0"
void CheckOffset(double value);    // "Value out of range -140 - 140"

// A value after an offset: -140 or less becomes -140, 0 or more becomes 0.0.
double LimitAfterOffset(double value);

// To the nearest tenth, halves upward (towards 0 dBm): floor(10x + 0.5) / 10.
double RoundToTenth(double value);

// Fills the gaps of a translation table (entries equal to the not-set value;
// the others are anchors and stay as they are). Before the first anchor its
// value is repeated, after the last one the last value; between two anchors
// the values run in a straight line, rounded to tenths of a dB. A table
// without anchors stays as it is.
void Interpolate(std::array<double, kRawCount> &table);

// The graph's vertical scale in whole dB: 140 - |t| with t = -value cut
// towards zero, so -139.9 is drawn at 1 and -0.9 at the top line (140).
int HeightDb(double value);

// One RAW step across a plot of that width.
inline double RawStep(double plotWidth) {
    return plotWidth / kRawMax;
}
// Pixels per dB of a plot of that height.
inline double DbStep(double plotHeight) {
    return plotHeight / kDbmSpan;
}

// A value set with the mouse: the distance below the top of the plot in
// pixels, at pixelsPerDb, as a whole number of tenths taken negative (0.0 at
// the top, -140.0 at the bottom).
double ValueAtDistance(double distance, double pixelsPerDb);

} // namespace SignalScale
