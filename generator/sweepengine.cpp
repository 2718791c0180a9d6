#include "generator/sweepengine.h"

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

// No live reading at all: nothing can be recorded.
class TNoReading : public std::exception {};

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
        collecting_ = false;
        queue_.clear();
    }
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
    wake_.notify_all();
}

void TSweepEngine::AddReading(std::uint8_t raw) {
    {
        std::lock_guard lock(mutex_);
        latest_ = raw;
        if (!collecting_) return;
        queue_.push_back(raw);
    }
    wake_.notify_all();
}

bool TSweepEngine::Settle(int ms) {
    std::unique_lock lock(mutex_);
    return !wake_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return stop_; });
}

std::optional<std::uint8_t> TSweepEngine::Median(int n, int waitMs, int &taken) {
    std::unique_lock lock(mutex_);
    queue_.clear();
    collecting_ = true;
    std::vector<std::uint8_t> values;
    auto agree = [&] {
        return int(values.size()) == kAgreeing &&
               std::all_of(values.begin(), values.end(), [&](auto v) { return v == values[0]; });
    };
    while (int(values.size()) < n && !agree()) {
        const bool woken = wake_.wait_for(lock, std::chrono::milliseconds(waitMs),
                                          [this] { return stop_ || !queue_.empty(); });
        if (stop_) break;
        if (woken) {
            values.push_back(queue_.front());
            queue_.pop_front();
        } else if (latest_) {
            values.push_back(*latest_);
        } else {
            collecting_ = false;
            throw TNoReading();
        }
    }
    collecting_ = false;
    if (stop_) return std::nullopt;
    taken = int(values.size());
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
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
            if (!Settle(settings.SettleMs)) break;
            int taken = 0;
            const std::optional<std::uint8_t> raw =
                Median(settings.Readings, settings.ReadingWaitMs, taken);
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
    } catch (const TNoReading &) {
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
    if (connected) {
        // The output goes off whatever happened. After a cut-off exchange a
        // late answer may still be on its way, so that is done on a fresh
        // connection (which also reaches an instrument that dropped the first).
        generator.Resume();
        try {
            if (!clean) {
                generator.Disconnect();
                generator.Connect();
            }
            generator.SetOutput(false);
        } catch (const TGeneratorError &e) {
            const QString off =
                QStringLiteral("The output could not be switched off; it may still be on.\n") +
                e.Message();
            error = error.isEmpty() ? off : error + QStringLiteral("\n\n") + off;
        }
    }
    generator.Disconnect();
    completed = completed && !stopped && error.isEmpty();
    post([this, completed, error] {
        running_ = false;
        if (worker_.joinable()) worker_.join();
        emit Finished(completed, error);
    });
}
