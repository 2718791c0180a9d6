// The verification run: for each frequency point the receiver is tuned (on
// the GUI thread, through a hook), the generator set to the point and
// stepped through the level list; at each level, after the settle time, the
// median of the next live RAW readings is looked up in the open set (again
// through a hook, on the GUI thread) and recorded with the applied level.
// The run only reads the set; nothing here can change it. The run's thread,
// Stop and the output switched off at the end come from TGeneratorRun, and
// every hook is called on the GUI thread.
#pragma once

#include "generator/generatorrun.h"
#include "generator/verification.h"

#include <QString>

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

struct TVerifySettings {
    std::vector<double> Levels = Verification::DefaultLevels(); // generator levels, dBm
    double Loss = 0.0;                                          // dB
    double Tolerance = TVerification::kDefaultTolerance;        // dB
    int SettleMs = 150;
    int Readings = 5;
    // How long a step waits for a live reading; when none comes the RAW value
    // has not changed and the last one counts again.
    int ReadingWaitMs = 1000;

    // False with a message for settings that cannot run.
    bool Check(QString *error = nullptr) const;
};

class TVerifyEngine : public TGeneratorRun {
    Q_OBJECT
public:
    // Tunes the receiver to a point; false, with a message, ends the run.
    using TTune = std::function<bool(std::uint64_t hz, QString &error)>;
    // The dBm that the set gives for a RAW reading at a point; nothing when
    // that entry holds no calibration.
    using TLookup = std::function<std::optional<double>(std::uint64_t hz, std::uint8_t raw)>;

    explicit TVerifyEngine(QObject *parent = nullptr);
    // Stops a running verification and waits for its worker.
    ~TVerifyEngine() override;

    // Starts the run over `points`; false with `error` when one is running or
    // the settings, points, generator or hooks are missing or not valid.
    bool Start(const TVerifySettings &settings, const std::vector<std::uint64_t> &points,
               std::unique_ptr<TGenerator> generator, TTune tune, TLookup lookup,
               QString *error = nullptr);

    // What has been recorded so far; whole after Finished.
    const TVerification &Result() const { return result_; }

signals:
    // Result().Points[point].Readings[level] has been recorded.
    void ReadingDone(int point, int level);

private:
    bool Verify(TGenerator &generator, const TVerifySettings &settings,
                const std::vector<std::uint64_t> &points, QString &error);
    // Tunes on the GUI thread and waits for it; false when stopped or failed.
    bool TunePoint(std::uint64_t hz, QString &error);
    void Stopping() override { tuned_.notify_all(); }

    TTune tune_;
    TLookup lookup_;
    TVerification result_;

    // Under mutex_.
    std::condition_variable tuned_;
    bool tuneDone_ = false;
    bool tuneOk_ = false;
    QString tuneError_;
};
