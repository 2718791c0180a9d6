// k740cal calibrate and measure, run as the real executable against the
// simulated radio: a calibration that gives the generator's levels back on
// two receivers with different front ends, a set without calibration that
// fails and names its failures, the report of the calibrated file, a
// verification that leaves the file as it was, Ctrl+C in the middle of a
// calibration, and the command lines it refuses.
#include "calibration/caltransfer.h"
#include "platform/libraryloader.h"
#include "report/reporttesting.h"
#include "support/testsupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <csignal>
#include <set>
#include <unistd.h>

namespace {

#ifdef __SANITIZE_ADDRESS__
constexpr int kSlowdown = 4; // the sanitizer build runs everything slower
#else
constexpr int kSlowdown = 1;
#endif

// Quick and repeatable: a spectrum every 10 ms, short settle, few readings.
const QStringList kQuick = {"--settle", "10", "--readings", "3"};

struct ToolRun {
    int exitCode = -1;
    QString out, err;
};

class BenchTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::SetLibrarySearchFolder(testsupport::BinDir());
        ASSERT_TRUE(sdk.Load());
        platform::SetLibrarySearchFolder(QString());
        QFile config(dir.filePath("radio.ini"));
        ASSERT_TRUE(config.open(QIODevice::WriteOnly));
        // A second receiver whose front end errs differently from the demo's.
        config.write("[receiver]\nserial = BENCH2\nlow = 100000\nhigh = 30000000\nseed = 99\n"
                     "eeprom = 860 760 540 -800 720\n");
    }

    QProcessEnvironment Environment() const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
            env.remove(name);
        env.insert("QMV_PLUGIN_PATH", testsupport::BinDir());
        env.insert("K740DEMOD_SPECTRUM_MS", "10");
        env.insert("K740SIM_CONFIG", dir.filePath("radio.ini"));
        env.insert("XDG_CONFIG_HOME", dir.filePath("config"));
        env.insert("XDG_CONFIG_DIRS", dir.filePath("config-system"));
        return env;
    }
    void Start(QProcess &process, const QStringList &arguments) const {
        process.setWorkingDirectory(dir.path());
        process.setProcessEnvironment(Environment());
        process.start(testsupport::BinDir() + "/k740cal", arguments);
        ASSERT_TRUE(process.waitForStarted());
    }
    ToolRun Tool(const QStringList &arguments) const {
        QProcess process;
        Start(process, arguments);
        EXPECT_TRUE(process.waitForFinished(180000));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
                QString::fromUtf8(process.readAllStandardError())};
    }
    QByteArray Bytes(const QString &name) const {
        QFile file(dir.filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    // The points of a file and how many entries each has set.
    std::map<std::uint64_t, int> SetEntries(const QString &name) {
        std::map<std::uint64_t, int> points;
        const std::int32_t cal = sdk.LoadCALFile(QFile::encodeName(dir.filePath(name)).constData());
        EXPECT_GE(cal, 0) << name.toStdString();
        if (cal < 0) return points;
        std::vector<TCsvTable> tables;
        QString error;
        EXPECT_TRUE(CalTransfer::ReadTables(sdk, cal, {}, tables, error));
        for (const TCsvTable &table : tables)
            points[table.Frequency] = int(std::count_if(table.Values.begin(), table.Values.end(),
                                                        [](double v) { return v != 0.0; }));
        sdk.Unload(cal);
        return points;
    }

    QTemporaryDir dir;
    Smsdk &sdk = Smsdk::Instance();
};

TEST_F(BenchTest, CalibrationGivesTheLevelsBackAndAnUncalibratedSetFails) {
    const std::vector<std::uint64_t> points = {3'600'000, 7'100'000, 14'200'000};
    for (const QString receiver : {"", "BENCH2"}) {
        SCOPED_TRACE(receiver.toStdString());
        const QString file = receiver.isEmpty() ? "demo.cal" : "bench2.cal";
        const QStringList on =
            receiver.isEmpty() ? QStringList() : QStringList{"--receiver", receiver};

        const ToolRun calibrated =
            Tool(QStringList{"calibrate", file, "--points", "3.6M,7.1M,14.2M", "--step", "2"} +
                 kQuick + on);
        ASSERT_EQ(calibrated.exitCode, 0) << calibrated.err.toStdString();
        EXPECT_EQ(calibrated.err.count(QRegularExpression("MHz \\(\\d of 3\\): RAW \\d+ to \\d+")),
                  3)
            << "one line per point on a log: " << calibrated.err.toStdString();
        const std::map<std::uint64_t, int> entries = SetEntries(file);
        ASSERT_EQ(entries.size(), 3u);
        for (const auto &[hz, set] : entries)
            EXPECT_GT(set, 150) << hz;
        EXPECT_FALSE(QFile::exists(dir.filePath(file + ".bak"))) << "a new file has no backup";

        const QByteArray before = Bytes(file);
        const ToolRun measured =
            Tool(QStringList{"measure", file, "--levels", "-120:-30:10", "--tolerance", "0.5",
                             "--json", "--report", file + ".pdf"} +
                 kQuick + on);
        EXPECT_EQ(measured.exitCode, 0) << measured.err.toStdString();
        EXPECT_EQ(Bytes(file), before) << "a verification never changes the set";
        const QJsonObject json = QJsonDocument::fromJson(measured.out.toUtf8()).object();
        EXPECT_EQ(json["verdict"].toString(), "pass");
        EXPECT_EQ(json["tolerance_db"].toDouble(), 0.5);
        const QJsonArray measuredPoints = json["points"].toArray();
        ASSERT_EQ(measuredPoints.size(), 3);
        for (const QJsonValue point : measuredPoints) {
            const QJsonArray readings = point["readings"].toArray();
            ASSERT_EQ(readings.size(), 10);
            for (int i = 0; i < 10; ++i) {
                const QJsonObject r = readings[i].toObject();
                EXPECT_EQ(r["applied_dbm"].toDouble(), -120.0 + 10 * i);
                EXPECT_LE(std::abs(r["error_db"].toDouble()), 0.5)
                    << point["frequency_hz"].toInteger() << " at " << r["applied_dbm"].toDouble();
                EXPECT_NEAR(r["shown_dbm"].toDouble() - r["applied_dbm"].toDouble(),
                            r["error_db"].toDouble(), 1e-9);
            }
        }
        EXPECT_LE(std::abs(json["worst_error_db"].toDouble()), 0.5);

        // The report of the measured file: a first page and one per point.
        const reporttesting::PdfFacts pdf = reporttesting::ReadPdf(dir.filePath(file + ".pdf"));
        EXPECT_EQ(pdf.pages, 4);
        for (const char *text : {"3.6 MHz", "7.1 MHz", "14.2 MHz", "PASS", "\u00b10.5 dB"})
            EXPECT_TRUE(pdf.text.contains(QString::fromUtf8(text))) << text;

        // The same points with nothing calibrated.
        std::vector<TCsvTable> empty;
        for (std::uint64_t hz : points)
            empty.push_back({"ZX-K740", -1, hz, {}});
        const std::int32_t cal = sdk.LoadCALFile(nullptr);
        QString error;
        ASSERT_TRUE(CalTransfer::PutTables(sdk, cal, empty, error));
        ASSERT_EQ(sdk.SaveCALFile(cal, QFile::encodeName(dir.filePath("empty.cal")).constData()),
                  SMS_OK);
        sdk.Unload(cal);
        const ToolRun failed =
            Tool(QStringList{"measure", "empty.cal", "--levels", "-100,-50"} + kQuick + on);
        EXPECT_EQ(failed.exitCode, 1) << failed.err.toStdString();
        EXPECT_TRUE(failed.out.startsWith(QString::fromUtf8("FAIL (tolerance \u00b11.0 dB)")))
            << failed.out.toStdString();
        for (const char *line : {"3.6 MHz at -100.0 dBm: no calibration (RAW ",
                                 "14.2 MHz at -50.0 dBm: no calibration (RAW "})
            EXPECT_TRUE(failed.out.contains(line)) << line;
        EXPECT_EQ(failed.out.count("no calibration"), 6);
    }
}

// The listening TCP ports of a process (Linux: its socket inodes in
// /proc/net/tcp), so a test can reach the simulated bench inside it.
std::vector<int> ListeningPorts(qint64 pid) {
    std::set<QString> inodes;
    const QDir fds(QStringLiteral("/proc/%1/fd").arg(pid));
    const QRegularExpression socket("^socket:\\[(\\d+)\\]$");
    for (const QString &fd : fds.entryList(QDir::System | QDir::NoDotAndDotDot)) {
        // The link's own text, not a path: readlink, without resolving.
        const QByteArray link = QFile::encodeName(fds.filePath(fd));
        char target[64] = {};
        if (::readlink(link.constData(), target, sizeof target - 1) <= 0) continue;
        if (const auto m = socket.match(QString::fromLatin1(target)); m.hasMatch())
            inodes.insert(m.captured(1));
    }
    std::vector<int> ports;
    QFile table("/proc/net/tcp");
    if (!table.open(QIODevice::ReadOnly)) return ports;
    for (const QByteArray &line : table.readAll().split('\n')) {
        const QList<QByteArray> f = line.simplified().split(' ');
        if (f.size() < 10 || f[3] != "0A" || !inodes.count(QString::fromLatin1(f[9]))) continue;
        ports.push_back(f[1].split(':').value(1).toInt(nullptr, 16));
    }
    return ports;
}

// Stands between the tool and the simulated bench inside it: every line goes
// through, and once the tool has switched the output off, the relay asks the
// bench itself (before the tool hears that its setting was taken, so the
// bench is still there).
class BenchRelay : public QObject {
public:
    BenchRelay() {
        server_.listen(QHostAddress::LocalHost);
        connect(&server_, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *client = server_.nextPendingConnection())
                Join(client);
        });
    }
    int Port() const { return server_.serverPort(); }
    void SetProcess(qint64 pid) { pid_ = pid; }

    QStringList heard;      // the tool's lines
    QStringList outputSeen; // the bench's answers to our own "OUTP?"

