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

double Limited(double x) {
    return std::clamp(RoundToTenth(x), -140.0, 0.0);
}

QString Entries(int count) {
    return count == 1 ? QStringLiteral("1 entry") : QStringLiteral("%1 entries").arg(count);
}

} // namespace

TSweepOutcome ApplySweep(const std::vector<TSweepReading> &readings, std::array<double, 256> &table,
                         TTableEnds ends) {
    TSweepOutcome outcome;
    outcome.Ends = ends;
    std::vector<TSweepReading> rising = readings;
    std::stable_sort(
        rising.begin(), rising.end(),
        [](const TSweepReading &a, const TSweepReading &b) { return a.Level < b.Level; });
    std::vector<Group> groups;
    for (const TSweepReading &r : rising) {
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
        for (int raw = a; raw < b; ++raw)
            table[std::size_t(raw)] =
                Limited(level[i] + (level[i + 1] - level[i]) * (raw - a) / (b - a));
    }
    table[std::size_t(outcome.HighRaw)] = Limited(level.back());

    if (ends == TTableEnds::teKeep) return outcome;
    const double below = ends == TTableEnds::teHold ? table[std::size_t(outcome.LowRaw)] : 0.0;
    const double above = ends == TTableEnds::teHold ? table[std::size_t(outcome.HighRaw)] : 0.0;
    std::fill(table.begin(), table.begin() + outcome.LowRaw, below);
    std::fill(table.begin() + outcome.HighRaw + 1, table.end(), above);
    return outcome;
}

QString TableEndsName(TTableEnds ends) {
    switch (ends) {
    case TTableEnds::teKeep:
        return QStringLiteral("keep as they were");
    case TTableEnds::teHold:
        return QStringLiteral("hold the end value");
    default:
        return QStringLiteral("not set");
    }
}

QString OutcomeText(const TSweepOutcome &outcome) {
    if (!outcome.Valid) return QStringLiteral("no rising RAW readings");
    const QString done = outcome.Ends == TTableEnds::teKeep ? QStringLiteral("kept as they were")
                         : outcome.Ends == TTableEnds::teHold
                             ? QStringLiteral("set to the end value")
                             : QStringLiteral("not set");
    QString text = QStringLiteral("RAW %1 to %2").arg(outcome.LowRaw).arg(outcome.HighRaw);
    const int below = outcome.Below(), above = outcome.Above();
    if (below == 0 && above == 0) return text + QStringLiteral("; no entries outside");
    text += QStringLiteral("; ");
    if (below > 0) text += Entries(below) + QStringLiteral(" below");
    if (below > 0 && above > 0) text += QStringLiteral(" and ");
    if (above > 0) text += Entries(above) + QStringLiteral(" above");
    return text + QLatin1Char(' ') + done;
}
