#include "receiver/spectrumlevel.h"

#include <cmath>
#include <limits>

namespace SpectrumLevel {

bool PassbandBins(std::int32_t mode, std::uint32_t span, std::int32_t width, std::int32_t offset,
                  std::int32_t bins, std::int32_t &first, std::int32_t &last) {
    if (span == 0 || bins <= 0) return false;
    // The receiver's firmware works in wrapping 32-bit integers, halving
    // unsigned; keep exactly that so odd spans and wide passbands agree.
    const auto w = std::uint32_t(width);
    std::uint32_t lo;
    if (mode == QMV_MODE_LSB)
        lo = span / 2 - w;
    else if (mode == QMV_MODE_USB)
        lo = span / 2;
    else
        lo = (span - w) / 2;
    lo += std::uint32_t(offset);
    std::uint32_t hi = lo + w;
    if (std::int32_t(lo) < 0) lo = 0;
    if (hi > span) hi = span;

    auto index = [&](std::uint32_t hz) {
        std::int64_t i = std::int64_t(hz) * bins / span;
        if (i < 0) i = 0;
        if (i >= bins) i = bins - 1;
        return std::int32_t(i);
    };
    first = index(lo);
    last = index(hi);
    return last >= first;
}

double PeakDb(const float *bins, std::int32_t first, std::int32_t last) {
    // Eight running maxima break the compare chain so the scan runs at load
    // speed; a NaN bin never wins, as in the one-at-a-time form.
    constexpr int kLanes = 8;
    constexpr float kNone = -std::numeric_limits<float>::infinity();
    float lanes[kLanes] = {kNone, kNone, kNone, kNone, kNone, kNone, kNone, kNone};
    std::int32_t i = first;
    for (; last - i + 1 >= kLanes; i += kLanes)
        for (int k = 0; k < kLanes; ++k)
            lanes[k] = bins[i + k] > lanes[k] ? bins[i + k] : lanes[k];
    float top = kNone;
    for (; i <= last; ++i)
        top = bins[i] > top ? bins[i] : top;
    for (float lane : lanes)
        top = lane > top ? lane : top;
    const double peak = double(top) > 1e-11 ? double(top) : 1e-11;
    return 10.0 * std::log10(peak);
}

double GainTenths(std::int32_t agc, const LevelConstants &c) {
    if (agc >= c.AgcHigh) return c.ReferenceGain;
    if (agc >= c.AgcKnee)
        return c.ReferenceGain - 50 + 50.0 * (agc - c.AgcKnee) / (c.AgcHigh - c.AgcKnee);
    const double share = double(agc - c.AgcLow) / double(c.AgcKnee - c.AgcLow);
    const double t = std::trunc((1.0 - share) * (c.LowGainTerm + 380));
    return c.ReferenceGain - 50 + (std::isfinite(t) ? t : 0.0);
}

double LevelDbm(double peakDb, double gainTenths) {
    const double level = peakDb - std::floor(gainTenths + 0.5) * 0.1;
    if (!(level >= -140.0)) return -140.0;
    if (level > -20.0) return -20.0;
    return level;
}

std::uint8_t LevelToRaw(double dbm) {
    constexpr double kPerDb = 1.0 / 120.0;
    const long double scaled = (static_cast<long double>(dbm + 140.0) * 255) * kPerDb;
    return std::uint8_t(static_cast<int>(scaled));
}

bool SpectrumPeakDb(const Spectrum &spectrum, std::int32_t mode, std::int32_t width,
                    std::int32_t offset, double &peakDb) {
    if (spectrum.span == 0 || spectrum.byteCount < 4 || !spectrum.data) return false;
    const std::int64_t count = spectrum.byteCount / 4;
    if (count > std::numeric_limits<std::int32_t>::max()) return false;
    std::int32_t first = 0, last = 0;
    if (!PassbandBins(mode, spectrum.span, width, offset, std::int32_t(count), first, last))
        return false;
    peakDb = PeakDb(spectrum.data, first, last);
    return true;
}

std::uint8_t RawFromPeak(double peakDb, std::int32_t agc, const LevelConstants &constants) {
    return LevelToRaw(LevelDbm(peakDb, GainTenths(agc, constants)));
}

} // namespace SpectrumLevel
