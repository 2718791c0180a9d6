// A signal generator for tests of what drives one: it logs every command as
// an instrument's log would ("FREQ 7100000", "POW -90", "OUTP ON"), can be
// told to refuse one command, and its level and output state stand for the
// signal that reaches a simulated receiver.
#pragma once

#include "generator/generator.h"

#include <QStringList>

#include <atomic>
#include <memory>

namespace testsupport {

// A generator that logs what it is told, like an instrument's command log.
// It can fail at a command, and its level drives the simulated receiver.
class LoggingGenerator : public TGenerator {
public:
    struct Shared {
        QStringList log; // read it once the run has ended
        std::atomic<double> level{-200};
        std::atomic<bool> on{false};
        QString failAt; // the command that fails, once
        int connects = 0;
    };
    explicit LoggingGenerator(std::shared_ptr<Shared> shared) : s_(std::move(shared)) {}

    QString Connect() override {
        ++s_->connects;
        Do(QStringLiteral("connect"));
        return QStringLiteral("Logging,Generator,1,0");
    }
    void SetFrequency(std::uint64_t hz) override { Do(QStringLiteral("FREQ %1").arg(hz)); }
    void SetLevel(double dbm) override {
        Do(QStringLiteral("POW %1").arg(dbm));
        s_->level = dbm;
    }
    void SetOutput(bool on) override {
        Do(on ? QStringLiteral("OUTP ON") : QStringLiteral("OUTP OFF"));
        s_->on = on;
    }
    QString ReadError() override { return QStringLiteral("0,\"No error\""); }
    void Disconnect() override {}
    void Abort() override { aborted_ = true; }
    void Resume() override { aborted_ = false; }
    QString Address() const override { return QStringLiteral("log:0"); }

private:
    void Do(const QString &command) {
        if (aborted_) throw TGeneratorError(QStringLiteral("Signal generator log:0: stopped."));
        s_->log << command;
        if (command == s_->failAt) {
            s_->failAt.clear();
            throw TGeneratorError(
                QStringLiteral("Signal generator log:0: refused %1.").arg(command));
        }
    }
    std::shared_ptr<Shared> s_;
    std::atomic<bool> aborted_{false};
};

} // namespace testsupport
