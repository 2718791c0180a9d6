// The generator's links and command sets against scripted instruments: the
// exact bytes each transport sends, the adapter's set-up, and one clear
// message for every way an instrument, a wrong address or a vanished device
// can fail, each within the time cap.
#include "fakeinstrument.h"
#include "generator/answerline.h"
#include "generator/instrument.h"
#include "generator/linkgenerator.h"

#include <QElapsedTimer>
#include <QTest>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

const QByteArray kAdapterSetUp = "++ver\n++mode 1\n++auto 0\n++eoi 1\n++eos 2\n++addr 19\n++clr\n";

const TCommandSet kClassic = {QStringLiteral("Classic"),
                              QString(),
                              QStringLiteral("F{mhz:6}M"),
                              QStringLiteral("L{dbm:1}D"),
                              QStringLiteral("O+1"),
                              QStringLiteral("O+0"),
                              QString(),
                              QString()};

enum class TTransport { tSocket, tLanAdapter, tSerialAdapter, tUsbtmc };

struct Bench {
    FakeInstrument fake;
    QString link;

    explicit Bench(TTransport transport) {
        fake.Adapter =
            transport == TTransport::tLanAdapter || transport == TTransport::tSerialAdapter;
        switch (transport) {
        case TTransport::tSocket:
            link = QStringLiteral("TCPIP0::127.0.0.1::%1::SOCKET").arg(fake.ListenTcp());
            break;
        case TTransport::tLanAdapter:
            link = QStringLiteral("GPIB0::19::INSTR via 127.0.0.1:%1").arg(fake.ListenTcp());
            break;
        case TTransport::tSerialAdapter:
            link = QStringLiteral("GPIB0::19::INSTR via %1").arg(fake.OpenPty());
            break;
        case TTransport::tUsbtmc:
            link = fake.OpenPty();
            break;
        }
    }
};

struct Outcome {
    QString identity;
    QString error;
    qint64 ms = 0;
};

// Runs the steps on a worker thread, as the sweep does, while this thread
// keeps serving the fake instrument; after `abortAfterMs` (when given) it
// aborts the generator, as Stop does.
Outcome RunSteps(const QString &link, const TCommandSet &commands, int timeoutMs,
                 const std::function<void(TGenerator &)> &steps, int abortAfterMs = -1) {
    Outcome outcome;
    std::atomic<bool> done = false;
    std::atomic<TGenerator *> running = nullptr;
    QElapsedTimer clock;
    clock.start();
    std::thread worker([&] {
        QString error;
        std::unique_ptr<TGenerator> g =
            Instrument::CreateGenerator(link, commands, timeoutMs, &error);
        if (!g) {
            outcome.error = QStringLiteral("not created: ") + error;
        } else {
            running = g.get();
            try {
                outcome.identity = g->Connect();
                steps(*g);
            } catch (const TGeneratorError &e) {
                outcome.error = e.Message();
            }
        }
        running = nullptr;
        g.reset();
        done = true;
    });
    if (abortAfterMs >= 0) {
        QTest::qWait(abortAfterMs);
        // The generator lives until the worker is done with it.
        if (TGenerator *g = running.load(); g && !done) g->Abort();
    }
    EXPECT_TRUE(QTest::qWaitFor([&] { return done.load(); }, 30000));
    worker.join();
    outcome.ms = clock.elapsed();
    return outcome;
}

void SweepStep(TGenerator &g) {
    g.SetFrequency(7'100'000);
    g.SetLevel(-73.5);
    g.SetOutput(true);
    g.SetOutput(false);
}

QByteArray Scpi(const QByteArray &command, bool adapter) {
    const QByteArray read = adapter ? "++read eoi\n" : "";
    return command + "\n*OPC?\n" + read + "SYST:ERR?\n" + read;
}

TEST(GeneratorLinks, SweepStepSendsTheSameCommandsOverEveryTransport) {
    struct Case {
        TTransport transport;
        TCommandSet commands;
        const char *level;
    } cases[] = {
        {TTransport::tSocket, TCommandSet::ScpiPower(), "POW -73.5"},
        {TTransport::tSocket, TCommandSet::ScpiLevel(), "LEV -73.5"},
        {TTransport::tLanAdapter, TCommandSet::ScpiPower(), "POW -73.5"},
        {TTransport::tSerialAdapter, TCommandSet::ScpiLevel(), "LEV -73.5"},
        {TTransport::tUsbtmc, TCommandSet::ScpiPower(), "POW -73.5"},
        {TTransport::tSocket, kClassic, nullptr},
        {TTransport::tLanAdapter, kClassic, nullptr},
    };
    for (const Case &c : cases) {
        Bench bench(c.transport);
        SCOPED_TRACE(bench.link.toStdString() + " " + c.commands.Name.toStdString());
        const Outcome o = RunSteps(bench.link, c.commands, 2000, SweepStep);
        EXPECT_EQ(o.error, QString());
        const bool adapter = bench.fake.Adapter;
        QByteArray expected = adapter ? kAdapterSetUp : QByteArray();
        if (c.level) {
            EXPECT_EQ(o.identity, "Fake,Generator,1,0");
            expected += "*IDN?\n" + QByteArray(adapter ? "++read eoi\n" : "");
            expected += Scpi("FREQ 7100000", adapter) + Scpi(c.level, adapter) +
                        Scpi("OUTP ON", adapter) + Scpi("OUTP OFF", adapter);
        } else {
            // Without an identity query the generator is named by its address.
            EXPECT_EQ(o.identity, TLinkAddress::Parse(bench.link)->Address());
            // A "+" goes to the instrument, not to the adapter: behind an ESC.
            expected += adapter ? "F7.100000M\nL-73.5D\nO\x1b+1\nO\x1b+0\n"
                                : "F7.100000M\nL-73.5D\nO+1\nO+0\n";
        }
        // Nothing waits for an answer of the classic set: its bytes may still be on their way.
        (void)QTest::qWaitFor([&] { return bench.fake.Received.size() >= expected.size(); }, 5000);
        EXPECT_EQ(bench.fake.Received, expected);
    }
}

