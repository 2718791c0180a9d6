// Ctrl+C (SIGINT) and SIGTERM while a run is on the bench: the signal only
// writes a byte into a pipe, and the event loop hears it as Interrupted(),
// so the run can switch the generator off and save before it ends. A second
// signal ends the program at once, as the default action does.
#pragma once

#include <QObject>

#include <memory>

class QSocketNotifier;

class TInterruptWatch : public QObject {
    Q_OBJECT
public:
    explicit TInterruptWatch(QObject *parent = nullptr);
    // Restores the signals' previous actions.
    ~TInterruptWatch() override;

    bool IsInterrupted() const { return interrupted_; }
    // The number of the signal that came (SIGINT, SIGTERM), 0 before one.
    int Signal() const { return signal_; }

signals:
    void Interrupted();

private:
    void Read();

    std::unique_ptr<QSocketNotifier> notifier_;
    bool interrupted_ = false;
    int signal_ = 0;
};
