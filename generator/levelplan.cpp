#include "generator/levelplan.h"

#include <cmath>
#include <iterator>

namespace {

// Levels closer than this are one level (sums of decimal steps are not exact).
constexpr double kSame = 1e-9;

// Generator levels are set in decimal text; keep them free of binary residue
// (-80 + 99 x 0.1 is -70.100000000000009).
double Clean(double level) {
    return std::round(level * 1e6) / 1e6;
}

} // namespace

std::vector<double> TLevelPlanner::Grid(const TStepPlan &plan) {
    const double step = plan.Adaptive ? plan.MaxStep : plan.Step;
    std::vector<double> grid;
    const double count = std::floor((plan.To - plan.From) / step + kSame);
    for (int i = 0; i <= int(count); ++i)
        grid.push_back(Clean(plan.From + i * step));
    // An adaptive sweep always ends at To, whatever the coarse step.
    if (plan.Adaptive && grid.back() < plan.To - kSame) grid.push_back(plan.To);
    return grid;
}

TLevelPlanner::TLevelPlanner(const TStepPlan &plan) : plan_(plan), grid_(Grid(plan)) {
    next_ = Choose();
}

int TLevelPlanner::Estimate() const {
    return Measured() + int(grid_.size() - nextGrid_) +
           (next_ && (nextGrid_ >= grid_.size() || *next_ != grid_[nextGrid_]) ? 1 : 0);
}

void TLevelPlanner::Record(int raw) {
    if (!next_) return;
    readings_[*next_] = raw;
    if (nextGrid_ < grid_.size() && std::abs(grid_[nextGrid_] - *next_) < kSame) ++nextGrid_;
    next_ = Choose();
}

// Whether the gap from `a` to the reading after it is to be halved.
bool TLevelPlanner::WantsSplit(std::map<double, int>::const_iterator a) const {
    const auto b = std::next(a);
    if ((b->first - a->first) / 2 < plan_.MinStep - kSame) return false;
    const int rise = b->second - a->second;
    if (std::abs(rise) > plan_.JumpRaw) return true;
    const bool hasLeft = a != readings_.begin();
    const auto c = std::next(b);
    const bool hasRight = c != readings_.end();
    // A knee next to a plateau: the rise begins (or ends) in this gap. Whole
    // RAW values hide a bend there once the gaps are small, a flat
    // neighbour does not.
    if (rise != 0 &&
        ((hasLeft && std::prev(a)->second == a->second) || (hasRight && c->second == b->second)))
        return true;
    // How far the middle one of three neighbours lies off their chord.
    auto bend = [](auto left, auto middle, auto right) {
        const double t = (middle->first - left->first) / (right->first - left->first);
        const double line = left->second + t * (right->second - left->second);
        return std::abs(middle->second - line) > kBendRaw;
    };
    return (hasLeft && bend(std::prev(a), a, b)) || (hasRight && bend(a, b, c));
}

std::optional<double> TLevelPlanner::Choose() const {
    // The widest gap still wanted (the lowest of equals): a bend splits the
    // gaps on both sides, and the wide one decides on which side it lies.
    if (plan_.Adaptive && readings_.size() >= 2) {
        auto widest = readings_.end();
        double width = 0;
        for (auto a = readings_.begin(); std::next(a) != readings_.end(); ++a) {
            const double gap = std::next(a)->first - a->first;
            if (gap > width + kSame && WantsSplit(a)) {
                widest = a;
                width = gap;
            }
        }
        if (widest != readings_.end()) return Clean(widest->first + width / 2);
    }
    if (nextGrid_ < grid_.size()) return grid_[nextGrid_];
    return std::nullopt;
}
