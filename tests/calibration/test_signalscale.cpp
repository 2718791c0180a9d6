// The signal-level scale: texts, input checks and the graph's conversions.
#include "calibration/signalscale.h"
#include "platform/application.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

QString refusal(void (*check)(double), double value) {
    try {
        check(value);
    } catch (const platform::EInputError &error) {
        return error.text();
    }
    return QString();
}

TEST(SignalScale, TextsHaveOneDecimalAndTheirUnits) {
    EXPECT_EQ(SignalScale::DbmText(-73.26), "-73.3");
    EXPECT_EQ(SignalScale::DbmText(-0.04), "-0.0");
    EXPECT_EQ(SignalScale::DbmText(-140), "-140.0");
    EXPECT_EQ(SignalScale::LiveDbmText(-99.97), "-100.0 dBm");
    EXPECT_EQ(SignalScale::GraphDbmText(-12.34, SignalScale::DbmLabel()), "-12.3 dBm");
    EXPECT_EQ(SignalScale::GraphRawText(17, SignalScale::RawLabel()), "17 RAW");
    EXPECT_EQ(SignalScale::RawLabel(), "RAW");
    EXPECT_EQ(SignalScale::DbmLabel(), "dBm");
}

TEST(SignalScale, InputChecksAcceptTheirRangeAndNameIt) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (double ok : {-140.0, -70.0, -0.04, 0.0}) {
        EXPECT_TRUE(refusal(SignalScale::CheckDbmValue, ok).isEmpty()) << ok;
        EXPECT_TRUE(refusal(SignalScale::CheckFillValue, ok).isEmpty()) << ok;
    }
    for (double bad : {-140.05, 0.05, nan}) {
        EXPECT_EQ(refusal(SignalScale::CheckDbmValue, bad), "dBm value is out of range -140 - 0");
        EXPECT_EQ(refusal(SignalScale::CheckFillValue, bad), "Value out of range -140 - 0");
    }
    for (double ok : {-140.0, 0.0, 140.0})
        EXPECT_TRUE(refusal(SignalScale::CheckOffset, ok).isEmpty()) << ok;
    for (double bad : {140.1, -140.1, nan})
        EXPECT_EQ(refusal(SignalScale::CheckOffset, bad), "Value out of range -140 - 140");
}

TEST(SignalScale, NotSetIsExactlyZero) {
    EXPECT_TRUE(SignalScale::IsNotSet(0.0));
    EXPECT_FALSE(SignalScale::IsNotSet(-0.04));
    EXPECT_FALSE(SignalScale::IsNotSet(-1e-300));
}

TEST(SignalScale, OffsetResultsAreLimitedToTheDbmRange) {
    EXPECT_EQ(SignalScale::LimitAfterOffset(-150.0), -140.0);
    EXPECT_EQ(SignalScale::LimitAfterOffset(-140.0), -140.0);
    EXPECT_EQ(SignalScale::LimitAfterOffset(-139.9), -139.9);
    EXPECT_EQ(SignalScale::LimitAfterOffset(12.0), 0.0);
    EXPECT_FALSE(std::signbit(SignalScale::LimitAfterOffset(-0.0)));
}

TEST(SignalScale, RoundingGoesToTenthsWithHalvesUpward) {
    EXPECT_DOUBLE_EQ(SignalScale::RoundToTenth(-12.25), -12.2);
    EXPECT_DOUBLE_EQ(SignalScale::RoundToTenth(-12.26), -12.3);
    EXPECT_DOUBLE_EQ(SignalScale::RoundToTenth(-12.24), -12.2);
    EXPECT_DOUBLE_EQ(SignalScale::RoundToTenth(-0.75), -0.7);
    EXPECT_EQ(SignalScale::RoundToTenth(-0.04), 0.0);
    EXPECT_FALSE(std::signbit(SignalScale::RoundToTenth(-0.04)));
    EXPECT_EQ(SignalScale::RoundToTenth(-140.0), -140.0);
}

TEST(SignalScale, TheGraphDrawsWholeDbAndSetsWholeTenths) {
    EXPECT_EQ(SignalScale::HeightDb(-140.0), 0);
    EXPECT_EQ(SignalScale::HeightDb(-139.9), 1);
    EXPECT_EQ(SignalScale::HeightDb(-70.5), 70);
    EXPECT_EQ(SignalScale::HeightDb(-0.9), 140);
    EXPECT_EQ(SignalScale::HeightDb(0.0), 140);
    EXPECT_DOUBLE_EQ(SignalScale::RawStep(510.0), 2.0);
    EXPECT_DOUBLE_EQ(SignalScale::DbStep(280.0), 2.0);

    const double ys = SignalScale::DbStep(280.0); // 2 pixels per dB
    EXPECT_EQ(SignalScale::ValueAtDistance(0.0, ys), 0.0);
    EXPECT_FALSE(std::signbit(SignalScale::ValueAtDistance(0.0, ys)));
    EXPECT_DOUBLE_EQ(SignalScale::ValueAtDistance(1.0, ys), -0.5);
    EXPECT_DOUBLE_EQ(SignalScale::ValueAtDistance(1.01, ys), -0.5);
    EXPECT_DOUBLE_EQ(SignalScale::ValueAtDistance(1.09, ys), -0.5); // 5.45 tenths
    EXPECT_DOUBLE_EQ(SignalScale::ValueAtDistance(1.1, ys), -0.6);  // 5.5 tenths
    EXPECT_DOUBLE_EQ(SignalScale::ValueAtDistance(280.0, ys), -140.0);
}

} // namespace
