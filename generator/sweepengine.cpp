#include "generator/sweepengine.h"

#include <QMetaObject>

#include <algorithm>
#include <chrono>
#include <cmath>

namespace {

constexpr int kMaxSteps = 10000;

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
    if (!std::isfinite(From) || !std::isfinite(To) || !std::isfinite(Step) || !std::isfinite(Loss))
        return fail(QStringLiteral("The levels must be numbers."));
    if (Step <= 0) return fail(QStringLiteral("The level step must be greater than 0 dB."));
    if (To < From)
        return fail(
            QStringLiteral("The level \"to\" (%1 dBm) is below the level \"from\" (%2 dBm).")
                .arg(Number(To), Number(From)));
    const double steps = std::floor((To - From) / Step + 1e-9) + 1;
    if (steps > kMaxSteps)
        return fail(QStringLiteral("%1 steps are too many; at most %2 are allowed.")
                        .arg(Number(steps))
                        .arg(kMaxSteps));
    if (Readings < 1) return fail(QStringLiteral("At least one reading per step is needed."));
    if (SettleMs < 0) return fail(QStringLiteral("The settle time cannot be negative."));
    std::vector<double> levels;
    for (int i = 0; i < int(steps); ++i)
        levels.push_back(From + i * Step);
    return levels;
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
    std::vector<double> levels = settings.Levels(error);
    if (levels.empty()) return false;
    if (!generator)
        generator = Instrument::CreateGenerator(settings.Instrument, settings.TimeoutMs, error);
    if (!generator) return false;
    if (worker_.joinable()) worker_.join();
    generator_ = std::move(generator);
    readings_.clear();
    identity_.clear();
    stepCount_ = int(levels.size());
    {
        std::lock_guard lock(mutex_);
        stop_ = false;
        collecting_ = false;
        queue_.clear();
    }
    running_ = true;
    worker_ = std::thread(&TSweepEngine::Run, this, settings, hz, std::move(levels));
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

std::optional<std::uint8_t> TSweepEngine::Median(int n, int waitMs) {
    std::unique_lock lock(mutex_);
    queue_.clear();
    collecting_ = true;
    std::vector<std::uint8_t> values;
    while (int(values.size()) < n) {
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
    std::nth_element(values.begin(), values.begin() + n / 2, values.end());
    return values[std::size_t(n / 2)];
}

void TSweepEngine::Run(TSweepSettings settings, std::uint64_t hz, std::vector<double> levels) {
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
        // The first level before the output goes on, so the receiver never
        // sees the level the generator had before.
        generator.SetLevel(levels.front());
        generator.SetOutput(true);
        const int count = int(levels.size());
        for (int i = 0; i < count; ++i) {
            if (i > 0) generator.SetLevel(levels[std::size_t(i)]);
            if (!Settle(settings.SettleMs)) break;
            const std::optional<std::uint8_t> raw =
                Median(settings.Readings, settings.ReadingWaitMs);
            if (!raw) break;
            const double level = levels[std::size_t(i)] - settings.Loss;
            post([this, i, count, level, raw] {
                readings_.push_back({level, *raw});
                emit StepDone(i, count, level, *raw);
            });
            completed = i + 1 == count;
        }
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
