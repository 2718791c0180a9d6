// Instrument links under misbehaving peers, measured rather than asserted:
//
// - the simulated bench's server: the answer time of *IDN? while another
//   client floods it without reading (max_ms, under 100 ms), 300 sequential
//   connections (max_ms of one, under 100 ms), 200 concurrent ones (all_ms,
//   all answered within 3 s), and the closing of the server with a flooding
//   client connected (close_ms, under 1 s);
// - the program's client against an instrument that answers with 50 MB of
//   text, an endless line or one byte every 0.5 s: the time until its message
//   (ms), the longest pause of the GUI thread meanwhile (gui_gap_ms, under
//   50 ms) and the growth of the process's peak memory (peak_mb, under 100).
#include "benchsupport.h"

#include "generator/fakeinstrument.h"
#include "generator/instrument.h"
#include "k740sim.h"
#include "platform/libraryloader.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTcpSocket>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

namespace {

template <typename F> F Sim(const char *name) {
    static platform::LibraryHandle library = platform::LoadLibraryByName("libk740sim.so");
    return reinterpret_cast<F>(platform::GetProcAddress(library, name));
}

// Runs the event loop until the condition holds or the time is up.
template <typename F> bool WaitFor(F condition, int ms) {
    QElapsedTimer clock;
    clock.start();
    while (!condition() && clock.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return condition();
}

// The process's peak resident memory, MB.
double PeakMb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').at(0).toDouble() / 1024;
    return 0;
}

// The time of one question over a connection of its own, ms; -1 without answer.
double AskMs(int port, const QByteArray &line) {
    QElapsedTimer clock;
    clock.start();
    QTcpSocket s;
    s.connectToHost(QHostAddress::LocalHost, quint16(port));
    if (!s.waitForConnected(5000)) return -1;
    s.write(line + "\n");
    while (!s.canReadLine())
        if (!s.waitForReadyRead(5000)) return -1;
    return double(clock.nsecsElapsed()) / 1e6;
}

// A client that sends *IDN? lines and never reads, until stopped or dropped.
class Flooder {
public:
    explicit Flooder(int port) {
        socket_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(std::uint16_t(port));
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::connect(socket_, reinterpret_cast<sockaddr *>(&a), sizeof a);
        thread_ = std::thread([this] {
            QByteArray lines;
            while (lines.size() < 65536)
                lines += "*IDN?\n";
            while (!stop_ && ::send(socket_, lines.constData(), std::size_t(lines.size()),
                                    MSG_NOSIGNAL) > 0) {
            }
        });
    }
    ~Flooder() {
        stop_ = true;
        ::shutdown(socket_, SHUT_RDWR);
        thread_.join();
        ::close(socket_);
    }

private:
    int socket_;
    std::atomic<bool> stop_ = false;
    std::thread thread_;
};

struct Server {
    decltype(&k740sim_ScpiOpen) open = Sim<decltype(&k740sim_ScpiOpen)>("k740sim_ScpiOpen");
    decltype(&k740sim_ScpiClose) close = Sim<decltype(&k740sim_ScpiClose)>("k740sim_ScpiClose");
    bool Usable(benchmark::State &state) const {
        if (open && close) return true;
        state.SkipWithError("libk740sim.so not found beside the benchmark");
        return false;
    }
};

void BM_AnswerWhileFlooded(benchmark::State &state) {
    Server server;
    if (!server.Usable(state)) return;
    const int port = server.open();
    double worst = 0;
    for (auto _ : state) {
        Flooder flooder(port);
        for (int i = 0; i < 20; ++i) {
            const double ms = AskMs(port, "*IDN?");
            worst = ms < 0 ? 1e9 : std::max(worst, ms);
        }
    }
    server.close();
    state.counters["max_ms"] = worst;
}
BENCHMARK(BM_AnswerWhileFlooded)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SequentialConnections(benchmark::State &state) {
    Server server;
    if (!server.Usable(state)) return;
    const int port = server.open();
    double worst = 0;
    for (auto _ : state)
        for (int i = 0; i < 300; ++i) {
            const double ms = AskMs(port, "*OPC?");
            worst = ms < 0 ? 1e9 : std::max(worst, ms);
        }
    server.close();
    state.counters["max_ms"] = worst;
}
BENCHMARK(BM_SequentialConnections)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ConcurrentConnections(benchmark::State &state) {
    Server server;
    if (!server.Usable(state)) return;
    const int port = server.open();
    double worst = 0;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        std::vector<std::unique_ptr<QTcpSocket>> clients(200);
        for (auto &c : clients) {
            c = std::make_unique<QTcpSocket>();
            c->connectToHost(QHostAddress::LocalHost, quint16(port));
            QObject::connect(c.get(), &QTcpSocket::connected, c.get(),
                             [s = c.get()] { s->write("*IDN?\n"); });
        }
        const bool all = WaitFor(
            [&] {
                return std::all_of(clients.begin(), clients.end(),
                                   [](auto &c) { return c->canReadLine(); });
            },
            30000);
        worst = std::max(worst, all ? double(clock.nsecsElapsed()) / 1e6 : 1e9);
    }
    server.close();
    state.counters["all_ms"] = worst;
}
BENCHMARK(BM_ConcurrentConnections)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_CloseWithAFloodingClient(benchmark::State &state) {
    Server server;
    if (!server.Usable(state)) return;
    double worst = 0;
    for (auto _ : state) {
        const int port = server.open();
        Flooder flooder(port);
        WaitFor([] { return false; }, 200);
        QElapsedTimer clock;
        clock.start();
        server.close();
        worst = std::max(worst, double(clock.nsecsElapsed()) / 1e6);
    }
    state.counters["close_ms"] = worst;
}
BENCHMARK(BM_CloseWithAFloodingClient)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

