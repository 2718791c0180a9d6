// The automatic calibration of one frequency point: a worker thread sets the
// generator to the point's frequency, switches it on and steps its level
// through the levels a TLevelPlanner chooses (fixed or adaptive steps). At
// each level it waits until the instrument has confirmed the setting, then
// the settle time, then takes the median of the next live RAW readings and
// records (level, RAW). The run's thread, Stop and the output switched off at
// the end come from TGeneratorRun.
#pragma once

#include "generator/generatorrun.h"
#include "generator/instrument.h"
#include "generator/levelplan.h"
#include "generator/sweeptable.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

struct TSweepSettings {
    // The generator's link and command set (generator/instrument.h).
    TInstrument Instrument;
    double From = -130.0; // generator levels, dBm
    double To = -20.0;
    // Adaptive steps between MinStep and MaxStep, or fixed steps of Step
    // (TLevelPlanner).
    bool Adaptive = true;
    double Step = 1.0;
    double MaxStep = 4.0;
    double MinStep = 0.5;
    int JumpRaw = 16;
    double Loss = 0.0; // dB between generator and receiver
    // Waited after the instrument has confirmed a level.
    int SettleMs = 150;
    // Live readings per level, at most: the median of the first three when
    // they are equal, of all of them otherwise.
    int Readings = 5;
    // How long a step waits for a live reading; when none comes the RAW value
    // has not changed and the last one counts again.
    int ReadingWaitMs = 1000;
    int TimeoutMs = TLink::kDefaultTimeoutMs;

    // The levels known before the sweep (every level of fixed steps, the
    // coarse grid of adaptive ones), or an empty list and `error` set when
    // the settings are not valid.
    std::vector<double> Levels(QString *error = nullptr) const;
    TStepPlan Plan() const;
};

class TSweepEngine : public TGeneratorRun {
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

    // The readings recorded so far (levels at the receiver), in the order
    // they were taken.
    const std::vector<TSweepReading> &Readings() const { return readings_; }
    // The levels expected in all (grows while adaptive steps refine).
    int StepCount() const { return stepCount_; }
    // Live readings taken so far (several per level).
    int LiveReadingCount() const { return liveReadings_; }

signals:
    // The reading of one level; `count` is the number of levels expected now.
    void StepDone(int index, int count, double level, int raw);

private:
    bool Sweep(TGenerator &generator, const TSweepSettings &settings, std::uint64_t hz);

    std::vector<TSweepReading> readings_;
    int stepCount_ = 0;
    int liveReadings_ = 0;
};
