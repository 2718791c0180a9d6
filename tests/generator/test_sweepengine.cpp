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
#include <optional>

namespace {

// A generator as a test scripts it: it logs every line it hears and answers
// the queries; it can stay silent, drop the line or report an error.
class FakeInstrument : public QObject {
public:
    QByteArray silentFrom; // from this command on nothing is answered
    QByteArray closeAt;    // the connection drops when this command arrives
    QByteArray errorAfter; // the next SYST:ERR? after this command reports -222
    int confirmMs = 0;     // a level takes this long to apply; *OPC? answers then
    QStringList heard;     // every line, a "--" at each new connection
    double level = -200;   // the level applied at the output

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
            if (line.startsWith("POW ") || line.startsWith("LEV "))
                setting = line.mid(4).toDouble();
            if (line == errorAfter) pendingError = true, errorAfter.clear();
            if (silent) continue;
            if (line == "*IDN?") s->write("Fake,Generator,1,0\n");
            if (line == "*OPC?") {
                // The level reaches the output when the instrument says so.
                QTimer::singleShot(confirmMs, s, [this, s] {
                    if (setting) level = *setting;
                    setting.reset();
                    s->write("1\n");
                });
            }
            if (line == "SYST:ERR?") {
                s->write(pendingError ? "-222,\"Data out of range\"\n" : "0,\"No error\"\n");
                pendingError = false;
            }
        }
    }
    QTcpServer server;
    bool silent = false, pendingError = false;
    std::optional<double> setting;
};

struct SweepRun {
    bool finished = false, completed = false;
    QString error;
    int ticks = 0; // GUI timer ticks while the sweep ran
};

