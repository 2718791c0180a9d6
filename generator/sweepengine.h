// The automatic calibration of one frequency point: a worker thread sets the
// generator to the point's frequency, switches it on and steps its level; at
// each step it waits the settle time, takes the median of the next live RAW
// readings and records (level, RAW). The output is switched off at the end,
// on Stop and on every failure. The engine itself lives on the GUI thread:
// it hears the live readings through AddReading() and reports through
// signals; nothing it does there blocks.
#pragma once

#include "generator/generator.h"
#include "generator/instrument.h"
#include "generator/sweeptable.h"

#include <QObject>
#include <QString>

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

struct TSweepSettings {
    // The generator's link and command set (generator/instrument.h).
    TInstrument Instrument;
    double From = -130.0; // generator levels, dBm
    double To = -20.0;
    double Step = 1.0;
    double Loss = 0.0; // dB between generator and receiver
    int SettleMs = 150;
    int Readings = 5;
    // How long a step waits for a live reading; when none comes the RAW value
    // has not changed and the last one counts again.
    int ReadingWaitMs = 1000;
    int TimeoutMs = TLink::kDefaultTimeoutMs;

    // The generator levels of the sweep, or an empty list and `error` set.
    std::vector<double> Levels(QString *error = nullptr) const;
};

class TSweepEngine : public QObject {
    Q_OBJECT
public:
    explicit TSweepEngine(QObject *parent = nullptr);
    // Stops a running sweep and waits for its worker.
    ~TSweepEngine() override;

    // Starts a sweep at `hz`; `generator` replaces the one the settings'
    // instrument describes. False (and Finished-free) when one is running, or
    // the settings or the instrument's link or command set are invalid;
    // `error` says why.
    bool Start(const TSweepSettings &settings, std::uint64_t hz,
               std::unique_ptr<TGenerator> generator = {}, QString *error = nullptr);
    // Asks the running sweep to end; Finished follows once the output is off.
    void Stop();
    bool Running() const { return running_; }

    // The readings recorded so far (levels at the receiver).
    const std::vector<TSweepReading> &Readings() const { return readings_; }
    int StepCount() const { return stepCount_; }
    QString Identity() const { return identity_; }

public slots:
    // A live RAW reading of the receiver (the live level's RawChanged).
    void AddReading(std::uint8_t raw);

signals:
    void Connected(const QString &identity);
    void StepDone(int index, int count, double level, int raw);
    // completed: every step was recorded; error: empty unless it failed.
    void Finished(bool completed, const QString &error);

private:
    void Run(TSweepSettings settings, std::uint64_t hz, std::vector<double> levels);
    // Waits the settle time; false when stopped.
    bool Settle(int ms);
    // The median of the next n readings; nothing when stopped.
    std::optional<std::uint8_t> Median(int n, int waitMs);

    std::unique_ptr<TGenerator> generator_;
    std::thread worker_;
    bool running_ = false;
    std::vector<TSweepReading> readings_;
    int stepCount_ = 0;
    QString identity_;

    std::mutex mutex_;
    std::condition_variable wake_;
    bool stop_ = false;
    bool collecting_ = false;
    std::deque<std::uint8_t> queue_;
    std::optional<std::uint8_t> latest_;
};
