// A generator that speaks SCPI text over a raw TCP socket (port 5025 by
// default). Each setting is followed by "*OPC?", which waits until the
// instrument has applied it, and by "SYST:ERR?"; an entry in the error queue
// fails the setting with the instrument's own text.
//
// The socket belongs to the thread that calls Connect(); use the object from
// that thread only (Abort() excepted).
#pragma once

#include "generator/generator.h"

#include <QByteArray>
#include <QString>

#include <atomic>
#include <memory>

class QTcpSocket;

// The level command: "POW" of the standard [SOURce:]POWer[:LEVel] tree, or
// "LEV" of the generators that use [SOURce:]LEVel.
enum class TLevelCommand { lcPower, lcLevel };

class TScpiGenerator : public TGenerator {
public:
    static constexpr int kDefaultPort = 5025;
    static constexpr int kDefaultTimeoutMs = 3000;

    TScpiGenerator(const QString &host, int port,
                   TLevelCommand levelCommand = TLevelCommand::lcPower,
                   int timeoutMs = kDefaultTimeoutMs);
    ~TScpiGenerator() override;

    QString Connect() override;
    void SetFrequency(std::uint64_t hz) override;
    void SetLevel(double dbm) override;
    void SetOutput(bool on) override;
    QString ReadError() override;
    void Disconnect() override;
    void Abort() override { aborted_ = true; }
    void Resume() override { aborted_ = false; }
    QString Address() const override;

    // One command line without an answer, and one query with its answer line.
    void Send(const QByteArray &command);
    QByteArray Query(const QByteArray &query);

private:
    void Setting(const QByteArray &command);
    QByteArray ReadLine(const QByteArray &query);
    [[noreturn]] void Fail(const QString &what);
    void CheckAborted();

    QString host_;
    int port_;
    TLevelCommand levelCommand_;
    int timeoutMs_;
    std::unique_ptr<QTcpSocket> socket_;
    std::atomic<bool> aborted_{false};
};
