#include "generator/verifyengine.h"

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

TVerifyEngine::TVerifyEngine(QObject *parent) : TGeneratorRun(parent) {}

TVerifyEngine::~TVerifyEngine() {
    StopAndWait();
}

bool TVerifyEngine::Start(const TVerifySettings &settings, const std::vector<std::uint64_t> &points,
                          std::unique_ptr<TGenerator> generator, TTune tune, TLookup lookup,
                          QString *error) {
    auto fail = [&](const QString &text) {
        if (error) *error = text;
        return false;
    };
    if (Running()) return fail(QStringLiteral("A verification is running."));
    if (!settings.Check(error)) return false;
    if (points.empty()) return fail(QStringLiteral("There is no point to verify."));
    if (!generator || !tune || !lookup)
        return fail(QStringLiteral("The verification has no generator or receiver."));

    tune_ = std::move(tune);
    lookup_ = std::move(lookup);
    result_ = {};
    result_.Tolerance = settings.Tolerance;
    result_.Loss = settings.Loss;
    result_.Levels = settings.Levels;
    {
        std::lock_guard lock(mutex_);
        tuneDone_ = false;
    }
    Launch(
        std::move(generator),
        [this, settings, points](TGenerator &g, QString &e) {
            return Verify(g, settings, points, e);
        },
        settings.ReadingWaitMs, QStringLiteral("is a receiver open?"),
        [this](bool completed) {
            result_.Identity = Identity();
            result_.Complete = completed;
        });
    return true;
}

bool TVerifyEngine::TunePoint(std::uint64_t hz, QString &error) {
    {
        std::lock_guard lock(mutex_);
        tuneDone_ = false;
    }
    Post([this, hz] {
        {
            std::lock_guard lock(mutex_);
            if (stop_) return; // the worker has given up waiting
        }
        QString text;
        const bool ok = tune_(hz, text);
        if (ok) result_.Points.push_back({hz, {}});
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

bool TVerifyEngine::Verify(TGenerator &generator, const TVerifySettings &settings,
                           const std::vector<std::uint64_t> &points, QString &error) {
    bool outputOn = false;
    const int pointCount = int(points.size());
    const int levelCount = int(settings.Levels.size());
    for (int p = 0; p < pointCount && error.isEmpty(); ++p) {
        if (!TunePoint(points[std::size_t(p)], error)) return false;
        generator.SetFrequency(points[std::size_t(p)]);
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
                Live().Settle(settings.SettleMs)
                    ? Live().Median(settings.Readings, settings.ReadingWaitMs)
                    : std::nullopt;
            if (!raw) return false;
            const double applied = level - settings.Loss;
            const std::uint64_t hz = points[std::size_t(p)];
            Post([this, p, l, hz, level, applied, raw] {
                TVerifyReading reading{level, applied, *raw, lookup_(hz, *raw)};
                result_.Points.back().Readings.push_back(reading);
                emit ReadingDone(p, l);
            });
        }
    }
    return error.isEmpty();
}
