// Which levels a sweep visits, against curves whose shape is known: fixed
// grids, and adaptive steps that stay coarse on straight stretches and close
// in on bends and jumps.
#include "generator/levelplan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>

namespace {

using Curve = std::function<int(double)>;

// The levels in the order the planner asks for them, each answered by `curve`.
std::vector<double> Walk(const TStepPlan &plan, const Curve &curve) {
    TLevelPlanner planner(plan);
    std::vector<double> levels;
    while (const std::optional<double> next = planner.Next()) {
        levels.push_back(*next);
        planner.Record(curve(*next));
        EXPECT_LE(levels.size(), 2000u);
        if (levels.size() > 2000) break;
        EXPECT_EQ(planner.Measured(), int(levels.size()));
        EXPECT_GE(planner.Estimate(), planner.Measured());
    }
    EXPECT_EQ(planner.Estimate(), planner.Measured());
    return levels;
}

// The spectrum path of the receiver: 255 RAW over 120 dB, truncated.
int Straight(double level) {
    return std::clamp(int((level + 140) * 255 / 120), 0, 255);
}

// The gap between the sorted levels that holds `level`.
double GapAround(std::vector<double> levels, double level) {
    std::sort(levels.begin(), levels.end());
    const auto above = std::upper_bound(levels.begin(), levels.end(), level);
    if (above == levels.begin() || above == levels.end()) return 0;
    return *above - *(above - 1);
}

TEST(LevelPlan, FixedStepsVisitTheGridInOrder) {
    const struct {
        double from, to, step;
        std::size_t count;
        double last;
    } cases[] = {
        {-80, -70, 0.1, 101, -70},
        {-130, -20, 1, 111, -20},
        {-50, -50, 1, 1, -50},
        {-100, -97.5, 1, 3, -98}, // To off the grid is not reached
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.from);
        TStepPlan plan{c.from, c.to, false, c.step};
        const std::vector<double> levels = Walk(plan, Straight);
        ASSERT_EQ(levels.size(), c.count);
        EXPECT_EQ(levels.front(), c.from);
        EXPECT_EQ(levels.back(), c.last); // exactly: the generator is sent this text
        EXPECT_TRUE(std::is_sorted(levels.begin(), levels.end()));
        EXPECT_EQ(TLevelPlanner::Grid(plan), levels);
    }
}

TEST(LevelPlan, AdaptiveStepsCloseInWhereTheCurveNeedsThem) {
    // Where a floor at RAW 40 meets the straight rise in whole RAW values,
    // and where the rise meets overload at RAW 250.
    const double knee = -120.8, overload = -22.3;
    const struct {
        const char *name;
        Curve curve;
        int jumpRaw;
        std::size_t most;                 // levels at most
        std::vector<double> fineAround;   // gaps of MinStep here
        std::vector<double> coarseAround; // gaps of MaxStep here
    } cases[] = {
        {"straight: the coarse grid and To", Straight, 16, 29, {}, {-127, -75, -23}},
        {"noise floor and overload",
         [](double l) { return std::clamp(Straight(l), 40, 250); },
         16,
         40,
         {knee, overload},
         {-127, -75, -35}},
        {"a jump of 30 RAW",
         [](double l) { return Straight(l) + (l >= -75.3 ? 30 : 0); },
         16,
         40,
         {-75.3},
         {-110, -40}},
        {"a steep straight rise, jumps of 20 RAW per coarse step",
         [](double l) { return std::clamp(int((l + 130) * 5), 0, 255); },
         16,
         58,
         {},
         {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        TStepPlan plan;
        plan.JumpRaw = c.jumpRaw;
        const std::vector<double> levels = Walk(plan, c.curve);
        EXPECT_LE(levels.size(), c.most);
        EXPECT_EQ(levels.front(), -130);
        EXPECT_EQ(*std::max_element(levels.begin(), levels.end()), -20);
        for (double at : c.fineAround)
            EXPECT_EQ(GapAround(levels, at), 0.5) << at;
        for (double at : c.coarseAround)
            EXPECT_EQ(GapAround(levels, at), 4.0) << at;
        // Refinement stays close behind the walk: never far down again.
        double highest = levels.front();
        for (double l : levels) {
            EXPECT_GE(l, highest - 2 * plan.MaxStep) << l;
            highest = std::max(highest, l);
        }
    }
    // The steep rise: every gap halved until no neighbour jumps more than 16.
    TStepPlan plan;
    std::vector<double> steep =
        Walk(plan, [](double l) { return std::clamp(int((l + 130) * 5), 0, 255); });
    std::sort(steep.begin(), steep.end());
    for (std::size_t i = 1; i < steep.size(); ++i) {
        if (steep[i] < -84) {
            EXPECT_EQ(steep[i] - steep[i - 1], 2.0) << steep[i];
        }
    }
}

} // namespace
