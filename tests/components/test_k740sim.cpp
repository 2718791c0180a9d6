// The simulated radio agrees with itself: the level that the program computes
// from a spectrum and the AGC reading is the generator's level plus the front
// end's error; AGC, RAW reading, front end and noise behave as documented.
#include "k7apitestlib.h"

#include "k740sim.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <vector>

using k7apitest::Api;
using k7apitest::SimConfigFile;

namespace {

struct Levels {
    int32_t high, knee, low, term, reference;
};
constexpr Levels Defaults{855, 757, 537, -850, 700};

// The program's level computation from one spectrum, written out plainly.
double ProgramLevel(const std::vector<float> &bins, uint32_t span, int32_t mode, int32_t width,
                    int32_t offset, int32_t a, Levels c) {
    const int64_t n = int64_t(bins.size());
    int32_t lo;
    if (mode == 4)
        lo = int32_t(span / 2) - width;
    else if (mode == 5)
        lo = int32_t(span / 2);
    else
        lo = int32_t((span - uint32_t(width)) / 2);
    lo += offset;
    int32_t hi = lo + width;
    if (lo < 0) lo = 0;
    if (uint32_t(hi) > span) hi = int32_t(span);
    const int64_t iLo = std::clamp<int64_t>(int64_t(lo) * n / span, 0, n - 1);
    const int64_t iHi = std::clamp<int64_t>(int64_t(hi) * n / span, 0, n - 1);
    double peak = 1e-11;
    for (int64_t i = iLo; i <= iHi; ++i)
        peak = std::max(peak, double(bins[std::size_t(i)]));
    const double p = 10 * std::log10(peak);
    double g;
    if (a >= c.high)
        g = c.reference;
    else if (a >= c.knee)
        g = c.reference - 50 + 50.0 * (a - c.knee) / (c.high - c.knee);
    else
        g = c.reference - 50 +
            std::trunc((1 - double(a - c.low) / (c.knee - c.low)) * (c.term + 380));
    const double level = p - std::floor(g + 0.5) * 0.1;
    return std::clamp(level, -140.0, -20.0);
}

const char *Receivers = R"([receiver]
serial = RX1
type = K740 USB
eeprom = 860 760 540 -800 720
seed = 42

[receiver]
serial = RX2
eeprom = 855 757 537 -850 851
seed = 43
)";

class K740Sim : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(api.library, nullptr); }

    std::vector<float> spectrum(int32_t rx, uint32_t span = 12000, int32_t bins = 1024) {
        std::vector<float> out(static_cast<std::size_t>(bins));
        EXPECT_EQ(k740sim_Spectrum(rx, span, bins, out.data()), bins);
        return out;
    }
    int32_t agcReading(int32_t handle) { return int32_t(api.K7GetInternalRSSI(handle) >> 16); }

    Api api;
    SimConfigFile config{api, Receivers};
};

} // namespace

TEST_F(K740Sim, SpectrumLevelIsGeneratorPlusFrontEndErrorOverTheWholeAgcRange) {
    const int32_t h = api.K7Open("RX1");
    const int32_t rx = k740sim_FindReceiver("RX1");
    const Levels levels{860, 760, 540, -800, 720};
    api.SetFrequency(h, 7'100'000);
    const uint64_t f = k740sim_TunedFrequency(rx);
    const double e = k740sim_FrontEndError(rx, f);
    std::set<int32_t> readings;
    for (int32_t mode : {1, 4, 5}) {
        k740sim_SetPassband(rx, mode, 3000, 0);
        for (double level = -130; level <= -25; level += 2.5) {
            k740sim_SetGenerator(1, f, level);
            const std::vector<float> bins = spectrum(rx);
            const int32_t a = agcReading(h);
            readings.insert(a);
            EXPECT_NEAR(ProgramLevel(bins, 12000, mode, 3000, 0, a, levels), level + e, 0.5)
                << "mode " << mode << ", reading " << a;
        }
    }
    EXPECT_GE(*readings.rbegin(), 860) << "weak signals get full gain";
    EXPECT_LT(*readings.begin(), 540) << "strong ones reach the low segment";
    EXPECT_GT(readings.size(), 20u);

    // Every reading the AGC can take, at -73 dBm.
    k740sim_SetGenerator(1, f, -73);
    for (int32_t a = 2 * 540 - 760; a <= 890; a += 3) {
        k740sim_ForceAgcReading(rx, a);
        ASSERT_EQ(agcReading(h), a);
        EXPECT_NEAR(ProgramLevel(spectrum(rx), 12000, 1, 3000, 0, a, levels), -73 + e, 0.5) << a;
    }
}

