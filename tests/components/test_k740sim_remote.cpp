// The simulated bench's remote control under load and over its adapters: a
// client that floods without reading stalls no one and is dropped, bursts of
// connections are all served, an over-long line is refused and skipped, the
// LAN-GPIB and USB-GPIB adapters pass commands to address 19, and the
// program's own generator reaches the bench over every one of them.
#include "generator/instrument.h"
#include "k740sim.h"

#include <QElapsedTimer>
#include <QTcpSocket>
#include <QTest>

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

namespace {

const QByteArray kIdentity = "K740SIM,Bench signal generator,0,1.0";

// Holds the servers open for one test.
struct OpenServers {
    OpenServers() : port(k740sim_ScpiOpen()) {
        char text[256] = {};
        k740sim_SerialAdapterPath(text, sizeof text);
        path = text;
        k740sim_ScpiExecute("*RST;*CLS", nullptr, 0);
    }
    ~OpenServers() {
        if (open) k740sim_ScpiClose();
    }
    int port;
    QByteArray path;
    bool open = true;
};

// One question over a fresh connection, with a generous deadline.
QByteArray Ask(int port, const QByteArray &line, int deadlineMs = 3000) {
    QTcpSocket s;
    s.connectToHost(QHostAddress::LocalHost, quint16(port));
    if (!s.waitForConnected(deadlineMs)) return "unreachable";
    s.write(line + "\n");
    QElapsedTimer clock;
    clock.start();
    while (!s.canReadLine())
        if (!s.waitForReadyRead(int(deadlineMs - clock.elapsed())) || clock.elapsed() >= deadlineMs)
            return "no answer";
    return s.readLine().trimmed();
}

int RawConnect(int port) {
    const int s = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(std::uint16_t(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(s, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0) {
        ::close(s);
        return -1;
    }
    return s;
}

// A client that sends `total` bytes of "*IDN?" lines and never reads; it
// ends when all is sent or the server has dropped it.
struct Flooder {
    explicit Flooder(int port) : socket(RawConnect(port)) {
        thread = std::thread([this] {
            QByteArray lines;
            while (lines.size() < 65536)
                lines += "*IDN?\n";
            for (qint64 sent = 0; sent < 3'500'000;) {
                const ssize_t n =
                    ::send(socket, lines.constData(), std::size_t(lines.size()), MSG_NOSIGNAL);
                if (n <= 0) break;
                sent += n;
            }
            done = true;
        });
    }
    ~Flooder() {
        ::shutdown(socket, SHUT_RDWR);
        thread.join();
        ::close(socket);
    }
    // Whether the server closed the connection; nothing is read, so the
    // answers stay piled up as they would for a client that never reads.
    bool Dropped(int deadlineMs) {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < deadlineMs) {
            pollfd p{socket, POLLRDHUP, 0};
            if (done && ::poll(&p, 1, 100) > 0 && (p.revents & (POLLRDHUP | POLLHUP | POLLERR)))
                return true;
            QTest::qWait(20);
        }
        return false;
    }
    int socket;
    std::atomic<bool> done = false;
    std::thread thread;
};

TEST(SimRemote, AClientThatDoesNotReadStallsNoOneAndIsDropped) {
    OpenServers servers;
    ASSERT_GT(servers.port, 0);
    {
        Flooder flooder(servers.port);
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(Ask(servers.port, "*IDN?", 2000), kIdentity) << i;
        // Its answers pile up past the cap and it goes.
        EXPECT_TRUE(flooder.Dropped(20000));
        EXPECT_EQ(Ask(servers.port, "*IDN?", 2000), kIdentity);
    }
    // Closing returns at once with a flooding client connected.
    Flooder another(servers.port);
    QTest::qWait(100);
    QElapsedTimer clock;
    clock.start();
    k740sim_ScpiClose();
    servers.open = false;
    EXPECT_LT(clock.elapsed(), 2000);
    EXPECT_TRUE(another.Dropped(2000));
    EXPECT_EQ(Ask(servers.port, "*IDN?", 1000), "unreachable");
}

TEST(SimRemote, BurstsOfConnectionsAreAllServed) {
    OpenServers servers;
    for (int i = 0; i < 300; ++i)
        ASSERT_EQ(Ask(servers.port, "*OPC?"), "1") << i;

    std::vector<std::unique_ptr<QTcpSocket>> clients(200);
    for (auto &c : clients) {
        c = std::make_unique<QTcpSocket>();
        c->connectToHost(QHostAddress::LocalHost, quint16(servers.port));
    }
    auto all = [&](auto condition) {
        return std::all_of(clients.begin(), clients.end(), condition);
    };
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return all([](auto &c) { return c->state() == QAbstractSocket::ConnectedState; }); },
        10000));
    for (auto &c : clients)
        c->write("*IDN?\n");
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return all([](auto &c) { return c->canReadLine(); }); }, 10000));
    for (auto &c : clients)
        EXPECT_EQ(c->readLine().trimmed(), kIdentity);
}

TEST(SimRemote, ALineOver64KiBIsRefusedAndSkippedToItsEnd) {
    OpenServers servers;
    QByteArray line;
    while (line.size() <= 65536)
        line += "POW -3;";
    // The end of the over-long line is not taken for a command of its own.
    const QByteArray answer = Ask(servers.port, line + "OUTP ON\nOUTP?;POW?;SYST:ERR?;SYST:ERR?");
    EXPECT_EQ(answer, "0;-73;-223,\"Too much data\";0,\"No error\"");
}

