// One simulated receiver: its front end, AGC, RAW detector and spectra.
#pragma once

#include "k740sim.h"

#include <array>
#include <cstdint>

namespace k740sim {

// A smooth curve over frequency, a few dB either way, shaped by a seed: a few
// slow waves over log-frequency plus a gentle ripple in linear frequency (as
// cables and filters give).
class SmoothCurve {
public:
    SmoothCurve() = default;
    SmoothCurve(std::uint64_t seed, double amplitude);
    double at(std::uint64_t hz) const;

private:
    struct Wave {
        double amplitude = 0, cycles = 0, phase = 0;
    };
    std::array<Wave, 4> logWaves_{};
    Wave ripple_{}; // cycles per Hz
};

// The generator as every receiver sees it.
struct Generator {
    bool on = false;
    std::uint64_t hz = 10'000'000;
    double dbm = -73.0;
};

class SimReceiver {
public:
    SimReceiver(const k740sim_info &info, bool demo);

    const k740sim_info &info() const { return info_; }
    bool demo() const { return demo_; }

    void fillEeprom(std::uint8_t *eeprom) const;

    std::uint64_t tune(std::uint64_t hz);
    std::uint64_t tuned() const { return tuned_; }

    void setControl(int control, std::int32_t value);
    std::int32_t control(int control) const;

    void setPassband(std::int32_t mode, std::int32_t width, std::int32_t offset);
    void passband(std::int32_t *mode, std::int32_t *width, std::int32_t *offset) const;

    double noiseDensity() const { return info_.noiseDensity; }
    void setNoiseDensity(double dbmPerHz) { info_.noiseDensity = dbmPerHz; }

    double frontEndError(std::uint64_t hz) const { return frontEnd_.at(hz); }
    double passbandPower(const Generator &generator) const;

    void forceAgcReading(std::int32_t reading) { forcedAgc_ = reading; }
    std::int32_t agcReading(const Generator &generator) const;
    double gainForReading(std::int32_t reading) const;

    std::int32_t rawSignalStrength(const Generator &generator) const;

    // Restarts the noise stream from the global seed.
    void reseed(std::uint64_t globalSeed, std::uint32_t index);
    std::int32_t spectrum(const Generator &generator, std::uint32_t span, std::int32_t bins,
                          float *power);

private:
    struct Levels {
        std::int32_t high, knee, low, term, reference;
    };
    void passbandWindow(double *lo, double *hi) const;
    std::uint64_t next();

    k740sim_info info_;
    bool demo_;
    Levels levels_; // the constants the program will use
    SmoothCurve frontEnd_;
    SmoothCurve detector_;
    std::uint64_t tuned_;
    std::array<std::int32_t, 5> controls_{};
    std::int32_t mode_ = 1, width_ = 3000, offset_ = 0;
    std::int32_t forcedAgc_ = -1;
    std::uint64_t rng_ = 1;
};

} // namespace k740sim