// Runs a sweep at 7.1 MHz fed by a live RAW that follows the fake's level.
SweepRun Sweep(FakeInstrument &fake, TSweepSettings settings, int stopAfterSteps = -1,
               std::vector<TSweepReading> *readings = nullptr, int port = -1,
               int *liveReadings = nullptr, int noise = 0) {
    settings.Instrument.Link =
        QString("TCPIP0::127.0.0.1::%1::SOCKET").arg(port >= 0 ? port : fake.Port());
    settings.SettleMs = 0;
    settings.TimeoutMs = 400;
    TSweepEngine engine;
    SweepRun run;
    QTimer feed;
    QObject::connect(&feed, &QTimer::timeout, [&] {
        ++run.ticks;
        // With noise, every third reading is `noise` RAW higher: no three in
        // a row agree, and the median of more is the level's.
        const double raw = fake.level + 140 + (run.ticks % 3 ? 0 : noise);
        engine.AddReading(std::uint8_t(std::clamp(raw, 0.0, 255.0)));
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
    if (liveReadings) *liveReadings = engine.LiveReadingCount();
    return run;
}

QStringList Setting(const QString &command) {
    return {command, "*OPC?", "SYST:ERR?"};
}

TEST(SweepEngine, CommandSequenceAndRecordedLevels) {
    struct Case {
        const char *commands;
        bool adaptive;
        double loss;
        const char *word;
        std::vector<const char *> levels;
    } cases[] = {
        {"SCPI POWer", false, 0, "POW", {"-100", "-99.5", "-99", "-98.5"}},
        {"SCPI LEVel", false, 10, "LEV", {"-100", "-99.5", "-99", "-98.5"}},
        // A straight response: the coarse grid and the end level, no more.
        {"SCPI POWer", true, 0, "POW", {"-100", "-96", "-92", "-90"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.adaptive);
        FakeInstrument fake;
        TSweepSettings settings;
        settings.Instrument.Commands = c.commands;
        settings.Adaptive = c.adaptive;
        settings.From = -100;
        settings.To = c.adaptive ? -90 : -98.5;
        settings.Step = 0.5;
        settings.Loss = c.loss;
        settings.Readings = 3;
        std::vector<TSweepReading> readings;
        const SweepRun run = Sweep(fake, settings, -1, &readings);
        EXPECT_TRUE(run.completed) << run.error.toStdString();
        EXPECT_TRUE(run.error.isEmpty());
        const QString w = QString::fromLatin1(c.word);
        QStringList expected = {"--", "*IDN?"};
        expected << Setting("FREQ 7100000") << Setting(w + " " + c.levels[0]) << Setting("OUTP ON");
        for (std::size_t i = 1; i < c.levels.size(); ++i)
            expected << Setting(w + " " + c.levels[i]);
        expected << Setting("OUTP OFF");
        EXPECT_EQ(fake.heard, expected);
        ASSERT_EQ(readings.size(), c.levels.size());
        EXPECT_EQ(readings.front().Level, -100 - c.loss);
        EXPECT_EQ(readings.back().Level, QByteArray(c.levels.back()).toDouble() - c.loss);
        EXPECT_EQ(readings.back().Raw, int(QByteArray(c.levels.back()).toDouble() + 140));
    }
}

// Readings stop early when they agree, and they count only once the
// instrument has confirmed the level.
TEST(SweepEngine, ReadingsPerLevelAndTheirTiming) {
    const struct {
        const char *name;
        int readings, noise, confirmMs;
        int perLevel; // live readings taken per level
    } cases[] = {
        {"three agree", 5, 0, 0, 3},
        {"they differ: all five", 5, 1, 0, 5},
        {"one is enough", 1, 0, 0, 1},
        {"a slow instrument", 3, 0, 300, 3},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        FakeInstrument fake;
        fake.confirmMs = c.confirmMs;
        TSweepSettings settings;
        settings.Adaptive = false;
        settings.From = -100;
        settings.To = -99;
        settings.Step = 0.5;
        settings.Readings = c.readings;
        std::vector<TSweepReading> readings;
        int live = 0;
        const SweepRun run = Sweep(fake, settings, -1, &readings, -1, &live, c.noise);
        EXPECT_TRUE(run.completed) << run.error.toStdString();
        EXPECT_EQ(live, 3 * c.perLevel);
        ASSERT_EQ(readings.size(), 3u);
        for (const TSweepReading &r : readings)
            EXPECT_EQ(r.Raw, int(r.Level + 140)) << r.Level;
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
        settings.Adaptive = false;
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
        bool adaptive = false;
        double maxStep = 4, minStep = 0.5;
        int jumpRaw = 16;
    } cases[] = {
        {-20, -130, 1, 5, "127.0.0.1", "SCPI POWer", "is below the level \"from\""},
        {-130, -20, 0, 5, "127.0.0.1", "SCPI POWer", "step must be at least 0.01 dB"},
        {-130, 130, 0.01, 5, "127.0.0.1", "SCPI POWer", "too many"},
        {-130, -20, 1, 0, "127.0.0.1", "SCPI POWer", "At least one reading"},
        {-130, -20, 1, 5, "127.0.0.1", "SCPI POWer", "finest step must be at least 0.01 dB", true, 4,
         0.001},
        {-130, -20, 1, 5, "127.0.0.1", "SCPI POWer",
         "largest step (0.4 dB) is below the finest (0.5 dB)", true, 0.4},
        {-130, -20, 1, 5, "127.0.0.1", "SCPI POWer", "RAW jump must be at least 1", true, 4, 0.5, 0},
        {-130, -20, 1, 5, "GPIB0::31::INSTR via 127.0.0.1", "SCPI POWer", "0 to 30, not 31"},
        {-130, -20, 1, 5, "127.0.0.1", "SCPI Nonesuch", "no command set \"SCPI Nonesuch\""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.message);
        TSweepSettings settings;
        settings.Adaptive = c.adaptive;
        settings.From = c.from;
        settings.To = c.to;
        settings.Step = c.step;
        settings.MaxStep = c.maxStep;
        settings.MinStep = c.minStep;
        settings.JumpRaw = c.jumpRaw;
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
