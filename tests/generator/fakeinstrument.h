// A scripted instrument for the link tests, on the test's own thread: it
// listens on a local TCP port or on a pseudo-terminal, keeps every byte it is
// sent, and answers SCPI queries either directly or, as a GPIB adapter, when
// it is told "++read eoi". Its misbehaviours are the ones that must never
// stall the program.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QSocketNotifier>
#include <QString>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <functional>
#include <memory>

class FakeInstrument : public QObject {
public:
    enum class TBehaviour {
        bNormal,
        bSilent,       // never answers
        bCloseOnQuery, // drops the connection at the first query
        bHugeLine,     // answers the first query with 50 MB of text and a line end
        bEndlessLine,  // answers the first query with text that never ends
        bGarbage,      // answers the first query with 40 binary bytes
        bHttp,         // answers like a web server
        bExtraLine,    // answers "*OPC?" twice, and sends a line unasked after the error query
        bSlow,         // answers the identity one byte every 0.5 s
        bEmptyIdentity,
    };

    TBehaviour Behaviour = TBehaviour::bNormal;
    bool Adapter = false;  // a GPIB adapter with the instrument behind it
    QByteArray ErrorAfter; // the error query after this command reports a device error
    QByteArray Received;   // every byte, as it came
    qint64 Streamed = 0;   // bytes of a long answer sent so far

    int ListenTcp() {
        server_.listen(QHostAddress::LocalHost);
        connect(&server_, &QTcpServer::newConnection, this, [this] {
            QTcpSocket *s = server_.nextPendingConnection();
            socket_ = s;
            write_ = [s](const QByteArray &b) { s->write(b); };
            backlog_ = [s] { return s->bytesToWrite(); };
            connect(s, &QTcpSocket::readyRead, this, [this, s] { Take(s->readAll()); });
        });
        return server_.serverPort();
    }

    // A pseudo-terminal as a serial port or a device file stands in for one.
    QString OpenPty() {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        ::grantpt(master_);
        ::unlockpt(master_);
        termios raw{};
        ::tcgetattr(master_, &raw);
        ::cfmakeraw(&raw);
        ::tcsetattr(master_, TCSANOW, &raw);
        const QString path = QString::fromLocal8Bit(::ptsname(master_));
        notifier_ = std::make_unique<QSocketNotifier>(master_, QSocketNotifier::Read);
        connect(notifier_.get(), &QSocketNotifier::activated, this, [this] {
            char buffer[4096];
            const ssize_t n = ::read(master_, buffer, sizeof buffer);
            if (n > 0) Take(QByteArray(buffer, n));
        });
        write_ = [this](const QByteArray &b) { (void)!::write(master_, b.constData(), b.size()); };
        backlog_ = [] { return qint64(0); };
        return path;
    }

    // Drops the connection, as an instrument switched off does.
    void Vanish() {
        if (socket_) socket_->abort();
        notifier_.reset();
        if (master_ >= 0) ::close(master_);
        master_ = -1;
    }

    ~FakeInstrument() override { Vanish(); }

private:
    void Take(const QByteArray &bytes) {
        Received += bytes;
        pending_ += bytes;
        qsizetype end;
        while ((end = pending_.indexOf('\n')) >= 0) {
            QByteArray line = pending_.left(end);
            pending_.remove(0, end + 1);
            if (line.endsWith('\r')) line.chop(1);
            Line(line);
        }
    }

    void Line(const QByteArray &line) {
        if (Adapter && line.startsWith("++")) {
            if (line == "++ver" && Behaviour != TBehaviour::bSilent) Reply("Fake adapter 1.0\n");
            if (line == "++read eoi" && !unread_.isEmpty()) Reply(std::exchange(unread_, {}));
            if (line.startsWith("++addr ")) address_ = line.mid(7).toInt();
            return;
        }
        if (Adapter && address_ != 19) return; // nobody listens there
        QByteArray command;
        for (qsizetype i = 0; i < line.size(); ++i) // an adapter's escapes removed
            if (!(Adapter && line[i] == 0x1B && i + 1 < line.size()))
                command += line[i];
            else
                command += line[++i];
        if (command == ErrorAfter) deviceError_ = true;
        if (!command.endsWith('?')) return;
        const QByteArray answer = Answer(command);
        if (answer.isEmpty()) return;
        if (Adapter)
            unread_ = answer;
        else
            Reply(answer);
    }

    QByteArray Answer(const QByteArray &query) {
        const bool first = !answered_;
        answered_ = true;
        switch (Behaviour) {
        case TBehaviour::bSilent:
            return {};
        case TBehaviour::bCloseOnQuery:
            QTimer::singleShot(0, this, [this] { Vanish(); });
            return {};
        case TBehaviour::bHugeLine:
        case TBehaviour::bEndlessLine:
            if (first) Stream(Behaviour == TBehaviour::bHugeLine ? 50'000'000 : -1);
            return {};
        case TBehaviour::bGarbage:
            if (first)
                return QByteArray::fromHex("00ff10fe2a8081c3a9e2829c0d0a0b0c") +
                       QByteArray(24, '\x01');
            break;
        case TBehaviour::bHttp:
            return "HTTP/1.1 400 Bad Request\r\n";
        case TBehaviour::bSlow:
            if (query == "*IDN?") {
                Trickle("K740 slow\n");
                return {};
            }
            break;
        case TBehaviour::bEmptyIdentity:
            if (query == "*IDN?") return "\n";
            break;
        case TBehaviour::bExtraLine:
            if (query == "*OPC?") return "1\n1\n";
            if (query == "SYST:ERR?") QTimer::singleShot(20, this, [this] { Reply("1\n"); });
            break;
        case TBehaviour::bNormal:
            break;
        }
        if (query == "*IDN?") return "Fake,Generator,1,0\n";
        if (query == "*OPC?") return "1\n";
        if (query == "SYST:ERR?")
            return std::exchange(deviceError_, false) ? "+100,\"Device error\"\n"
                                                      : "0,\"No error\"\n";
        return {};
    }

    void Reply(const QByteArray &bytes) { write_(bytes); }

    // A long answer, written as fast as the client takes it.
    void Stream(qint64 total) {
        auto *timer = new QTimer(this);
        connect(timer, &QTimer::timeout, this, [this, timer, total] {
            if (!socket_ || socket_->state() != QAbstractSocket::ConnectedState) {
                timer->deleteLater();
                return;
            }
            while (backlog_() < 512 * 1024 && (total < 0 || Streamed < total)) {
                const qint64 n = total < 0 ? 65536 : std::min<qint64>(65536, total - Streamed);
                Reply(QByteArray(n, 'A'));
                Streamed += n;
            }
            if (total >= 0 && Streamed >= total) {
                Reply("\n");
                timer->deleteLater();
            }
        });
        timer->start(1);
    }

    void Trickle(const QByteArray &text) {
        auto *timer = new QTimer(this);
        auto sent = std::make_shared<qsizetype>(0);
        Reply(text.left(1));
        *sent = 1;
        connect(timer, &QTimer::timeout, this, [this, timer, text, sent] {
            if (*sent >= text.size()) return timer->deleteLater();
            Reply(text.mid((*sent)++, 1));
        });
        timer->start(500);
    }

    QTcpServer server_;
    QTcpSocket *socket_ = nullptr;
    int master_ = -1;
    std::unique_ptr<QSocketNotifier> notifier_;
    std::function<void(const QByteArray &)> write_;
    std::function<qint64()> backlog_;
    QByteArray pending_;
    QByteArray unread_;
    bool answered_ = false;
    bool deviceError_ = false;
    int address_ = 19;
};
