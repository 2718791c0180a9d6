#include "generator/generatorrun.h"

#include <QMetaObject>

namespace {

// Switches the output of a connected generator off. `clean` says whether the
// connection is still in step with the instrument; when it is not (an
// exchange was cut off, a late answer may still come) it is done on a fresh
// connection, which also reaches an instrument that dropped the first.
// Answers `error` with the reason appended when the output could not be
// switched off.
QString SwitchOutputOff(TGenerator &generator, bool clean, const QString &error) {
    generator.Resume();
    try {
        if (!clean) {
            generator.Disconnect();
            generator.Connect();
        }
        generator.SetOutput(false);
        return error;
    } catch (const TGeneratorError &e) {
        const QString off =
            QStringLiteral("The output could not be switched off; it may still be on.\n") +
            e.Message();
        return error.isEmpty() ? off : error + QStringLiteral("\n\n") + off;
    }
}

} // namespace

TGeneratorRun::TGeneratorRun(QObject *parent) : QObject(parent) {}

TGeneratorRun::~TGeneratorRun() {
    StopAndWait();
}

void TGeneratorRun::StopAndWait() {
    Stop();
    if (worker_.joinable()) worker_.join();
}

void TGeneratorRun::Stop() {
    {
        std::lock_guard lock(mutex_);
        if (!running_ || stop_) return;
        stop_ = true;
    }
    // The generator first: a worker woken from a wait goes on to switch the
    // output off, which an Abort after that would cut short.
    if (generator_) generator_->Abort();
    Stopping();
    live_.Stop();
}

void TGeneratorRun::Post(std::function<void()> call) {
    QMetaObject::invokeMethod(this, std::move(call), Qt::QueuedConnection);
}

void TGeneratorRun::Launch(std::unique_ptr<TGenerator> generator, TWork work, int readingWaitMs,
                           QString noReading, std::function<void(bool)> ended) {
    if (worker_.joinable()) worker_.join();
    generator_ = std::move(generator);
    identity_.clear();
    {
        std::lock_guard lock(mutex_);
        stop_ = false;
    }
    live_.Reset();
    running_ = true;
    worker_ = std::thread(&TGeneratorRun::Run, this, std::move(work), readingWaitMs,
                          std::move(noReading), std::move(ended));
}

void TGeneratorRun::Run(TWork work, int readingWaitMs, QString noReading,
                        std::function<void(bool)> ended) {
    TGenerator &generator = *generator_;
    QString error;
    bool completed = false, connected = false;
    bool clean = true; // the connection is in step with the instrument
    try {
        const QString identity = generator.Connect();
        connected = true;
        Post([this, identity] {
            identity_ = identity;
            emit Connected(identity);
        });
        completed = work(generator, error);
    } catch (const TGeneratorError &e) {
        error = e.Message();
        clean = false;
    } catch (const TReadingQueue::TNoReading &) {
        error = QStringLiteral("No live RAW reading came from the receiver within %1 ms: %2")
                    .arg(readingWaitMs)
                    .arg(noReading);
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
    Post([this, completed, error, ended = std::move(ended)] {
        running_ = false;
        if (worker_.joinable()) worker_.join();
        if (ended) ended(completed);
        emit Finished(completed, error);
    });
}
