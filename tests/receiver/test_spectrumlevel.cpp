#include "receiver/spectrumlevel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

using namespace SpectrumLevel;

namespace {

// A flat spectrum of 12,000 one-hertz bins with one strong bin.
struct OneHertzSpectrum {
    std::vector<float> bins = std::vector<float>(12000, 1e-9f);
    Spectrum message() const { return Spectrum{12000, std::int64_t(bins.size() * 4), bins.data()}; }
};

double Peak(const OneHertzSpectrum &s, std::int32_t mode, std::int32_t width = 3000,
            std::int32_t offset = 0) {
    double db = 0;
    EXPECT_TRUE(SpectrumPeakDb(s.message(), mode, width, offset, db));
    return db;
}

TEST(SpectrumWindow, PassbandOfEachModeInTheExampleSpan) {
    std::int32_t first = 0, last = 0;
    ASSERT_TRUE(PassbandBins(QMV_MODE_LSB, 12000, 3000, 0, 12000, first, last));
    EXPECT_EQ(first, 3000);
    EXPECT_EQ(last, 6000);
    ASSERT_TRUE(PassbandBins(QMV_MODE_USB, 12000, 3000, 0, 12000, first, last));
    EXPECT_EQ(first, 6000);
    EXPECT_EQ(last, 9000);
    for (int mode : {0, 1, 2, 6, 7}) {
        ASSERT_TRUE(PassbandBins(mode, 12000, 3000, 0, 12000, first, last));
        EXPECT_EQ(first, 4500) << mode;
        EXPECT_EQ(last, 7500) << mode;
    }
    // 2,048 bins over the same span: whole-number bin quotients.
    ASSERT_TRUE(PassbandBins(QMV_MODE_LSB, 12000, 3000, 0, 2048, first, last));
    EXPECT_EQ(first, 512);
    EXPECT_EQ(last, 1024);
}

TEST(SpectrumWindow, OnlyBinsInsideThePassbandCount) {
    OneHertzSpectrum s;
    s.bins[2999] = 1e-3f; // just below the LSB window
    s.bins[9001] = 1e-3f; // just above the USB window
    EXPECT_NEAR(Peak(s, QMV_MODE_LSB), -90.0, 1e-6);
    EXPECT_NEAR(Peak(s, QMV_MODE_USB), -90.0, 1e-6);
    s.bins[3000] = 1e-6f;
    s.bins[9000] = 1e-5f;
    EXPECT_NEAR(Peak(s, QMV_MODE_LSB), -60.0, 1e-5);
    EXPECT_NEAR(Peak(s, QMV_MODE_USB), -50.0, 1e-5);
    EXPECT_NEAR(Peak(s, 1), -90.0, 1e-6);
    s.bins[7500] = 1e-4f; // the centred window's last bin
    EXPECT_NEAR(Peak(s, 1), -40.0, 1e-5);
}

TEST(SpectrumWindow, OffsetShiftsAndEdgesClamp) {
    std::int32_t first = 0, last = 0;
    ASSERT_TRUE(PassbandBins(QMV_MODE_USB, 12000, 3000, 500, 12000, first, last));
    EXPECT_EQ(first, 6500);
    EXPECT_EQ(last, 9500);
    // Shifted past the top: the window is cut at the span, the last bin n - 1.
    ASSERT_TRUE(PassbandBins(QMV_MODE_USB, 12000, 3000, 5000, 12000, first, last));
    EXPECT_EQ(first, 11000);
    EXPECT_EQ(last, 11999);
    // Shifted below zero: starts at bin 0.
    ASSERT_TRUE(PassbandBins(QMV_MODE_LSB, 12000, 3000, -4000, 12000, first, last));
    EXPECT_EQ(first, 0);
    EXPECT_EQ(last, 2000);
    // A negative width gives an empty window.
    EXPECT_FALSE(PassbandBins(QMV_MODE_USB, 12000, -3000, 0, 12000, first, last));
}

TEST(SpectrumWindow, UnusableMessagesAreIgnored) {
    std::array<float, 4> bins{1, 1, 1, 1};
    double db = 0;
    EXPECT_FALSE(SpectrumPeakDb({0, 16, bins.data()}, 1, 3000, 0, db));
    EXPECT_FALSE(SpectrumPeakDb({12000, 3, bins.data()}, 1, 3000, 0, db));
    EXPECT_FALSE(SpectrumPeakDb({12000, 0, bins.data()}, 1, 3000, 0, db));
    EXPECT_FALSE(SpectrumPeakDb({12000, 16, nullptr}, 1, 3000, 0, db));
    EXPECT_TRUE(SpectrumPeakDb({12000, 4, bins.data()}, 1, 3000, 0, db));
    EXPECT_DOUBLE_EQ(db, 0.0);
}

TEST(SpectrumLevel, BinsBelowTheFloorGiveMinus110) {
    OneHertzSpectrum s;
    std::fill(s.bins.begin(), s.bins.end(), 1e-13f);
    s.bins[5000] = 0.0f;
    s.bins[5001] = -1.0f;
    s.bins[5002] = std::nanf("");
    EXPECT_DOUBLE_EQ(Peak(s, 1), -110.0);
}

TEST(SpectrumLevel, GainFollowsTheAgcSegments) {
    const LevelConstants defaults;
    EXPECT_DOUBLE_EQ(GainTenths(855, defaults), 700.0);
    EXPECT_DOUBLE_EQ(GainTenths(2000, defaults), 700.0);
    // The demo receiver's reading lies between knee and high point.
    EXPECT_DOUBLE_EQ(GainTenths(kDemoAgcReading, defaults), 700 - 50 + 50.0 * 43 / 98);
    EXPECT_DOUBLE_EQ(GainTenths(757, defaults), 650.0);
    // Below the knee the low-segment term is scaled and truncated.
    EXPECT_DOUBLE_EQ(GainTenths(537, defaults), 700 - 50 - 470);
    EXPECT_DOUBLE_EQ(GainTenths(647, defaults), 700 - 50 + std::trunc((1 - 110.0 / 220) * -470));
    // The gain is rounded to whole tenths before it is applied.
    EXPECT_DOUBLE_EQ(LevelDbm(-30.0, GainTenths(kDemoAgcReading, defaults)), -30.0 - 67.2);
}

TEST(SpectrumLevel, LevelIsClampedAndScaledInExtendedPrecision) {
    EXPECT_EQ(LevelToRaw(-140.0), 0);
    EXPECT_EQ(LevelToRaw(-20.0), 254);
    EXPECT_EQ(LevelToRaw(-100.0), 84);
    EXPECT_EQ(LevelToRaw(-80.0), 127); // 127.5 truncated
    EXPECT_DOUBLE_EQ(LevelDbm(0.0, 0.0), -20.0);
    EXPECT_DOUBLE_EQ(LevelDbm(-110.0, 700.0), -140.0);
    EXPECT_DOUBLE_EQ(LevelDbm(std::nan(""), 700.0), -140.0);
    EXPECT_EQ(RawFromPeak(60.0, 855, LevelConstants{}), 254);
    EXPECT_EQ(RawFromPeak(10.0, 855, LevelConstants{}), 169); // -60 dBm: 170 exactly, so 169
    EXPECT_EQ(RawFromPeak(-110.0, 855, LevelConstants{}), 0);
    // -33 dB peak, gain 70.0 dB: -103 dBm, (37 * 255 / 120) = 78.625.
    EXPECT_EQ(RawFromPeak(-33.0, 900, LevelConstants{}), 78);
}

} // namespace