TEST_F(K740Sim, DemoReceiverReadsEightHundredAndAgrees) {
    const int32_t h = api.K7Open(nullptr);
    api.SetFrequency(h, 0x80000000u | 143'200'000u); // 1.432 GHz
    const uint64_t f = k740sim_TunedFrequency(0);
    EXPECT_EQ(f, 1'432'000'000u);
    const double e = k740sim_FrontEndError(0, f);
    for (double level : {-125.0, -73.0, -30.0}) {
        k740sim_SetGenerator(1, f, level);
        EXPECT_EQ(agcReading(h), 800);
        EXPECT_NEAR(ProgramLevel(spectrum(0, 24000, 2048), 24000, 1, 3000, 0, 800, Defaults),
                    level + e, 0.5);
    }
}

TEST_F(K740Sim, RejectedLevelConstantsGiveTheDefaultGainLaw) {
    const int32_t h = api.K7Open("RX2"); // reference gain 851
    const int32_t rx = k740sim_FindReceiver("RX2");
    api.SetFrequency(h, 50'000'000);
    const double e = k740sim_FrontEndError(rx, 50'000'000);
    for (double level : {-110.0, -60.0, -30.0}) {
        k740sim_SetGenerator(1, 50'000'000, level);
        const std::vector<float> bins = spectrum(rx);
        EXPECT_NEAR(ProgramLevel(bins, 12000, 1, 3000, 0, agcReading(h), Defaults), level + e, 0.5);
    }
    EXPECT_DOUBLE_EQ(k740sim_GainForReading(rx, 900), 70.0);
}

TEST_F(K740Sim, AgcReadingFallsAsTheSignalRisesAndItsGainFollowsTheConstants) {
    const int32_t h = api.K7Open("RX1");
    const int32_t rx = k740sim_FindReceiver("RX1");
    api.SetFrequency(h, 14'200'000);
    k740sim_SetGenerator(0, 14'200'000, -73);
    EXPECT_EQ(agcReading(h), 890) << "no signal: the reading rests above the high point";
    EXPECT_DOUBLE_EQ(k740sim_Gain(rx), 72.0);

    int32_t previous = 990;
    for (double level = -120; level <= 0; level += 1) {
        k740sim_SetGenerator(1, 14'200'000, level);
        const int32_t a = agcReading(h);
        EXPECT_LE(a, previous) << level;
        previous = a;
    }
    // The gain of a reading, as the program derives it from the constants.
    EXPECT_DOUBLE_EQ(k740sim_GainForReading(rx, 860), 72.0);
    EXPECT_DOUBLE_EQ(k740sim_GainForReading(rx, 810), 67.0 + 2.5);  // 670 + 50 x 50 / 100
    EXPECT_DOUBLE_EQ(k740sim_GainForReading(rx, 540), 67.0 - 42.0); // t = -420 at the low point
    EXPECT_DOUBLE_EQ(k740sim_GainForReading(0, 800), 67.2);         // 650 + 50 x 43 / 98 = 671.9

    api.SetAGC(h, 0);
    EXPECT_EQ(agcReading(h), 890) << "AGC off: full gain whatever the signal";
}

TEST_F(K740Sim, RawReadingRisesMonotonicallyButNotLinearlyAndDependsOnFrequency) {
    const int32_t h = api.K7Open(nullptr);
    std::vector<int32_t> raw;
    api.SetFrequency(h, 10'000'000);
    for (int level = -150; level <= 10; ++level) {
        k740sim_SetGenerator(1, 10'000'000, level);
        raw.push_back(api.GetRawSignalStrength(h));
    }
    EXPECT_TRUE(std::is_sorted(raw.begin(), raw.end()));
    EXPECT_LE(raw.front(), 2);
    EXPECT_EQ(raw.back(), 255);
    // Equal steps in dB give unequal steps in RAW.
    const int32_t lowStep = raw[70] - raw[50], highStep = raw[130] - raw[110];
    EXPECT_GT(highStep, lowStep + 10);

    std::set<int32_t> byFrequency;
    for (uint32_t f : {100'000u, 1'000'000u, 10'000'000u, 100'000'000u, 1'000'000'000u}) {
        api.SetFrequency(h, f);
        k740sim_SetGenerator(1, f, -60);
        byFrequency.insert(api.GetRawSignalStrength(h));
    }
    EXPECT_GT(byFrequency.size(), 2u);
}

TEST_F(K740Sim, FrontEndErrorIsSmoothAFewDbAndDiffersPerReceiver) {
    const int32_t rx = k740sim_FindReceiver("RX1");
    double lowest = 1e9, highest = -1e9;
    int differing = 0;
    for (double f = 9e3; f <= 3.5e9; f *= 1.05) {
        const double e = k740sim_FrontEndError(0, uint64_t(f));
        lowest = std::min(lowest, e);
        highest = std::max(highest, e);
        const double step = std::min(f * 1e-4, 1e4);
        EXPECT_LT(std::abs(k740sim_FrontEndError(0, uint64_t(f + step)) - e), 0.02) << f;
        differing += std::abs(k740sim_FrontEndError(rx, uint64_t(f)) - e) > 0.2;
    }
    EXPECT_GT(lowest, -4.0);
    EXPECT_LT(highest, 4.0);
    EXPECT_GT(highest - lowest, 1.5);
    EXPECT_GT(differing, 100);
}

TEST_F(K740Sim, SpectrumPutsTheGeneratorInItsBinAndNoiseEverywhere) {
    const int32_t rx = k740sim_FindReceiver("RX1");
    k740sim_Tune(rx, 7'000'000);
    k740sim_SetGenerator(1, 7'001'000, -60);
    const std::vector<float> bins = spectrum(rx, 12000, 1200); // 10 Hz bins
    const auto peak = std::max_element(bins.begin(), bins.end());
    EXPECT_EQ(peak - bins.begin(), 700);
    EXPECT_GT(*std::min_element(bins.begin(), bins.end()), 0.0f);

    k740sim_SetGenerator(1, 7'007'000, -60); // outside the span
    const std::vector<float> quiet = spectrum(rx, 12000, 1200);
    EXPECT_LT(10 * std::log10(*std::max_element(quiet.begin(), quiet.end())) - k740sim_Gain(rx),
              -130);

    // At the upper edge of the span exactly: the generator stays inside the
    // bins asked for, and nothing is written behind them.
    k740sim_SetGenerator(1, 7'006'000, -60);
    std::vector<float> guarded(1201, -1.0f);
    EXPECT_EQ(k740sim_Spectrum(rx, 12000, 1200, guarded.data()), 1200);
    EXPECT_EQ(guarded[1200], -1.0f);

    float buffer[4];
    EXPECT_EQ(k740sim_Spectrum(rx, 0, 4, buffer), 0);
    EXPECT_EQ(k740sim_Spectrum(rx, 12000, 0, buffer), 0);
    EXPECT_EQ(k740sim_Spectrum(rx, 12000, 4, nullptr), 0);
    EXPECT_EQ(k740sim_Spectrum(99, 12000, 4, buffer), 0);
}

TEST_F(K740Sim, SameSeedSameSpectraAndReadings) {
    const int32_t rx = k740sim_FindReceiver("RX1");
    k740sim_Tune(rx, 3'600'000);
    k740sim_SetGenerator(1, 3'600'500, -97);
    k740sim_SetSeed(9);
    const std::vector<float> first = spectrum(rx), second = spectrum(rx);
    const int32_t raw = k740sim_RawSignalStrength(rx), agc = k740sim_AgcReading(rx);
    EXPECT_NE(first, second) << "every spectrum draws fresh noise";
    k740sim_SetSeed(9);
    EXPECT_EQ(spectrum(rx), first);
    EXPECT_EQ(spectrum(rx), second);
    EXPECT_EQ(k740sim_RawSignalStrength(rx), raw);
    EXPECT_EQ(k740sim_AgcReading(rx), agc);
    k740sim_SetSeed(10);
    EXPECT_NE(spectrum(rx), first);
}

TEST_F(K740Sim, SeedLineOfTheConfigurationFileSeedsTheNoise) {
    SimConfigFile seeded(api, "seed = 77\n");
    k740sim_Tune(0, 1'000'000);
    const std::vector<float> fromFile = spectrum(0);
    k740sim_SetSeed(77);
    EXPECT_EQ(spectrum(0), fromFile);
}
