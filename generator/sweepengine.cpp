#include "generator/sweepengine.h"

#include <algorithm>
#include <chrono>
#include <cmath>

namespace {

constexpr int kMaxSteps = 10000;
constexpr double kFinestStep = 0.01;
// Readings that agree this often need no more.
constexpr int kAgreeing = 3;

QString Number(double v) {
    return QString::number(v, 'g', 10);
}

} // namespace

std::vector<double> TSweepSettings::Levels(QString *error) const {
    auto fail = [&](const QString &text) {
        if (error) *error = text;
        return std::vector<double>{};
    };
    if (!std::isfinite(From) || !std::isfinite(To) || !std::isfinite(Step) ||
        !std::isfinite(MaxStep) || !std::isfinite(MinStep) || !std::isfinite(Loss))
        return fail(QStringLiteral("The levels must be numbers."));
    if (To < From)
        return fail(
            QStringLiteral("The level \"to\" (%1 dBm) is below the level \"from\" (%2 dBm).")
                .arg(Number(To), Number(From)));
    // Generators set levels in hundredths of a dB at best.
    const double step = Adaptive ? MinStep : Step;
    if (step < kFinestStep)
        return fail(
            Adaptive
                ? QStringLiteral("The finest step must be at least %1 dB.").arg(Number(kFinestStep))
                : QStringLiteral("The level step must be at least %1 dB.")
                      .arg(Number(kFinestStep)));
    if (Adaptive && MaxStep < MinStep)
        return fail(QStringLiteral("The largest step (%1 dB) is below the finest (%2 dB).")
                        .arg(Number(MaxStep), Number(MinStep)));
    if (Adaptive && JumpRaw < 1) return fail(QStringLiteral("The RAW jump must be at least 1."));
    const double steps = std::floor((To - From) / step + 1e-9) + 1;
    if (steps > kMaxSteps)
        return fail(QStringLiteral("%1 steps are too many; at most %2 are allowed.")
                        .arg(Number(steps))
                        .arg(kMaxSteps));
    if (Readings < 1) return fail(QStringLiteral("At least one reading per step is needed."));
    if (SettleMs < 0) return fail(QStringLiteral("The settle time cannot be negative."));
    return TLevelPlanner::Grid(Plan());
}

TStepPlan TSweepSettings::Plan() const {
    return {From, To, Adaptive, Step, MaxStep, MinStep, JumpRaw};
}

TSweepEngine::TSweepEngine(QObject *parent) : TGeneratorRun(parent) {}

TSweepEngine::~TSweepEngine() {
    StopAndWait();
}

bool TSweepEngine::Start(const TSweepSettings &settings, std::uint64_t hz,
                         std::unique_ptr<TGenerator> generator, QString *error) {
    if (Running()) {
        if (error) *error = QStringLiteral("A sweep is running.");
        return false;
    }
    const std::vector<double> levels = settings.Levels(error);
    if (levels.empty()) return false;
    if (!generator)
        generator = Instrument::CreateGenerator(settings.Instrument, settings.TimeoutMs, error);
    if (!generator) return false;
    readings_.clear();
    stepCount_ = int(levels.size());
    liveReadings_ = 0;
    Launch(
        std::move(generator),
        [this, settings, hz](TGenerator &g, QString &) { return Sweep(g, settings, hz); },
        settings.ReadingWaitMs, QStringLiteral("open a receiver before sweeping."));
    return true;
}

bool TSweepEngine::Sweep(TGenerator &generator, const TSweepSettings &settings, std::uint64_t hz) {
    generator.SetFrequency(hz);
    TLevelPlanner planner(settings.Plan());
    // The first level before the output goes on, so the receiver never
    // sees the level the generator had before.
    generator.SetLevel(*planner.Next());
    generator.SetOutput(true);
    for (int i = 0; planner.Next(); ++i) {
        const double setting = *planner.Next();
        // SetLevel returns once the instrument has confirmed the level,
        // so the settle time counts from there.
        if (i > 0) generator.SetLevel(setting);
        if (!Live().Settle(settings.SettleMs)) break;
        int taken = 0;
        const std::optional<std::uint8_t> raw =
            Live().Median(settings.Readings, settings.ReadingWaitMs, kAgreeing, &taken);
        if (!raw) break;
        planner.Record(*raw);
        const double level = setting - settings.Loss;
        const int count = planner.Estimate();
        Post([this, i, count, level, raw, taken] {
            readings_.push_back({level, *raw});
            stepCount_ = count;
            liveReadings_ += taken;
            emit StepDone(i, count, level, *raw);
        });
    }
    return !planner.Next();
}