TEST(GeneratorLinks, EveryFailureEndsWithItsOwnMessageWithinTheTimeCap) {
    using B = FakeInstrument::TBehaviour;
    const int timeoutMs = 600;
    struct Case {
        const char *name;
        TTransport transport;
        B behaviour;
        std::function<void(Bench &)> script; // before the run
        QString message;
        bool asksForTheAddress;
    } cases[] = {
        {"silent instrument", TTransport::tSocket, B::bSilent, nullptr,
         "no answer to \"*IDN?\" within 0.6 s.", false},
        {"silent behind the adapter", TTransport::tLanAdapter, B::bNormal,
         [](Bench &b) { b.link.replace("GPIB0::19", "GPIB0::7"); }, // nobody at 7
         "no answer to \"*IDN?\" within 0.6 s.", false},
        {"no adapter at the port", TTransport::tLanAdapter, B::bSilent, nullptr,
         "no answer to \"++ver\" within 0.6 s.", false},
        {"silent USBTMC device", TTransport::tUsbtmc, B::bSilent, nullptr,
         "no answer to \"*IDN?\" within 0.6 s.", false},
        {"silent serial adapter", TTransport::tSerialAdapter, B::bSilent, nullptr,
         "no answer to \"++ver\" within 0.6 s.", false},
        {"connection closed", TTransport::tSocket, B::bCloseOnQuery, nullptr,
         "the instrument closed the connection.", false},
        {"USBTMC device gone", TTransport::tUsbtmc, B::bCloseOnQuery, nullptr,
         "the device is gone (was it unplugged?).", false},
        {"50 MB line", TTransport::tSocket, B::bHugeLine, nullptr,
         "the answer to \"*IDN?\" is longer than 64 KiB: \"" + QString(60, 'A') + "\"\u2026.",
         true},
        {"endless line", TTransport::tLanAdapter, B::bEndlessLine, nullptr,
         "the answer to \"*IDN?\" is longer than 64 KiB", true},
        {"garbage", TTransport::tSocket, B::bGarbage, nullptr,
         "the answer to \"*IDN?\" is not text: \"\\0\\xff\\x10\\xfe*\\x80\\x81\\xc3\\xa9\\xe2\\x82"
         "\\x9c\\r\\n\".",
         true},
        {"garbage from a USBTMC device", TTransport::tUsbtmc, B::bGarbage, nullptr,
         "is not text: \"\\0\\xff", true},
        {"web server", TTransport::tSocket, B::bHttp, nullptr,
         "the answer to \"*IDN?\" is a web server's: \"HTTP/1.1 400 Bad Request\\r\\n\".", true},
        {"slow", TTransport::tSocket, B::bSlow, nullptr,
         "the answer to \"*IDN?\" was not complete within 0.6 s; what came: \"K", false},
        {"empty identity", TTransport::tSerialAdapter, B::bEmptyIdentity, nullptr,
         "an empty answer to \"*IDN?\".", true},
        {"device error", TTransport::tSocket, B::bNormal,
         [](Bench &b) { b.fake.ErrorAfter = "POW -73.5"; },
         "the instrument reports +100,\"Device error\" after \"POW -73.5\".", false},
        {"refused", TTransport::tSocket, B::bNormal,
         [](Bench &b) {
             QTcpServer closed;
             closed.listen(QHostAddress::LocalHost);
             b.link = QStringLiteral("127.0.0.1:%1").arg(closed.serverPort());
         },
         "the connection was refused (is the instrument on, and is this its SCPI port?).", false},
        {"refused adapter", TTransport::tLanAdapter, B::bNormal,
         [](Bench &b) {
             QTcpServer closed;
             closed.listen(QHostAddress::LocalHost);
             b.link = QStringLiteral("GPIB0::19::INSTR via 127.0.0.1:%1").arg(closed.serverPort());
         },
         "the connection was refused (is this the LAN-GPIB adapter's address and port?).", false},
        {"no serial port", TTransport::tSerialAdapter, B::bNormal,
         [](Bench &b) { b.link = "GPIB0::19::INSTR via /dev/ttyNOSUCH9"; },
         "there is no serial port /dev/ttyNOSUCH9 (is the adapter plugged in?).", false},
        {"no device file", TTransport::tUsbtmc, B::bNormal,
         [](Bench &b) { b.link = "/dev/usbtmc-none"; },
         "there is no device file /dev/usbtmc-none (is the instrument connected?).", false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Bench bench(c.transport);
        bench.fake.Behaviour = c.behaviour;
        if (c.script) c.script(bench);
        const Outcome o = RunSteps(bench.link, TCommandSet::ScpiPower(), timeoutMs, SweepStep);
        const QString address = TLinkAddress::Parse(bench.link)->Address();
        EXPECT_TRUE(o.error.startsWith("Signal generator " + address + ": "))
            << o.error.toStdString();
        EXPECT_TRUE(o.error.contains(c.message)) << o.error.toStdString();
        EXPECT_EQ(o.error.endsWith(" Is " + address + " the instrument's address?"),
                  c.asksForTheAddress)
            << o.error.toStdString();
        // Within the time cap of the one exchange that failed, and a margin.
        EXPECT_LT(o.ms, 5 * timeoutMs) << o.ms;
    }
}

// A Stop cuts a wait short on every transport: the silent instrument's
// exchange ends with "stopped." at once, not at the end of its time cap.
TEST(GeneratorLinks, AbortCutsAWaitShortOnEveryTransport) {
    const int timeoutMs = 20000;
    for (const TTransport transport : {TTransport::tSocket, TTransport::tLanAdapter,
                                       TTransport::tSerialAdapter, TTransport::tUsbtmc}) {
        SCOPED_TRACE(int(transport));
        Bench bench(transport);
        bench.fake.Behaviour = FakeInstrument::TBehaviour::bSilent;
        const Outcome o = RunSteps(bench.link, TCommandSet::ScpiPower(), timeoutMs, SweepStep, 200);
        EXPECT_TRUE(o.error.endsWith(": stopped.")) << o.error.toStdString();
        EXPECT_LT(o.ms, timeoutMs / 4) << o.ms;
    }
}

TEST(GeneratorLinks, AStrayAnswerLineIsDroppedSoEachAnswerBelongsToItsQuery) {
    Bench bench(TTransport::tSocket);
    bench.fake.Behaviour = FakeInstrument::TBehaviour::bExtraLine;
    QString error;
    const Outcome o = RunSteps(bench.link, TCommandSet::ScpiPower(), 2000, [&](TGenerator &g) {
        g.SetFrequency(9'000);
        // Meanwhile a line comes unasked; it is not the next query's answer.
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        error = g.ReadError();
    });
    EXPECT_EQ(o.error, QString());
    EXPECT_EQ(error, "0,\"No error\"");
}

TEST(GeneratorLinks, AnAnswerIsKeptUpTo64KiBAndRefusedBeyond) {
    struct Case {
        QByteArray pieces; // "|" separates the pieces
        TAnswerLine::TState state;
        QByteArray line;
    } cases[] = {
        {"K740,1|23\r\nstray", TAnswerLine::TState::sComplete, "K740,123"},
        {"a\rb\n", TAnswerLine::TState::sNotText, ""},
        {"ab\r|\n", TAnswerLine::TState::sComplete, "ab"},
        {QByteArray(TAnswerLine::kMaxAnswer, 'x') + "\r\n", TAnswerLine::TState::sComplete,
         QByteArray(TAnswerLine::kMaxAnswer, 'x')},
        {QByteArray(TAnswerLine::kMaxAnswer + 1, 'x') + "\n", TAnswerLine::TState::sTooLong, ""},
        {QByteArray(TAnswerLine::kMaxAnswer, 'x') + "|x|xxxxxxxxxxxxx",
         TAnswerLine::TState::sTooLong, ""},
        {"abc\x7f", TAnswerLine::TState::sNotText, ""},
        {"caf\xc3\xa9\n", TAnswerLine::TState::sNotText, ""},
    };
    for (const Case &c : cases) {
        TAnswerLine answer;
        for (const QByteArray &piece : c.pieces.split('|'))
            answer.Add(piece);
        EXPECT_EQ(answer.State(), c.state) << c.pieces.left(40).toStdString();
        if (c.state == TAnswerLine::TState::sComplete) {
            EXPECT_EQ(answer.Line(), c.line);
        }
        // Never more than the cap and a line end is kept.
        EXPECT_LE(answer.Received().size(), TAnswerLine::kMaxAnswer + 2);
    }
    EXPECT_EQ(TAnswerLine::Excerpt(QByteArray("say \"hi\"\\\t\x1b")),
              "\"say \\\"hi\\\"\\\\\\t\\x1b\"");
    EXPECT_EQ(TAnswerLine::Excerpt(QByteArray(61, 'y')), "\"" + QString(60, 'y') + "\"\u2026");
}

} // namespace