private:
    QTcpSocket *Bench() {
        int port = 0;
        for (int listening : ListeningPorts(pid_))
            if (listening >= 5025 && listening <= 5124) port = listening;
        auto *socket = new QTcpSocket(this);
        socket->connectToHost(QHostAddress::LocalHost, quint16(port));
        EXPECT_TRUE(socket->waitForConnected(2000)) << "the bench at port " << port;
        return socket;
    }
    void Join(QTcpSocket *client) {
        QTcpSocket *bench = Bench();
        connect(bench, &QTcpSocket::readyRead, client,
                [client, bench] { client->write(bench->readAll()); });
        connect(client, &QTcpSocket::readyRead, bench, [this, client, bench] {
            while (client->canReadLine()) {
                const QByteArray line = client->readLine();
                heard << QString::fromLatin1(line.trimmed());
                if (line.trimmed() == "SYST:ERR?" && heard.size() >= 3 &&
                    heard[heard.size() - 3] == "OUTP OFF") {
                    QTcpSocket *monitor = Bench();
                    monitor->write("OUTP?\n");
                    while (!monitor->canReadLine() && monitor->waitForReadyRead(2000)) {
                    }
                    outputSeen << QString::fromLatin1(monitor->readLine().trimmed());
                    monitor->deleteLater();
                }
                bench->write(line);
            }
        });
        connect(client, &QTcpSocket::disconnected, bench, &QTcpSocket::disconnectFromHost);
    }

    qint64 pid_ = 0;
    QTcpServer server_;
};

