// The sweep engine and its SCPI client against a scripted instrument on a
// local socket: what is sent, in which order, and what the operator is told.
#include "generator/sweepengine.h"

#include <QEventLoop>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

namespace {

// A generator as a test scripts it: it logs every line it hears and answers
// the queries; it can stay silent, drop the line or report an error.
class FakeInstrument : public QObject {
public:
    QByteArray silentFrom; // from this command on nothing is answered
    QByteArray closeAt;    // the connection drops when this command arrives
    QByteArray errorAfter; // the next SYST:ERR? after this command reports -222
    QStringList heard;     // every line, a "--" at each new connection
    double level = -200;

    FakeInstrument() {
        server.listen(QHostAddress::LocalHost);
        connect(&server, &QTcpServer::newConnection, this, [this] {
            QTcpSocket *s = server.nextPendingConnection();
            heard << "--";
            connect(s, &QTcpSocket::readyRead, this, [this, s] { Serve(s); });
        });
    }
    int Port() const { return server.serverPort(); }

private:
    void Serve(QTcpSocket *s) {
        while (s->canReadLine()) {
            const QByteArray line = s->readLine().trimmed();
            heard << QString::fromLatin1(line);
            if (line == closeAt) {
                closeAt.clear();
                s->disconnectFromHost();
                return;
            }
            if (!silentFrom.isEmpty() && line == silentFrom) silent = true;
            if (line.startsWith("POW ") || line.startsWith("LEV ")) level = line.mid(4).toDouble();
            if (line == errorAfter) pendingError = true, errorAfter.clear();
            if (silent) continue;
            if (line == "*IDN?") s->write("Fake,Generator,1,0\n");
            if (line == "*OPC?") s->write("1\n");
            if (line == "SYST:ERR?") {
                s->write(pendingError ? "-222,\"Data out of range\"\n" : "0,\"No error\"\n");
                pendingError = false;
            }
        }
    }
    QTcpServer server;
    bool silent = false, pendingError = false;
};

struct SweepRun {
    bool finished = false, completed = false;
    QString error;
    int ticks = 0; // GUI timer ticks while the sweep ran
};

// Runs a sweep at 7.1 MHz fed by a live RAW that follows the fake's level.
SweepRun Sweep(FakeInstrument &fake, TSweepSettings settings, int stopAfterSteps = -1,
               std::vector<TSweepReading> *readings = nullptr, int port = -1) {
    settings.Instrument.Link =
        QString("TCPIP0::127.0.0.1::%1::SOCKET").arg(port >= 0 ? port : fake.Port());
    settings.SettleMs = 0;
    settings.TimeoutMs = 400;
    TSweepEngine engine;
    SweepRun run;
    QTimer feed;
    QObject::connect(&feed, &QTimer::timeout, [&] {
        ++run.ticks;
        engine.AddReading(std::uint8_t(std::clamp(fake.level + 140, 0.0, 255.0)));
    });
    feed.start(2);
    QObject::connect(&engine, &TSweepEngine::StepDone, [&](int index, int, double, int) {
        if (index + 1 == stopAfterSteps) engine.Stop();
    });
    QEventLoop loop;
    QObject::connect(&engine, &TSweepEngine::Finished, [&](bool completed, const QString &error) {
        run = {true, completed, error, run.ticks};
        loop.quit();
    });
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    EXPECT_TRUE(engine.Start(settings, 7'100'000));
    loop.exec();
    EXPECT_TRUE(run.finished);
    if (readings) *readings = engine.Readings();
    return run;
}

QStringList Setting(const QString &command) {
    return {command, "*OPC?", "SYST:ERR?"};
}

TEST(SweepEngine, CommandSequenceAndRecordedLevels) {
    struct Case {
        const char *commands;
        double loss;
        const char *word;
    } cases[] = {{"SCPI POWer", 0, "POW"}, {"SCPI LEVel", 10, "LEV"}};
    for (const Case &c : cases) {
        FakeInstrument fake;
        TSweepSettings settings;
        settings.Instrument.Commands = c.commands;
        settings.From = -100;
        settings.To = -98.5;
        settings.Step = 0.5;
        settings.Loss = c.loss;
        settings.Readings = 3;
        std::vector<TSweepReading> readings;
        const SweepRun run = Sweep(fake, settings, -1, &readings);
        EXPECT_TRUE(run.completed) << run.error.toStdString();
        EXPECT_TRUE(run.error.isEmpty());
        const QString w = QString::fromLatin1(c.word);
        QStringList expected = {"--", "*IDN?"};
        expected << Setting("FREQ 7100000") << Setting(w + " -100") << Setting("OUTP ON")
                 << Setting(w + " -99.5") << Setting(w + " -99") << Setting(w + " -98.5")
                 << Setting("OUTP OFF");
        EXPECT_EQ(fake.heard, expected);
        ASSERT_EQ(readings.size(), 4u);
        EXPECT_EQ(readings[0].Level, -100 - c.loss);
        EXPECT_EQ(readings[3].Level, -98.5 - c.loss);
        EXPECT_EQ(readings[3].Raw, 41);
    }
}

TEST(SweepEngine, FailuresNameTheAddressAndSwitchTheOutputOff) {
    struct Case {
        const char *name;
        std::function<void(FakeInstrument &)> script;
        int stopAfter;
        const char *message; // empty: no error expected
        std::size_t readingsKept;
        bool outputOffSent;
    } cases[] = {
        {"refused", nullptr, -1, "the connection was refused", 0, false},
        {"silent", [](FakeInstrument &f) { f.silentFrom = "*IDN?"; }, -1,
         "no answer to \"*IDN?\" within 0.4 s", 0, false},
        {"closes", [](FakeInstrument &f) { f.closeAt = "POW -99"; }, -1,
         "the instrument closed the connection", 1, true},
        {"instrument error", [](FakeInstrument &f) { f.errorAfter = "POW -99"; }, -1,
         "reports -222,\"Data out of range\" after \"POW -99\"", 1, true},
        {"stopped", nullptr, 2, "", 2, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        FakeInstrument fake;
        if (c.script) c.script(fake);
        int port = -1;
        if (!c.script && c.stopAfter < 0) { // a port nobody listens on
            QTcpServer closed;
            closed.listen(QHostAddress::LocalHost);
            port = closed.serverPort();
        }
        TSweepSettings settings;
        settings.From = -100;
        settings.To = -90;
        settings.Readings = 2;
        std::vector<TSweepReading> readings;
        const SweepRun run = Sweep(fake, settings, c.stopAfter, &readings, port);
        EXPECT_FALSE(run.completed);
        if (*c.message) {
            const QString address = "127.0.0.1:" + QString::number(port >= 0 ? port : fake.Port());
            EXPECT_TRUE(run.error.startsWith("Signal generator " + address + ": "))
                << run.error.toStdString();
            EXPECT_TRUE(run.error.contains(c.message)) << run.error.toStdString();
        } else {
            EXPECT_TRUE(run.error.isEmpty()) << run.error.toStdString();
        }
        EXPECT_EQ(readings.size(), c.readingsKept);
        EXPECT_EQ(fake.heard.contains("OUTP OFF"), c.outputOffSent);
        if (c.script && !c.readingsKept) {
            EXPECT_GT(run.ticks, 20); // the GUI thread went on meanwhile
        }
    }
}

TEST(SweepEngine, InvalidSettingsDoNotStart) {
    struct Case {
        double from, to, step;
        int readings;
        const char *link, *commands;
        const char *message;
    } cases[] = {
        {-20, -130, 1, 5, "127.0.0.1", "SCPI POWer", "is below the level \"from\""},
        {-130, -20, 0, 5, "127.0.0.1", "SCPI POWer", "step must be greater than 0"},
        {-130, -20, 0.001, 5, "127.0.0.1", "SCPI POWer", "too many"},
        {-130, -20, 1, 0, "127.0.0.1", "SCPI POWer", "At least one reading"},
        {-130, -20, 1, 5, "GPIB0::31::INSTR via 127.0.0.1", "SCPI POWer", "0 to 30, not 31"},
        {-130, -20, 1, 5, "127.0.0.1", "SCPI Nonesuch", "no command set \"SCPI Nonesuch\""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.message);
        TSweepSettings settings;
        settings.From = c.from;
        settings.To = c.to;
        settings.Step = c.step;
        settings.Readings = c.readings;
        settings.Instrument = {c.link, c.commands};
        TSweepEngine engine;
        QString error;
        EXPECT_FALSE(engine.Start(settings, 1000, nullptr, &error));
        EXPECT_TRUE(error.contains(c.message)) << error.toStdString();
        EXPECT_FALSE(engine.Running());
    }
}

} // namespace
