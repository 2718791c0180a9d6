#include "simreceiver.h"

#include "zxk740api.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

namespace k740sim {

namespace {

std::uint64_t splitmix(std::uint64_t &state) {
    std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

double unit(std::uint64_t &state) {
    return double(splitmix(state) >> 11) * 0x1.0p-53;
}

void put16(std::uint8_t *p, std::uint16_t v) {
    p[0] = std::uint8_t(v);
    p[1] = std::uint8_t(v >> 8);
}

double dbToPower(double db) {
    return std::pow(10.0, db / 10.0);
}

// The AGC holds the passband power at the level that a signal of this input
// level gives at full gain; weaker signals get full gain.
constexpr double AgcThresholdDbm = -90.0;

// The RAW detector: silent below its floor, full scale at floor + range, a
// power law in between.
constexpr double RawFloorDbm = -127.0;
constexpr double RawRangeDb = 117.0;
constexpr double RawExponent = 1.5;

constexpr std::int32_t DemoAgcReading = 800;

// -ln(u) at the centres of 65536 equal steps of u: exponential deviates with
// mean 1 (the noise power of a bin) for the price of a table look-up.
constexpr std::size_t NoiseTableSize = 1 << 16;
const std::array<float, NoiseTableSize> &noiseTable() {
    static const std::array<float, NoiseTableSize> table = [] {
        std::array<float, NoiseTableSize> t{};
        for (std::size_t i = 0; i < NoiseTableSize; ++i)
            t[i] = float(-std::log((double(i) + 0.5) / NoiseTableSize));
        return t;
    }();
    return table;
}
constexpr std::int32_t MaxBins = 1 << 20;

} // namespace

SmoothCurve::SmoothCurve(std::uint64_t seed, double amplitude) {
    std::uint64_t state = seed ^ 0x6B3A9C1D2E4F5A70ull;
    for (Wave &w : logWaves_) {
        w.amplitude = amplitude * (0.15 + 0.25 * unit(state));
        w.cycles = 0.4 + 2.6 * unit(state); // per decade
        w.phase = 2 * std::numbers::pi * unit(state);
    }
    ripple_.amplitude = amplitude * (0.1 + 0.15 * unit(state));
    ripple_.cycles = 1.0 / (5e6 + 35e6 * unit(state)); // per Hz
    ripple_.phase = 2 * std::numbers::pi * unit(state);
}

double SmoothCurve::at(std::uint64_t hz) const {
    const double f = double(std::max<std::uint64_t>(hz, 1));
    const double decades = std::log10(f);
    double sum =
        ripple_.amplitude * std::sin(2 * std::numbers::pi * ripple_.cycles * f + ripple_.phase);
    for (const Wave &w : logWaves_)
        sum += w.amplitude * std::sin(2 * std::numbers::pi * w.cycles * decades + w.phase);
    return sum;
}

SimReceiver::SimReceiver(const k740sim_info &info, bool demo)
    : info_(info), demo_(demo), frontEnd_(info.seed, 2.0),
      detector_(std::uint64_t(info.seed) * 0x2545F4914F6CDD1Dull + 17, 1.0), tuned_(info.lowestHz) {
    if (info_.stepHz == 0) info_.stepHz = 1;
    // The program falls back to these when the EEPROM constants fail its
    // checks; the receiver's gain law follows the same rule so that the two
    // always agree.
    const bool valid = info.referenceGain >= 600 && info.referenceGain <= 850 &&
                       info.agcHigh > info.agcKnee && info.agcKnee > info.agcLow &&
                       info.agcLow >= 300 && info.agcHigh <= 990 && info.lowGainTerm >= -950 &&
                       info.lowGainTerm <= -700;
    levels_ = valid ? Levels{info.agcHigh, info.agcKnee, info.agcLow, info.lowGainTerm,
                             info.referenceGain}
                    : Levels{855, 757, 537, -850, 700};
    controls_[K740SIM_AGC] = 2;
    controls_[K740SIM_RFAMP] = 1;
    controls_[K740SIM_FILTER] = -1;
}

void SimReceiver::fillEeprom(std::uint8_t *eeprom) const {
    std::memset(eeprom, 0, K7_EEPROM_SIZE);
    std::memcpy(eeprom + K7_EEP_SERIAL, info_.serial, std::strlen(info_.serial));
    std::memcpy(eeprom + K7_EEP_DEVICE_TYPE, info_.deviceType, std::strlen(info_.deviceType));
    put16(eeprom + K7_EEP_AGC_HIGH, info_.agcHigh);
    put16(eeprom + K7_EEP_AGC_KNEE, info_.agcKnee);
    put16(eeprom + K7_EEP_AGC_LOW, info_.agcLow);
    put16(eeprom + K7_EEP_LOW_GAIN_TERM, std::uint16_t(info_.lowGainTerm));
    put16(eeprom + K7_EEP_REFERENCE_GAIN, info_.referenceGain);
}

std::uint64_t SimReceiver::tune(std::uint64_t hz) {
    const std::uint64_t low = info_.lowestHz, high = info_.highestHz, step = info_.stepHz;
    const std::uint64_t f = std::clamp(hz, low, high);
    std::uint64_t r = (f + step / 2) / step * step;
    if (r > high && r >= step) r -= step;
    if (r < low) r += step;
    if (r > high) r = low;
    // Above 31 bits the frequency word carries 10 Hz units.
    if (r > 0x7FFFFFFFull) {
        r = r / 10 * 10;
        if (r < low) r += 10;
        if (r > high) r = low;
    }
    tuned_ = r;
    return r;
}

void SimReceiver::setControl(int control, std::int32_t value) {
    if (control >= 0 && control < int(controls_.size())) controls_[std::size_t(control)] = value;
}

std::int32_t SimReceiver::control(int control) const {
    if (control >= 0 && control < int(controls_.size())) return controls_[std::size_t(control)];
    return 0;
}

void SimReceiver::setPassband(std::int32_t mode, std::int32_t width, std::int32_t offset) {
    mode_ = mode;
    width_ = width;
    offset_ = offset;
}

void SimReceiver::passband(std::int32_t *mode, std::int32_t *width, std::int32_t *offset) const {
    if (mode) *mode = mode_;
    if (width) *width = width_;
    if (offset) *offset = offset_;
}

void SimReceiver::passbandWindow(double *lo, double *hi) const {
    const double f = double(tuned_), w = double(width_);
    double start;
    if (mode_ == 4)
        start = f - w;
    else if (mode_ == 5)
        start = f;
    else
        start = f - w / 2;
    *lo = start + offset_;
    *hi = *lo + w;
}

double SimReceiver::passbandPower(const Generator &generator) const {
    double lo, hi;
    passbandWindow(&lo, &hi);
    const double width = std::max(hi - lo, 1.0);
    double power = dbToPower(info_.noiseDensity + 10 * std::log10(width) + frontEnd_.at(tuned_));
    const double g = double(generator.hz);
    if (generator.on && g >= lo && g <= hi)
        power += dbToPower(generator.dbm + frontEnd_.at(generator.hz));
    return 10 * std::log10(power);
}

double SimReceiver::gainForReading(std::int32_t a) const {
    const Levels &l = levels_;
    double g;
    if (a >= l.high)
        g = l.reference;
    else if (a >= l.knee)
        g = l.reference - 50 + 50.0 * (a - l.knee) / (l.high - l.knee);
    else
        g = l.reference - 50 +
            std::trunc((1 - double(a - l.low) / (l.knee - l.low)) * (l.term + 380));
    return std::floor(g + 0.5) * 0.1;
}

std::int32_t SimReceiver::agcReading(const Generator &generator) const {
    if (forcedAgc_ >= 0) return forcedAgc_;
    if (demo_) return DemoAgcReading;
    const std::int32_t top = std::min(990, levels_.high + 30);
    const std::int32_t bottom = std::max(0, 2 * levels_.low - levels_.knee);
    if (controls_[K740SIM_AGC] == 0) return top;
    const double need = AgcThresholdDbm + levels_.reference * 0.1 - passbandPower(generator);
    if (gainForReading(top) <= need) return top;
    // The largest reading whose gain does not exceed the need; the gain law
    // rises with the reading.
    std::int32_t lo = bottom, hi = top;
    if (gainForReading(lo) > need) return bottom;
    while (hi - lo > 1) {
        const std::int32_t mid = lo + (hi - lo) / 2;
        if (gainForReading(mid) <= need)
            lo = mid;
        else
            hi = mid;
    }
    return lo;
}

std::int32_t SimReceiver::rawSignalStrength(const Generator &generator) const {
    const double x = passbandPower(generator) + detector_.at(tuned_);
    const double u = std::clamp((x - RawFloorDbm) / RawRangeDb, 0.0, 1.0);
    return std::int32_t(std::lround(255 * std::pow(u, RawExponent)));
}

void SimReceiver::reseed(std::uint64_t globalSeed, std::uint32_t index) {
    std::uint64_t state =
        globalSeed * 0x9E3779B97F4A7C15ull + index * 0xD1B54A32D192ED03ull + info_.seed;
    rng_ = splitmix(state) | 1;
}

std::uint64_t SimReceiver::next() {
    // xorshift64*
    rng_ ^= rng_ >> 12;
    rng_ ^= rng_ << 25;
    rng_ ^= rng_ >> 27;
    return rng_ * 0x2545F4914F6CDD1Dull;
}

std::int32_t SimReceiver::spectrum(const Generator &generator, std::uint32_t span,
                                   std::int32_t bins, float *power) {
    if (!power || span == 0 || bins < 1 || bins > MaxBins) return 0;
    const double gain = gainForReading(agcReading(generator));
    const double binHz = double(span) / bins;
    const double noise =
        dbToPower(info_.noiseDensity + 10 * std::log10(binHz) + frontEnd_.at(tuned_) + gain);
    // Exponentially distributed noise power, four table draws per random word.
    const std::array<float, NoiseTableSize> &table = noiseTable();
    const float scale = float(noise);
    std::uint64_t word = 0;
    for (std::int32_t i = 0; i < bins; ++i) {
        if ((i & 3) == 0) word = next();
        power[i] = scale * table[word & (NoiseTableSize - 1)];
        word >>= 16;
    }

    if (!generator.on) return bins;
    const std::int64_t diff = std::int64_t(generator.hz) - std::int64_t(tuned_);
    if (diff < -std::int64_t(span) || diff > std::int64_t(span)) return bins;
    // Bin of the generator: floor((diff + span / 2) * bins / span), exactly.
    const std::int64_t num = (2 * diff + span) * bins, den = 2 * std::int64_t(span);
    const std::int64_t k = num >= 0 ? num / den : -((-num + den - 1) / den);
    if (k < 0 || k >= bins) return bins;
    const double signal = dbToPower(generator.dbm + frontEnd_.at(generator.hz) + gain);
    power[k] += float(signal);
    // A weak skirt, as a real window function leaves.
    static constexpr double skirt[] = {3e-3, 1e-5};
    for (std::int64_t d = 1; d <= 2; ++d) {
        if (k - d >= 0) power[k - d] += float(signal * skirt[d - 1]);
        if (k + d < bins) power[k + d] += float(signal * skirt[d - 1]);
    }
    return bins;
}

} // namespace k740sim