TEST_F(BenchTest, CtrlCSwitchesTheOutputOffKeepsThePointsDoneAndExits130) {
    // An existing file: it is kept as FILE.bak before the first point is saved.
    ASSERT_EQ(Tool(QStringList{"calibrate", "run.cal", "--points", "21M", "--step", "10"} + kQuick)
                  .exitCode,
              0);
    const QByteArray original = Bytes("run.cal");

    BenchRelay relay;
    QProcess process;
    QString err;
    QObject::connect(&process, &QProcess::readyReadStandardError,
                     [&] { err += QString::fromUtf8(process.readAllStandardError()); });
    Start(process, QStringList{"calibrate", "run.cal", "--points", "3.6M,7.1M,14.2M", "--step", "4",
                               "--generator", QStringLiteral("127.0.0.1:%1").arg(relay.Port())} +
                       kQuick);
    relay.SetProcess(process.processId());
    // The first point done, the second some levels into its sweep.
    const auto levelsAtSecond = [&] {
        const qsizetype at = relay.heard.indexOf("FREQ 7100000");
        return at < 0 ? 0 : int(relay.heard.mid(at).filter(QRegularExpression("^POW ")).size());
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return levelsAtSecond() >= 5; }, 60000 * kSlowdown))
        << err.toStdString();
    EXPECT_TRUE(err.contains("3.6 MHz (1 of 3): RAW ")) << err.toStdString();

    ::kill(pid_t(process.processId()), SIGINT);
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, 1000 * kSlowdown))
        << "not ended within 1 s";
    if (process.state() != QProcess::NotRunning) {
        ASSERT_TRUE(process.waitForFinished(10000));
    }
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 130) << err.toStdString();
    // Asked after each "OUTP OFF" (the first point's end, and the stop).
    EXPECT_EQ(relay.outputSeen, QStringList({"0", "0"})) << relay.heard.join(", ").toStdString();
    EXPECT_EQ(relay.heard.filter(QRegularExpression("^OUTP ")).last(), "OUTP OFF");

    EXPECT_EQ(Bytes("run.cal.bak"), original);
    const std::map<std::uint64_t, int> entries = SetEntries("run.cal");
    EXPECT_EQ(entries.size(), 2u) << "the point from before and the one finished";
    EXPECT_TRUE(entries.count(21'000'000));
    EXPECT_GT(entries.count(3'600'000) ? entries.at(3'600'000) : 0, 150);
}

