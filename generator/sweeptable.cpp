#include "generator/sweeptable.h"

#include <algorithm>
#include <cmath>

namespace {

// One RAW value and the levels it was read at.
struct Group {
    int raw;
    double sum, first, last;
    int count;
};

double RoundToTenth(double x) {
    return std::floor(10.0 * x + 0.5) / 10.0;
}

} // namespace

TSweepOutcome ApplySweep(const std::vector<TSweepReading> &readings,
                         std::array<double, 256> &table) {
    TSweepOutcome outcome;
    std::vector<Group> groups;
    for (const TSweepReading &r : readings) {
        if (!groups.empty() && int(r.Raw) < groups.back().raw) {
            ++outcome.LeftOut;
        } else if (!groups.empty() && int(r.Raw) == groups.back().raw) {
            Group &g = groups.back();
            g.sum += r.Level;
            g.last = r.Level;
            ++g.count;
        } else {
            groups.push_back({r.Raw, r.Level, r.Level, r.Level, 1});
        }
    }
    if (groups.size() < 2) return outcome;

    std::vector<double> level(groups.size());
    for (std::size_t i = 0; i < groups.size(); ++i)
        level[i] = groups[i].sum / groups[i].count;
    // The noise floor keeps its last level, the overload its first.
    outcome.LeftOut += groups.front().count - 1 + groups.back().count - 1;
    level.front() = groups.front().last;
    level.back() = groups.back().first;

    outcome.Valid = true;
    outcome.LowRaw = groups.front().raw;
    outcome.HighRaw = groups.back().raw;
    for (std::size_t i = 0; i + 1 < groups.size(); ++i) {
        const int a = groups[i].raw, b = groups[i + 1].raw;
        for (int raw = a; raw < b; ++raw) {
            const double x = level[i] + (level[i + 1] - level[i]) * (raw - a) / (b - a);
            table[std::size_t(raw)] = std::clamp(RoundToTenth(x), -140.0, 0.0);
        }
    }
    table[std::size_t(outcome.HighRaw)] = std::clamp(RoundToTenth(level.back()), -140.0, 0.0);
    return outcome;
}
