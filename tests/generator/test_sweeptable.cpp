// From the readings of a sweep to table values.
#include "generator/sweeptable.h"

#include <gtest/gtest.h>

namespace {

TEST(SweepTable, InterpolatesBetweenKeptReadingsAndCountsTheLeftOut) {
    struct Case {
        const char *name;
        std::vector<TSweepReading> readings;
        bool valid;
        int low, high, leftOut;
        std::vector<std::pair<int, double>> expected; // RAW, value
    } cases[] = {
        {"two readings",
         {{-100, 10}, {-90, 20}},
         true,
         10,
         20,
         0,
         {{9, -1.0}, {10, -100}, {11, -99}, {15, -95}, {20, -90}, {21, -1.0}}},
        {"thirds round to tenths, halves up",
         {{-120, 0}, {-110, 3}, {-100.05, 4}},
         true,
         0,
         4,
         0,
         {{1, -116.7}, {2, -113.3}, {4, -100.0}}},
        {"noise floor keeps its last level",
         {{-130, 5}, {-129, 5}, {-128, 5}, {-127, 8}},
         true,
         5,
         8,
         2,
         {{5, -128}, {8, -127}}},
        {"overload keeps its first level",
         {{-22, 250}, {-21, 254}, {-20, 254}},
         true,
         250,
         254,
         1,
         {{254, -21}, {252, -21.5}}},
        {"repeated RAW in the range averaged",
         {{-60, 100}, {-59, 101}, {-58, 101}, {-57, 103}},
         true,
         100,
         103,
         0,
         {{101, -58.5}, {102, -57.7}}},
        {"a falling reading is left out",
         {{-60, 100}, {-59, 98}, {-58, 104}},
         true,
         100,
         104,
         1,
         {{102, -59}}},
        {"levels limited to the table's range",
         {{-150, 0}, {-130, 10}},
         true,
         0,
         10,
         0,
         {{0, -140}, {5, -140}, {10, -130}}},
        {"one RAW only", {{-130, 7}, {-129, 7}}, false, 0, 0, 0, {{7, -1.0}}},
        {"nothing", {}, false, 0, 0, 0, {{0, -1.0}}},
        {"taken out of order (adaptive steps)",
         {{-90, 20}, {-100, 10}, {-95, 15}},
         true,
         10,
         20,
         0,
         {{12, -98}, {17, -93}}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        std::array<double, 256> table;
        table.fill(-1.0);
        const TSweepOutcome outcome = ApplySweep(c.readings, table, TTableEnds::teKeep);
        EXPECT_EQ(outcome.Valid, c.valid);
        if (c.valid) {
            EXPECT_EQ(outcome.LowRaw, c.low);
            EXPECT_EQ(outcome.HighRaw, c.high);
            EXPECT_EQ(outcome.LeftOut, c.leftOut);
        }
        for (const auto &[raw, value] : c.expected)
            EXPECT_DOUBLE_EQ(table[raw], value) << raw;
    }
}

TEST(SweepTable, TheEntriesOutsideTheRecordedRangeFollowTheChoice) {
    // RAW 21 at -128 dBm up to RAW 250 at -20 dBm, on a table that held
    // -71.0 everywhere before.
    const std::vector<TSweepReading> readings = {{-130, 21}, {-128, 21}, {-75, 135}, {-20, 250}};
    const struct {
        TTableEnds ends;
        double below, above;
        const char *text;
    } cases[] = {
        {TTableEnds::teNotSet, 0.0, 0.0,
         "RAW 21 to 250; 21 entries below and 5 entries above not set"},
        {TTableEnds::teKeep, -71.0, -71.0,
         "RAW 21 to 250; 21 entries below and 5 entries above kept as they were"},
        {TTableEnds::teHold, -128.0, -20.0,
         "RAW 21 to 250; 21 entries below and 5 entries above set to the end value"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(TableEndsName(c.ends).toStdString());
        std::array<double, 256> table;
        table.fill(-71.0);
        const TSweepOutcome outcome = ApplySweep(readings, table, c.ends);
        ASSERT_TRUE(outcome.Valid);
        EXPECT_EQ(outcome.Below(), 21);
        EXPECT_EQ(outcome.Above(), 5);
        for (int raw = 0; raw < 256; ++raw) {
            if (raw < 21)
                EXPECT_EQ(table[raw], c.below) << raw;
            else if (raw > 250)
                EXPECT_EQ(table[raw], c.above) << raw;
            else
                EXPECT_LT(table[raw], -19.9) << raw; // measured, never the not-set 0.0
        }
        EXPECT_EQ(table[21], -128.0);
        EXPECT_EQ(table[250], -20.0);
        EXPECT_EQ(OutcomeText(outcome), QString::fromUtf8(c.text));
    }
    // A range that reaches both ends leaves nothing outside.
    std::array<double, 256> table{};
    const TSweepOutcome full = ApplySweep({{-140, 0}, {-20, 255}}, table, TTableEnds::teNotSet);
    EXPECT_EQ(OutcomeText(full), "RAW 0 to 255; no entries outside");
    const TSweepOutcome one = ApplySweep({{-140, 0}, {-20, 254}}, table, TTableEnds::teHold);
    EXPECT_EQ(OutcomeText(one), "RAW 0 to 254; 1 entry above set to the end value");
    EXPECT_EQ(table[255], -20.0);
}

} // namespace