// The program's generator against a misbehaving instrument, on a worker
// thread as the sweep runs it, while this thread serves the instrument and
// measures its own pauses.
void ClientAgainst(benchmark::State &state, FakeInstrument::TBehaviour behaviour) {
    double worstGap = 0, peak = 0, ms = 0;
    for (auto _ : state) {
        FakeInstrument fake;
        fake.Behaviour = behaviour;
        const QString link = QStringLiteral("127.0.0.1:%1").arg(fake.ListenTcp());
        const double before = PeakMb();
        std::atomic<bool> done = false;
        QString error;
        QElapsedTimer clock;
        clock.start();
        std::thread worker([&] {
            const std::unique_ptr<TGenerator> g =
                Instrument::CreateGenerator(link, TCommandSet::ScpiPower(), 3000, &error);
            try {
                g->Connect();
            } catch (const TGeneratorError &e) {
                error = e.Message();
            }
            done = true;
        });
        QElapsedTimer gap;
        gap.start();
        while (!done) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            worstGap = std::max(worstGap, double(gap.nsecsElapsed()) / 1e6);
            gap.restart();
        }
        worker.join();
        ms = std::max(ms, double(clock.nsecsElapsed()) / 1e6);
        peak = std::max(peak, PeakMb() - before);
        if (error.isEmpty()) state.SkipWithError("the instrument was accepted");
    }
    state.counters["ms"] = ms;
    state.counters["gui_gap_ms"] = worstGap;
    state.counters["peak_mb"] = peak;
}

void BM_ClientAgainstA50MBLine(benchmark::State &state) {
    ClientAgainst(state, FakeInstrument::TBehaviour::bHugeLine);
}
BENCHMARK(BM_ClientAgainstA50MBLine)->Iterations(2)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ClientAgainstAnEndlessLine(benchmark::State &state) {
    ClientAgainst(state, FakeInstrument::TBehaviour::bEndlessLine);
}
BENCHMARK(BM_ClientAgainstAnEndlessLine)
    ->Iterations(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_ClientAgainstASlowInstrument(benchmark::State &state) {
    ClientAgainst(state, FakeInstrument::TBehaviour::bSlow);
}
BENCHMARK(BM_ClientAgainstASlowInstrument)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace

K740_BENCHMARK_MAIN()