TEST_F(BenchTest, RefusedCommandLinesAndFailures) {
    ASSERT_EQ(
        Tool(QStringList{"calibrate", "held.cal", "--points", "7.1M", "--step", "10"} + kQuick)
            .exitCode,
        0);
    QTcpServer closed;
    closed.listen(QHostAddress::LocalHost);
    const QString refused = QStringLiteral("127.0.0.1:%1").arg(closed.serverPort());
    closed.close();
    struct Case {
        QStringList arguments;
        int exit;
        const char *message;
    } cases[] = {
        {{"calibrate", "new.cal"}, 2, "new.cal holds no point: list them with --points"},
        {{"calibrate", "new.cal", "--points", "7.1X"}, 2, "--points: \"7.1X\" is not a frequency"},
        {{"calibrate", "new.cal", "--points", "7.1M", "--levels", "-100"},
         2,
         "option --levels belongs to measure"},
        {{"measure", "held.cal", "--from", "-100"}, 2, "option --from belongs to calibrate"},
        {{"measure", "held.cal", "--levels", "-120:-30"}, 2, "--levels: "},
        {{"measure", "held.cal", "--tolerance", "0"}, 2, "tolerance must be greater than 0"},
        {{"calibrate", "new.cal", "--points", "7.1M", "--from", "-20", "--to", "-40"},
         2,
         "is below the level"},
        {{"measure", "missing.cal"}, 2, "missing.cal: CAL file not found."},
        {{"measure", "held.cal", "--receiver", "NOSUCH"}, 2, "no receiver \"NOSUCH\" is listed"},
        {{"measure", "held.cal", "--receiver", "BENCH2", "--points", "40M"},
         2,
         "40 MHz is outside"},
        {{"measure", "held.cal", "--generator", "TCPIP0::127.0.0.1::x::SOCKET"},
         2,
         "--generator: \"TCPIP0::127.0.0.1::x::SOCKET\" is not an address"},
        {{"measure", "held.cal", "--generator", "127.0.0.1:70000"},
         2,
         "The port must be 1 to 65535, not 70000"},
        {{"measure", "held.cal", "--commands", "FOO"}, 2, "unknown command set \"FOO\""},
        {{"measure", "held.cal", "--generator", refused}, 2, "the connection was refused"},
    };
    const QByteArray before = Bytes("held.cal");
    for (const Case &c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        const ToolRun run = Tool(c.arguments + kQuick);
        EXPECT_EQ(run.exitCode, c.exit) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(QString::fromUtf8(c.message))) << run.err.toStdString();
    }
    EXPECT_EQ(Bytes("held.cal"), before);
    EXPECT_FALSE(QFile::exists(dir.filePath("new.cal")));
}

} // namespace
