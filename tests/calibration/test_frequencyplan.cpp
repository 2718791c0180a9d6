// Frequency plans as "Add points…" and k740cal take them: the hertz each
// plan gives, and where a text that does not fit is refused.
#include "calibration/frequencyplan.h"

#include <gtest/gtest.h>

namespace {

using Hz = std::vector<std::uint64_t>;

TEST(FrequencyPlan, TextsGiveExactlyTheseFrequencies) {
    const FrequencyPlan::TLimits receiver{9'000, 3'500'000'000};
    const struct {
        const char *text;
        Hz expected;
    } cases[] = {
        {"3.6M, 7.1M, 14.2 MHz", {3'600'000, 7'100'000, 14'200'000}},
        {"14.2MHz;7100 kHz\n3600000\r\n", {3'600'000, 7'100'000, 14'200'000}},
        {"7.1M 7.1M 7100k", {7'100'000}}, // repeats once
        {".5M\t1.000001 mhz 2g", {500'000, 1'000'001, 2'000'000'000}},
        {"7M..7.3M/50k",
         {7'000'000, 7'050'000, 7'100'000, 7'150'000, 7'200'000, 7'250'000, 7'300'000}},
        {"7M .. 7.25M / 100 kHz", {7'000'000, 7'100'000, 7'200'000}}, // TO off the grid
        {"1M..10M/10dec",
         {1'000'000, 1'260'000, 1'580'000, 2'000'000, 2'510'000, 3'160'000, 3'980'000, 5'010'000,
          6'310'000, 7'940'000, 10'000'000}},
        {"100k..1M/3 decade, 50k", {50'000, 100'000, 215'000, 464'000, 1'000'000}},
        {"7.1M..7.1M/1k", {7'100'000}},
        // Above 2,147,000,000 Hz the receiver takes tens of hertz.
        {"2147000005, 2147000000 2147483645", {2'147'000'000, 2'147'483'640}},
        {"2.147000015G..2.14700004G/7", {2'147'000'010, 2'147'000'020, 2'147'000'030}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        const FrequencyPlan::TPlan plan = FrequencyPlan::Parse(QString::fromUtf8(c.text), receiver);
        EXPECT_TRUE(plan.Ok) << plan.Error.Message.toStdString();
        EXPECT_EQ(plan.Frequencies, c.expected);
    }
}

TEST(FrequencyPlan, ARefusedTextNamesItsFirstBadEntryAndGivesNothing) {
    const FrequencyPlan::TLimits receiver{100'000, 30'000'000};
    const struct {
        const char *text;
        int entry, position;
        const char *why;
    } cases[] = {
        {"3.6M, 7.1X, 14.2 MHz", 2, 7, "\"7.1X\" is not a frequency"},
        {"3.6M, 7.1, 14.2 MHz", 2, 7, "\"7.1\" is not a whole number of hertz"},
        {"7.1M,,abc", 2, 7, "\"abc\" is not a frequency"},
        {"7.1M 1.0000005M", 2, 6, "not a whole number of hertz"},
        {"7M..6M/1k", 1, 1, "below its start"},
        {"7M..8M", 1, 1, "a range needs a step"},
        {"7M..8M/0", 1, 1, "at least 1 Hz"},
        {"1M..10M/101dec", 1, 1, "1 to 100"},
        {"1M..30M/1", 1, 1, "more than 10000 points"},
        {" 1M 40M", 2, 5, "40 MHz is above the highest frequency, 30 MHz"},
        {"50k..1M/100k", 1, 1, "50 kHz is below the lowest frequency, 100 kHz"},
        {"7.1M..", 1, 1, "a range needs an end"},
        {"99999999999999999999", 1, 1, "too large"},
        {" ,; \n", 0, 0, "No frequency given"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        const FrequencyPlan::TPlan plan = FrequencyPlan::Parse(QString::fromUtf8(c.text), receiver);
        EXPECT_FALSE(plan.Ok);
        EXPECT_TRUE(plan.Frequencies.empty());
        EXPECT_EQ(plan.Error.Entry, c.entry);
        EXPECT_EQ(plan.Error.Position, c.position);
        EXPECT_TRUE(plan.Error.Message.contains(QString::fromUtf8(c.why)))
            << plan.Error.Message.toStdString();
        if (c.entry > 0) {
            EXPECT_TRUE(plan.Error.Message.startsWith(
                QStringLiteral("Entry %1 (character %2): ").arg(c.entry).arg(c.position)));
        }
    }
}

TEST(FrequencyPlan, FieldPlansSingleFrequenciesAndExistingPoints) {
    const FrequencyPlan::TPlan linear = FrequencyPlan::LinearRange(1'000'000, 3'000'000, 1'000'000);
    EXPECT_EQ(linear.Frequencies, (Hz{1'000'000, 2'000'000, 3'000'000}));
    const FrequencyPlan::TPlan decade = FrequencyPlan::PerDecade(7'100'000, 14'200'000, 4);
    EXPECT_EQ(decade.Frequencies, (Hz{7'100'000, 12'600'000}));
    EXPECT_FALSE(FrequencyPlan::PerDecade(1'000'000, 10'000'000, 0).Ok);

    std::uint64_t hz = 0;
    EXPECT_TRUE(FrequencyPlan::ParseFrequency(" 14.2 MHz ", hz));
    EXPECT_EQ(hz, 14'200'000u);
    for (const char *bad : {"7.1M, 8M", "7M..8M/1M", "", "M"})
        EXPECT_FALSE(FrequencyPlan::ParseFrequency(QString::fromUtf8(bad), hz)) << bad;

    const FrequencyPlan::TSplit split = FrequencyPlan::SplitExisting(
        linear.Frequencies, [](std::uint64_t f) { return f == 2'000'000; });
    EXPECT_EQ(split.New, (Hz{1'000'000, 3'000'000}));
    EXPECT_EQ(split.Existing, (Hz{2'000'000}));
}

} // namespace
