// What every run that drives a generator shares: a worker thread that
// connects, does the run's own work, and at the end switches the output off
// whatever happened before (at the end, on Stop, on every failure); a Stop
// that cuts any wait short; the live RAW readings the worker waits for; and
// queued calls that bring results and the end back to the GUI thread, so
// every signal is emitted there. The engine object itself lives on the GUI
// thread and nothing it does there blocks.
#pragma once

#include "generator/generator.h"
#include "generator/readingqueue.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

class TGeneratorRun : public QObject {
    Q_OBJECT
public:
    // Stops a running run and waits for its worker.
    ~TGeneratorRun() override;

    // Asks the running run to end; Finished follows once the output is off.
    void Stop();
    bool Running() const { return running_; }
    // The generator's answer to its identification, once connected.
    QString Identity() const { return identity_; }

public slots:
    // A live RAW reading of the receiver (the live level's RawChanged).
    void AddReading(std::uint8_t raw) { live_.Add(raw); }

signals:
    void Connected(const QString &identity);
    // completed: the whole run was recorded; error: empty unless it failed.
    void Finished(bool completed, const QString &error);

protected:
    explicit TGeneratorRun(QObject *parent);
    // The derived engine's destructor calls this before its own members go,
    // since the worker uses them.
    void StopAndWait();

    // The run's own work between Connect and the output going off, on the
    // worker thread; true when all of it was done. It ends early, leaving
    // `error` empty, when a reading wait returns nothing (Stop). Generator
    // errors and a missing live reading may be thrown.
    using TWork = std::function<bool(TGenerator &generator, QString &error)>;
    // Starts the worker; the caller has checked that none is running.
    // `noReading` completes "No live RAW reading came from the receiver
    // within N ms: ...". `ended` runs on the GUI thread just before Finished.
    void Launch(std::unique_ptr<TGenerator> generator, TWork work, int readingWaitMs,
                QString noReading, std::function<void(bool completed)> ended = {});
    // Runs `call` on the GUI thread.
    void Post(std::function<void()> call);
    // Wakes the engine's own waits when Stop is asked (after stop_ is set).
    virtual void Stopping() {}

    TReadingQueue &Live() { return live_; }
    // Guards stop_ and what the engine's own waits share with the GUI thread.
    std::mutex mutex_;
    bool stop_ = false;

private:
    void Run(TWork work, int readingWaitMs, QString noReading, std::function<void(bool)> ended);

    std::unique_ptr<TGenerator> generator_;
    std::thread worker_;
    bool running_ = false;
    QString identity_;
    TReadingQueue live_;
};
