// A programmable signal generator as the automatic calibration drives it.
//
// Every operation blocks until the instrument has answered or a timeout has
// passed, so it must run off the GUI thread (the sweep engine's worker). A
// failure throws TGeneratorError whose text names the instrument's address
// and says what went wrong, ready for the operator's message box.
#pragma once

#include <QString>

#include <cstdint>
#include <stdexcept>

class TGeneratorError : public std::runtime_error {
public:
    explicit TGeneratorError(const QString &message)
        : std::runtime_error(message.toStdString()), message_(message) {}
    const QString &Message() const { return message_; }

private:
    QString message_;
};

class TGenerator {
public:
    virtual ~TGenerator() = default;

    // Opens the connection and answers the instrument's identification.
    virtual QString Connect() = 0;
    virtual void SetFrequency(std::uint64_t hz) = 0;
    virtual void SetLevel(double dbm) = 0;
    virtual void SetOutput(bool on) = 0;
    // The oldest entry of the instrument's error queue ("0,..." when empty).
    virtual QString ReadError() = 0;
    // Closes the connection; never throws.
    virtual void Disconnect() = 0;
    // Makes a wait in progress, and every later operation, fail at once.
    // The only operation that may be called from another thread.
    virtual void Abort() = 0;
    // Undoes Abort(), so that the output can still be switched off.
    virtual void Resume() = 0;
    // "host:port", as the messages name the instrument.
    virtual QString Address() const = 0;
};