// The bytes that come back for these lines, until the adapter's version
// (sent last) has come.
QByteArray Exchange(const std::function<void(const QByteArray &)> &write,
                    const std::function<QByteArray()> &read, const QList<QByteArray> &lines) {
    for (const QByteArray &line : lines)
        write(line + "\n");
    write("++ver\n");
    QByteArray got;
    QElapsedTimer clock;
    clock.start();
    while (!got.contains("adapter 1.0\n") && clock.elapsed() < 5000)
        got += read();
    return got.left(got.indexOf("K740SIM ")); // without the final version line
}

TEST(SimRemote, TheAdaptersPassCommandsToAddress19) {
    OpenServers servers;
    const int adapterPort = k740sim_AdapterPort();
    ASSERT_GE(adapterPort, 1234);
    ASSERT_TRUE(servers.path.startsWith("/dev/pts/"));
    struct Case {
        QList<QByteArray> lines;
        QByteArray back;
    } cases[] = {
        {{"++addr", "++mode", "++auto", "++eoi", "++eos"}, "19\n1\n0\n1\n0\n"},
        {{"*IDN?", "++read eoi"}, kIdentity + "\n"},
        {{"++auto 1", "*OPC?", "++auto 0"}, "1\n"},
        {{"++addr 7", "*IDN?", "++read eoi", "++addr 19", "++read eoi"}, ""},
        {{"*IDN?", "++clr", "++read eoi"}, ""},
        {{"FREQ \x1b+9 kHz", "FREQ?;SYST:ERR?", "++read eoi"}, "9000;0,\"No error\"\n"},
        {{"++eos 3", "++eos", "++mode 0", "*OPC?", "++mode 1", "++read eoi", "++frob"},
         "3\nUnrecognized command\n"},
    };
    for (int transport = 0; transport < 2; ++transport) {
        QTcpSocket socket;
        int pty = -1;
        std::function<void(const QByteArray &)> write;
        std::function<QByteArray()> read;
        if (transport == 0) {
            socket.connectToHost(QHostAddress::LocalHost, quint16(adapterPort));
            ASSERT_TRUE(socket.waitForConnected(3000));
            write = [&](const QByteArray &b) { socket.write(b); };
            read = [&] {
                socket.waitForReadyRead(100);
                return socket.readAll();
            };
        } else {
            pty = ::open(servers.path.constData(), O_RDWR | O_NOCTTY);
            ASSERT_GE(pty, 0);
            termios raw{};
            ::tcgetattr(pty, &raw);
            ::cfmakeraw(&raw);
            ::tcsetattr(pty, TCSANOW, &raw);
            write = [&](const QByteArray &b) { (void)!::write(pty, b.constData(), b.size()); };
            read = [&] {
                pollfd p{pty, POLLIN, 0};
                char buffer[4096];
                if (::poll(&p, 1, 100) <= 0) return QByteArray();
                const ssize_t n = ::read(pty, buffer, sizeof buffer);
                return n > 0 ? QByteArray(buffer, n) : QByteArray();
            };
        }
        for (const Case &c : cases) {
            SCOPED_TRACE(transport == 0 ? "LAN" : "USB");
            SCOPED_TRACE(c.lines.join(" | ").toStdString());
            EXPECT_EQ(Exchange(write, read, c.lines), c.back);
        }
        if (pty >= 0) ::close(pty);
    }
}

TEST(SimRemote, TheProgramsGeneratorReachesTheBenchOverEveryLinkButUsbtmc) {
    OpenServers servers;
    const QStringList links = {
        QStringLiteral("TCPIP0::127.0.0.1::%1::SOCKET").arg(servers.port),
        QStringLiteral("GPIB0::19::INSTR via 127.0.0.1:%1").arg(k740sim_AdapterPort()),
        QStringLiteral("GPIB0::19::INSTR via %1").arg(QString::fromLocal8Bit(servers.path)),
    };
    std::uint64_t hz = 9'000; // the lowest frequency, accepted without error
    // Twice each, as a sweep reconnects to switch the output off after a failure.
    for (const QString &link : links + links) {
        SCOPED_TRACE(link.toStdString());
        QString identity, error;
        std::atomic<bool> done = false;
        std::thread worker([&] {
            try {
                const std::unique_ptr<TGenerator> g =
                    Instrument::CreateGenerator(link, TCommandSet::ScpiLevel(), 3000, &error);
                if (!g) return;
                identity = g->Connect();
                g->SetFrequency(hz);
                g->SetLevel(-50.5);
                g->SetOutput(true);
            } catch (const TGeneratorError &e) {
                error = e.Message();
            }
            done = true;
        });
        EXPECT_TRUE(QTest::qWaitFor([&] { return done.load(); }, 20000));
        worker.join();
        EXPECT_EQ(error, QString());
        EXPECT_EQ(identity, QString::fromLatin1(kIdentity));
        int32_t on = 0;
        std::uint64_t setHz = 0;
        double dbm = 0;
        k740sim_GetGenerator(&on, &setHz, &dbm);
        EXPECT_EQ(on, 1);
        EXPECT_EQ(setHz, hz);
        EXPECT_EQ(dbm, -50.5);
        k740sim_ScpiExecute("OUTP OFF", nullptr, 0);
        hz += 1000;
    }
}

} // namespace
