// The live signal level computed from a demodulator spectrum.
//
// A spectrum covers a span of S Hz with n bins of linear power (32-bit
// floats). The level is the peak inside the demodulator's passband, corrected
// by the receiver gain that the AGC reading gives, limited to -140..-20 dBm
// and scaled onto the RAW range so that -140 dBm gives 0. Nothing here
// allocates: a spectrum arrives up to 60 times a second on the GUI thread.
#pragma once

#include "k740demod.h"
#include "receiver/k74xapi.h"

#include <cstdint>

namespace SpectrumLevel {

// The AGC reading the demo receiver is taken to have. Wide FM
// (QMV_MODE_FM_WIDE) takes no level from spectra: the receiver reads it.
constexpr std::int32_t kDemoAgcReading = 800;

// The receiver's level constants, as the receiver API binding reads them
// from the EEPROM (all five defaulted when any check fails).
using LevelConstants = K74xapi::LevelConstants;

// The bin range [first, last] of the passband, or false when the window is
// empty or the spectrum unusable (span 0, no bins). LSB (QMV_MODE_LSB) lies
// below the offset, USB above it, every other mode around it.
bool PassbandBins(std::int32_t mode, std::uint32_t span, std::int32_t width, std::int32_t offset,
                  std::int32_t bins, std::int32_t &first, std::int32_t &last);

// 10 log10 of the largest of 1e-11 and bins[first..last]; so at least -110 dB.
double PeakDb(const float *bins, std::int32_t first, std::int32_t last);

// Receiver gain in tenths of dB for an AGC reading.
double GainTenths(std::int32_t agc, const LevelConstants &constants);

// The level in dBm for a peak and a gain, limited to -140..-20 (NaN: -140).
double LevelDbm(double peakDb, double gainTenths);

// The RAW value of a level: (L + 140) * 255 / 120 truncated, with the factor
// 1/120 rounded to double and the products taken in extended precision, so
// whole results k come out as k - 1 (-20 dBm gives 254, never 255).
std::uint8_t LevelToRaw(double dbm);

// A spectrum as the demodulator hands it over.
struct Spectrum {
    std::uint32_t span = 0;     // Hz covered by all bins
    std::int64_t byteCount = 0; // four bytes per bin
    const float *data = nullptr;
};

// The peak of the passband in dB, or false when the message is to be ignored:
// span 0, fewer than four bytes, no data, or an empty window.
bool SpectrumPeakDb(const Spectrum &spectrum, std::int32_t mode, std::int32_t width,
                    std::int32_t offset, double &peakDb);

// The RAW value of a peak with the receiver's AGC reading.
std::uint8_t RawFromPeak(double peakDb, std::int32_t agc, const LevelConstants &constants);

} // namespace SpectrumLevel
