#include "calibration/signalscale.h"

#include "platform/application.h"

#include <algorithm>
#include <cmath>

namespace SignalScale {

QString DbmText(double value) {
    return QString::asprintf("%.01f", value);
}

QString LiveDbmText(double value) {
    return QString::asprintf("%.1f dBm", value);
}

QString GraphDbmText(double value, const QString &labelY) {
    return QString::asprintf("%.01f ", value) + labelY;
}

QString GraphRawText(int raw, const QString &labelX) {
    return QString::asprintf("%d ", raw) + labelX;
}

void CheckDbmValue(double value) {
    if (!IsValidDbm(value))
        throw platform::EInputError(QStringLiteral("dBm value is out of range -140 - 0"));
}

void CheckFillValue(double value) {
    if (!IsValidDbm(value))
        throw platform::EInputError(QStringLiteral("Value out of range -140 - 0"));
}

void CheckOffset(double value) {
    if (!(value >= kOffsetMin && value <= kOffsetMax))
        throw platform::EInputError(QStringLiteral("Value out of range -140 - 140"));
}

double LimitAfterOffset(double value) {
    if (value <= kDbmMin) return kDbmMin;
    if (value >= kDbmMax) return 0.0;
    return value;
}

double RoundToTenth(double value) {
    const double rounded = std::floor(10.0 * value + 0.5) / 10.0;
    return rounded == 0.0 ? 0.0 : rounded; // never -0.0
}

void Interpolate(std::array<double, kRawCount> &t) {
    const auto anchor = [&t](int from) {
        for (int r = from; r < kRawCount; ++r)
            if (!IsNotSet(t[r])) return r;
        return -1;
    };
    int i = anchor(0);
    if (i < 0) return;
    std::fill(t.begin(), t.begin() + i, t[i]);
    for (int j; (j = anchor(i + 1)) >= 0; i = j) {
        const double step = (t[j] - t[i]) / (j - i);
        for (int n = 1; n < j - i; ++n)
            t[i + n] = RoundToTenth(t[i] + n * step);
    }
    std::fill(t.begin() + i + 1, t.end(), t[i]);
}

int HeightDb(double value) {
    // Out-of-range input stays finite and within int.
    const double t = std::trunc(-std::clamp(std::isnan(value) ? 0.0 : value, -1e6, 1e6));
    return static_cast<int>(kDbmSpan - std::fabs(t));
}

double ValueAtDistance(double distance, double pixelsPerDb) {
    if (!(pixelsPerDb > 0.0) || !std::isfinite(distance)) return 0.0;
    const double tenths = std::trunc(distance * 10.0 / pixelsPerDb + 0.5);
    const int c = static_cast<int>(std::clamp(tenths, -1e6, 1e6));
    return static_cast<double>(-c) / 10.0;
}

} // namespace SignalScale
