#include "generator/verifyengine.h"

#include "generator/outputoff.h"

#include <QMetaObject>

#include <cmath>

bool TVerifySettings::Check(QString *error) const {
    auto fail = [&](const QString &text) {
        if (error) *error = text;
        return false;
    };
    if (Levels.empty()) return fail(QStringLiteral("Give at least one level."));
    for (double level : Levels)
        if (!std::isfinite(level)) return fail(QStringLiteral("The levels must be numbers."));
    if (!std::isfinite(Loss)) return fail(QStringLiteral("The loss must be a number."));
    if (!(Tolerance > 0) || !std::isfinite(Tolerance))
        return fail(QStringLiteral("The tolerance must be greater than 0 dB."));
    if (Readings < 1) return fail(QStringLiteral("At least one reading per level is needed."));
    if (SettleMs < 0) return fail(QStringLiteral("The settle time cannot be negative."));
    return true;
}

TVerifyEngine::TVerifyEngine(QObject *parent) : QObject(parent) {}

TVerifyEngine::~TVerifyEngine() {
    Stop();
    if (worker_.joinable()) worker_.join();
}

bool TVerifyEngine::Start(const TVerifySettings &settings, const std::vector<std::uint64_t> &points,
                          std::unique_ptr<TGenerator> generator, TTune tune, TLookup lookup,
                          QString *error) {
    auto fail = [&](const QString &text) {
        if (error) *error = text;
        return false;
    };
    if (running_) return fail(QStringLiteral("A verification is running."));
    if (!settings.Check(error)) return false;
    if (points.empty()) return fail(QStringLiteral("There is no point to verify."));
    if (!generator || !tune || !lookup)
        return fail(QStringLiteral("The verification has no generator or receiver."));
    if (worker_.joinable()) worker_.join();

    generator_ = std::move(generator);
    tune_ = std::move(tune);
    lookup_ = std::move(lookup);
    result_ = {};
    result_.Tolerance = settings.Tolerance;
    result_.Loss = settings.Loss;
    result_.Levels = settings.Levels;
    readings_.Reset();
    {
        std::lock_guard lock(mutex_);
        stop_ = false;
        tuneDone_ = false;
    }
    running_ = true;
    worker_ = std::thread(&TVerifyEngine::Run, this, settings, points);
    return true;
}

void TVerifyEngine::Stop() {
    {
        std::lock_guard lock(mutex_);
        if (!running_ || stop_) return;
        stop_ = true;
    }
    readings_.Stop();
    tuned_.notify_all();
    if (generator_) generator_->Abort();
}

void TVerifyEngine::Post(std::function<void()> call) {
    QMetaObject::invokeMethod(this, std::move(call), Qt::QueuedConnection);
}

bool TVerifyEngine::TunePoint(int index, std::uint64_t hz, QString &error) {
    {
        std::lock_guard lock(mutex_);
        tuneDone_ = false;
    }
    Post([this, index, hz] {
        {
            std::lock_guard lock(mutex_);
            if (stop_) return; // the worker has given up waiting
        }
        QString text;
        const bool ok = tune_(hz, text);
        if (ok) {
            result_.Points.push_back({hz, {}});
            emit PointStarted(index, hz);
        }
        {
            std::lock_guard lock(mutex_);
            tuneDone_ = true;
            tuneOk_ = ok;
            tuneError_ = text;
        }
        tuned_.notify_all();
    });
    std::unique_lock lock(mutex_);
    tuned_.wait(lock, [this] { return tuneDone_ || stop_; });
    if (stop_) return false;
    if (!tuneOk_)
        error = tuneError_.isEmpty()
                    ? QStringLiteral("The receiver could not be tuned to %1 Hz.").arg(hz)
                    : tuneError_;
    return tuneOk_;
}

void TVerifyEngine::Run(TVerifySettings settings, std::vector<std::uint64_t> points) {
    TGenerator &generator = *generator_;
    QString error;
    bool completed = false, connected = false, outputOn = false;
    bool clean = true; // the connection is in step with the instrument
    try {
        const QString identity = generator.Connect();
        connected = true;
        Post([this, identity] {
            result_.Identity = identity;
            emit Connected(identity);
        });
        const int pointCount = int(points.size());
        const int levelCount = int(settings.Levels.size());
        for (int p = 0; p < pointCount && error.isEmpty(); ++p) {
            if (!TunePoint(p, points[std::size_t(p)], error)) break;
            generator.SetFrequency(points[std::size_t(p)]);
            bool stopped = false;
            for (int l = 0; l < levelCount; ++l) {
                const double level = settings.Levels[std::size_t(l)];
                generator.SetLevel(level);
                // The first level is set before the output goes on, so the
                // receiver never sees the level the generator had before.
                if (!outputOn) {
                    generator.SetOutput(true);
                    outputOn = true;
                }
                const std::optional<std::uint8_t> raw =
                    readings_.Settle(settings.SettleMs)
                        ? readings_.Median(settings.Readings, settings.ReadingWaitMs)
                        : std::nullopt;
                if (!raw) {
                    stopped = true;
                    break;
                }
                const double applied = level - settings.Loss;
                const std::uint64_t hz = points[std::size_t(p)];
                Post([this, p, l, hz, level, applied, raw] {
                    TVerifyReading reading{level, applied, *raw, lookup_(hz, *raw)};
                    result_.Points.back().Readings.push_back(reading);
                    emit ReadingDone(p, l);
                });
            }
            if (stopped) break;
            completed = p + 1 == pointCount;
        }
    } catch (const TGeneratorError &e) {
        error = e.Message();
        clean = false;
    } catch (const TReadingQueue::TNoReading &) {
        error = QStringLiteral("No live RAW reading came from the receiver within %1 ms: "
                               "is a receiver open?")
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
    Post([this, completed, error] {
        running_ = false;
        if (worker_.joinable()) worker_.join();
        result_.Complete = completed;
        emit Finished(completed, error);
    });
}
