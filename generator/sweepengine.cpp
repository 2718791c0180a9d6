#include "generator/sweepengine.h"

#include "generator/outputoff.h"

#include <QMetaObject>

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

TSweepEngine::TSweepEngine(QObject *parent) : QObject(parent) {}

TSweepEngine::~TSweepEngine() {
    Stop();
    if (worker_.joinable()) worker_.join();
}

bool TSweepEngine::Start(const TSweepSettings &settings, std::uint64_t hz,
                         std::unique_ptr<TGenerator> generator, QString *error) {
    if (running_) {
        if (error) *error = QStringLiteral("A sweep is running.");
        return false;
    }
    const std::vector<double> levels = settings.Levels(error);
    if (levels.empty()) return false;
    if (!generator)
        generator = Instrument::CreateGenerator(settings.Instrument, settings.TimeoutMs, error);
    if (!generator) return false;
    if (worker_.joinable()) worker_.join();
    generator_ = std::move(generator);
    readings_.clear();
    identity_.clear();
    stepCount_ = int(levels.size());
    liveReadings_ = 0;
    {
        std::lock_guard lock(mutex_);
        stop_ = false;
    }
    live_.Reset();
    running_ = true;
    worker_ = std::thread(&TSweepEngine::Run, this, settings, hz);
    return true;
}

void TSweepEngine::Stop() {
    {
        std::lock_guard lock(mutex_);
        if (!running_ || stop_) return;
        stop_ = true;
    }
    if (generator_) generator_->Abort();
    live_.Stop();
}

void TSweepEngine::AddReading(std::uint8_t raw) {
    live_.Add(raw);
}

void TSweepEngine::Run(TSweepSettings settings, std::uint64_t hz) {
    TGenerator &generator = *generator_;
    QString error;
    bool completed = false, connected = false;
    bool clean = true; // the connection is in step with the instrument
    auto post = [this](auto &&f) {
        QMetaObject::invokeMethod(this, std::move(f), Qt::QueuedConnection);
    };
    try {
        const QString identity = generator.Connect();
        connected = true;
        post([this, identity] {
            identity_ = identity;
            emit Connected(identity);
        });
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
            if (!live_.Settle(settings.SettleMs)) break;
            int taken = 0;
            const std::optional<std::uint8_t> raw =
                live_.Median(settings.Readings, settings.ReadingWaitMs, kAgreeing, &taken);
            if (!raw) break;
            planner.Record(*raw);
            const double level = setting - settings.Loss;
            const int count = planner.Estimate();
            post([this, i, count, level, raw, taken] {
                readings_.push_back({level, *raw});
                stepCount_ = count;
                liveReadings_ += taken;
                emit StepDone(i, count, level, *raw);
            });
        }
        completed = !planner.Next();
    } catch (const TGeneratorError &e) {
        error = e.Message();
        clean = false;
    } catch (const TReadingQueue::TNoReading &) {
        error = QStringLiteral("No live RAW reading came from the receiver within %1 ms: "
                               "open a receiver before sweeping.")
                    .arg(settings.ReadingWaitMs);
    }
    bool stopped;
    {
        std::lock_guard lock(mutex_);
        stopped = stop_;
    }
    if (stopped && !clean) error.clear(); // the wait that Stop cut short
    if (connected) error = SwitchOutputOff(generator, clean, error);
    generator.Disconnect();
    completed = completed && !stopped && error.isEmpty();
    post([this, completed, error] {
        running_ = false;
        if (worker_.joinable()) worker_.join();
        emit Finished(completed, error);
    });
}
