#include "generator/links.h"

#include "generator/answerline.h"

#include <QAbstractEventDispatcher>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QSerialPort>
#include <QTcpSocket>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#if __has_include(<linux/usb/tmc.h>)
#include <linux/usb/tmc.h>
#define K740_HAVE_USBTMC 1
#endif

namespace {

QString Seconds(int ms) {
    return QString::number(ms / 1000.0, 'g', 3) + QStringLiteral(" s");
}

QString Shown(const QByteArray &command) {
    return QString::fromLatin1(command);
}

// What a finished or cut-short answer line means for the operator.
class TAnswerReader {
public:
    TAnswerReader(const TLink &link, const QByteArray &query) : link_(link), query_(query) {
        clock_.start();
    }

    // Takes a piece; the line once it is complete. Throws for a refused one.
    bool Add(const QByteArray &piece) {
        switch (line_.Add(piece)) {
        case TAnswerLine::TState::sIncomplete:
            return false;
        case TAnswerLine::TState::sComplete:
            if (TAnswerLine::IsHttpStatus(line_.Line()))
                Refuse(QStringLiteral("the answer to \"%1\" is a web server's: %2."));
            return true;
        case TAnswerLine::TState::sTooLong:
            Refuse(QStringLiteral("the answer to \"%1\" is longer than 64 KiB: %2."));
        case TAnswerLine::TState::sNotText:
            Refuse(QStringLiteral("the answer to \"%1\" is not text: %2."));
        }
        return false;
    }
    QByteArray Line() const { return line_.Line(); }

    // Throws when the time cap has passed.
    void CheckTime() const {
        if (clock_.elapsed() < link_.TimeoutMs()) return;
        if (line_.Received().isEmpty())
            link_.Fail(QStringLiteral("no answer to \"%1\" within %2.")
                           .arg(Shown(query_), Seconds(link_.TimeoutMs())));
        link_.Fail(QStringLiteral("the answer to \"%1\" was not complete within %2; what came: %3.")
                       .arg(Shown(query_), Seconds(link_.TimeoutMs()),
                            TAnswerLine::Excerpt(line_.Received())));
    }

    [[noreturn]] void Closed(const QString &what) const {
        if (line_.Received().isEmpty()) link_.Fail(what);
        link_.Fail(QStringLiteral("%1 What came of the answer to \"%2\": %3.")
                       .arg(what, Shown(query_), TAnswerLine::Excerpt(line_.Received())));
    }

private:
    [[noreturn]] void Refuse(const QString &format) const {
        link_.Fail(format.arg(Shown(query_), TAnswerLine::Excerpt(line_.Received())) +
                   QStringLiteral(" Is %1 the instrument's address?").arg(link_.Address()));
    }

    const TLink &link_;
    QByteArray query_;
    TAnswerLine line_;
    QElapsedTimer clock_;
};

// A link over a Qt I/O device: a TCP socket, or a serial port.
class TStreamLink : public TLink {
public:
    using TLink::TLink;
    ~TStreamLink() override { TStreamLink::Close(); }

    void Close() override {
        if (socket_) socket_->abort();
        if (serial_) serial_->close();
        device_.reset();
        socket_ = nullptr;
        serial_ = nullptr;
    }
    void Send(const QByteArray &command) override { Write(command + '\n', command); }
    QByteArray Query(const QByteArray &query) override {
        Drain();
        Write(query + '\n', query);
        return ReadAnswer(query);
    }

protected:
    void OpenSocket(const QString &host, int port, const QString &refusedHint) {
        Close();
        CheckAborted();
        auto socket = std::make_unique<QTcpSocket>();
        socket_ = socket.get();
        device_ = std::move(socket);
        // Qt holds no more of an answer than the reader may keep.
        socket_->setReadBufferSize(TAnswerLine::kMaxAnswer + 2);
        socket_->connectToHost(host, quint16(port));
        socket_->setSocketOption(QAbstractSocket::LowDelayOption, 1); // short lines, at once
        QElapsedTimer clock;
        clock.start();
        while (socket_->state() != QAbstractSocket::ConnectedState) {
            if (socket_->waitForConnected(kSliceMs)) break;
            switch (socket_->error()) {
            case QAbstractSocket::SocketTimeoutError:
            case QAbstractSocket::UnknownSocketError:
                break;
            case QAbstractSocket::ConnectionRefusedError:
                Fail(QStringLiteral("the connection was refused (%1).").arg(refusedHint));
            case QAbstractSocket::HostNotFoundError:
                Fail(QStringLiteral("the host was not found."));
            default:
                Fail(QStringLiteral("cannot connect: %1.").arg(socket_->errorString()));
            }
            CheckAborted();
            if (clock.elapsed() >= TimeoutMs())
                Fail(QStringLiteral("no connection within %1.").arg(Seconds(TimeoutMs())));
            if (socket_->state() == QAbstractSocket::UnconnectedState)
                Fail(QStringLiteral("cannot connect: %1.").arg(socket_->errorString()));
        }
    }

    void OpenSerial(const QString &path) {
        Close();
        CheckAborted();
        // The serial port's notifiers want an event dispatcher, which a
        // thread that Qt did not start gets with its first event loop object.
        if (!QAbstractEventDispatcher::instance()) QEventLoop();
        auto serial = std::make_unique<QSerialPort>();
        serial_ = serial.get();
        device_ = std::move(serial);
        serial_->setPortName(path);
        serial_->setReadBufferSize(TAnswerLine::kMaxAnswer + 2);
        if (!serial_->open(QIODevice::ReadWrite)) {
            switch (serial_->error()) {
            case QSerialPort::DeviceNotFoundError:
                Fail(QStringLiteral("there is no serial port %1 (is the adapter plugged in?).")
                         .arg(path));
            case QSerialPort::PermissionError:
                Fail(QStringLiteral("the serial port %1 may not be opened: another program has "
                                    "it open, or you lack the permission (on Debian, membership "
                                    "of the group \"dialout\").")
                         .arg(path));
            default:
                Fail(QStringLiteral("cannot open the serial port %1: %2.")
                         .arg(path, serial_->errorString()));
            }
        }
        // The adapters ignore the line settings; these are their usual ones.
        serial_->setBaudRate(QSerialPort::Baud115200);
        serial_->setDataBits(QSerialPort::Data8);
        serial_->setParity(QSerialPort::NoParity);
        serial_->setStopBits(QSerialPort::OneStop);
        serial_->setFlowControl(QSerialPort::NoFlowControl);
    }

    bool Alive() const {
        if (socket_) return socket_->state() == QAbstractSocket::ConnectedState;
        return serial_ && serial_->isOpen() && serial_->error() != QSerialPort::ResourceError;
    }
    QString ClosedText() const {
        return socket_ ? QStringLiteral("the instrument closed the connection.")
                       : QStringLiteral("the serial port is gone (was the adapter unplugged?).");
    }

    void Write(const QByteArray &bytes, const QByteArray &shown) {
        CheckAborted();
        if (!device_) Fail(QStringLiteral("the connection is closed."));
        if (!Alive()) Fail(ClosedText());
        device_->write(bytes);
        QElapsedTimer clock;
        clock.start();
        while (device_->bytesToWrite() > 0) {
            if (!Alive()) Fail(ClosedText());
            device_->waitForBytesWritten(kSliceMs);
            CheckAborted();
            if (clock.elapsed() >= TimeoutMs())
                Fail(QStringLiteral("\"%1\" could not be sent within %2.")
                         .arg(Shown(shown), Seconds(TimeoutMs())));
        }
    }

    // Drops what the instrument sent unasked: what is there now, nothing
    // waited for.
    void Drain() {
        if (!device_) return;
        for (int round = 0; round < 64; ++round) {
            device_->waitForReadyRead(0);
            if (device_->bytesAvailable() <= 0) return;
            device_->skip(device_->bytesAvailable());
        }
    }

    QByteArray ReadAnswer(const QByteArray &query) {
        TAnswerReader answer(*this, query);
        for (;;) {
            while (device_->bytesAvailable() > 0)
                if (answer.Add(device_->read(4096))) return answer.Line();
            if (!Alive()) answer.Closed(ClosedText());
            answer.CheckTime();
            device_->waitForReadyRead(kSliceMs);
            CheckAborted();
        }
    }

private:
    std::unique_ptr<QIODevice> device_;
    QTcpSocket *socket_ = nullptr;
    QSerialPort *serial_ = nullptr;
};

// SCPI text over a raw TCP socket.
class TSocketLink : public TStreamLink {
public:
    using TStreamLink::TStreamLink;
    void Open() override {
        OpenSocket(Where().Host, Where().Port,
                   QStringLiteral("is the instrument on, and is this its SCPI port?"));
    }
};

// An instrument on the GPIB bus behind an adapter that takes "++" controller
// commands, on the LAN or on a serial port. The adapter is the controller,
// addresses the instrument, and reads its answer when asked ("++read eoi").
class TAdapterLink : public TStreamLink {
public:
    using TStreamLink::TStreamLink;

    void Open() override {
        if (Where().Kind == TLinkKind::lkGpibLan)
            OpenSocket(Where().Host, Where().Port,
                       QStringLiteral("is this the LAN-GPIB adapter's address and port?"));
        else
            OpenSerial(Where().Device);
        // The adapter answers its version itself: proof that one is there.
        Drain();
        Write("++ver\n", "++ver");
        ReadAnswer("++ver");
        for (const QByteArray &line : {QByteArray("++mode 1"), // the adapter is the controller
                                       QByteArray("++auto 0"), // read only when asked
                                       QByteArray("++eoi 1"),  // EOI with the last byte
                                       QByteArray("++eos 2"),  // commands end with LF
                                       "++addr " + QByteArray::number(Where().GpibAddress),
                                       QByteArray("++clr")}) // the instrument's device clear
            Write(line + '\n', line);
    }
    void Send(const QByteArray &command) override { Write(Escaped(command) + '\n', command); }
    QByteArray Query(const QByteArray &query) override {
        Drain();
        Write(Escaped(query) + '\n', query);
        Write("++read eoi\n", query);
        return ReadAnswer(query);
    }

private:
    // Bytes that the adapter would take for its own are sent behind an ESC.
    static QByteArray Escaped(const QByteArray &data) {
        QByteArray out;
        out.reserve(data.size());
        for (const char c : data) {
            if (c == '\r' || c == '\n' || c == 0x1B || c == '+') out += char(0x1B);
            out += c;
        }
        return out;
    }
};

// The kernel's USBTMC character device: one write per command, one read per
// answer, the driver keeping the time cap. A file that is not a USBTMC
// device (a stand-in in tests) is read line by line with the link's own cap.
class TUsbtmcLink : public TLink {
public:
    using TLink::TLink;
    ~TUsbtmcLink() override { TUsbtmcLink::Close(); }

    void Open() override {
        Close();
        CheckAborted();
        QString path = Where().Device;
        if (!path.startsWith(QLatin1Char('/'))) {
            path = UsbtmcPath(path, UsbtmcDevices());
            if (path.isEmpty())
                Fail(QStringLiteral("no USBTMC device has this identity (is it connected, and "
                                    "is the kernel's usbtmc driver loaded?)."));
        }
        fd_ = ::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (fd_ < 0) {
            const int e = errno;
            if (e == ENOENT)
                Fail(QStringLiteral("there is no device file %1 (is the instrument connected?).")
                         .arg(path));
            if (e == EACCES || e == EPERM)
                Fail(QStringLiteral("%1 may not be opened: you lack the permission (a udev rule "
                                    "can give it).")
                         .arg(path));
            Fail(QStringLiteral("cannot open %1: %2.")
                     .arg(path, QString::fromLocal8Bit(std::strerror(e))));
        }
#ifdef K740_HAVE_USBTMC
        unsigned int timeout = unsigned(TimeoutMs());
        driver_ = ::ioctl(fd_, USBTMC_IOCTL_SET_TIMEOUT, &timeout) == 0;
        // A device clear drops an answer a former session left unread.
        if (driver_) ::ioctl(fd_, USBTMC_IOCTL_CLEAR);
#endif
        if (!driver_) ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) | O_NONBLOCK);
    }

    void Close() override {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
        driver_ = false;
    }

    void Send(const QByteArray &command) override {
        Write(command + '\n', command);
    }

    QByteArray Query(const QByteArray &query) override {
        if (!driver_) Drain();
        Write(query + '\n', query);
        return driver_ ? ReadMessage(query) : ReadLine(query);
    }

private:
    [[noreturn]] void Gone() const {
        Fail(QStringLiteral("the device is gone (was it unplugged?)."));
    }

    void Write(const QByteArray &bytes, const QByteArray &shown) {
        CheckAborted();
        if (fd_ < 0) Fail(QStringLiteral("the device is closed."));
        QElapsedTimer clock;
        clock.start();
        qsizetype sent = 0;
        while (sent < bytes.size()) {
            const ssize_t n =
                ::write(fd_, bytes.constData() + sent, std::size_t(bytes.size() - sent));
            if (n > 0) {
                sent += n;
                continue;
            }
            const int e = errno;
            if (n < 0 && e == ETIMEDOUT)
                Fail(QStringLiteral("the instrument did not take \"%1\" within %2.")
                         .arg(Shown(shown), Seconds(TimeoutMs())));
            if (n < 0 && e != EAGAIN && e != EINTR) Gone();
            pollfd p{fd_, POLLOUT, 0};
            ::poll(&p, 1, kSliceMs);
            CheckAborted();
            if (clock.elapsed() >= TimeoutMs())
                Fail(QStringLiteral("\"%1\" could not be sent within %2.")
                         .arg(Shown(shown), Seconds(TimeoutMs())));
        }
    }

    // The driver's read: the whole answer message, or its time cap.
    QByteArray ReadMessage(const QByteArray &query) {
        TAnswerReader answer(*this, query);
        QByteArray buffer(TAnswerLine::kMaxAnswer + 2, Qt::Uninitialized);
        const ssize_t n = ::read(fd_, buffer.data(), std::size_t(buffer.size()));
        if (n < 0 && errno == ETIMEDOUT)
            Fail(QStringLiteral("no answer to \"%1\" within %2.")
                     .arg(Shown(query), Seconds(TimeoutMs())));
        if (n < 0) Gone();
        buffer.truncate(n);
        if (!buffer.endsWith('\n') && buffer.size() <= TAnswerLine::kMaxAnswer)
            buffer += '\n'; // the message ends with the transfer
        answer.Add(buffer);
        return answer.Line();
    }

    void Drain() {
        char scratch[4096];
        for (int round = 0; round < 64; ++round)
            if (::read(fd_, scratch, sizeof scratch) <= 0) return;
    }

    QByteArray ReadLine(const QByteArray &query) {
        TAnswerReader answer(*this, query);
        char buffer[4096];
        for (;;) {
            const ssize_t n = ::read(fd_, buffer, sizeof buffer);
            if (n > 0) {
                if (answer.Add(QByteArray(buffer, n))) return answer.Line();
                answer.CheckTime();
                continue;
            }
            if (n == 0 || (errno != EAGAIN && errno != EINTR))
                answer.Closed(QStringLiteral("the device is gone (was it unplugged?)."));
            answer.CheckTime();
            pollfd p{fd_, POLLIN, 0};
            ::poll(&p, 1, kSliceMs);
            CheckAborted();
        }
    }

    int fd_ = -1;
    bool driver_ = false;
};

} // namespace

TLink::TLink(TLinkAddress address, int timeoutMs)
    : address_(std::move(address)), timeoutMs_(timeoutMs) {}

void TLink::Fail(const QString &what) const {
    throw TGeneratorError(QStringLiteral("Signal generator %1: %2").arg(Address(), what));
}

void TLink::CheckAborted() const {
    if (aborted_) Fail(QStringLiteral("stopped."));
}

std::unique_ptr<TLink> CreateLink(const TLinkAddress &address, int timeoutMs) {
    switch (address.Kind) {
    case TLinkKind::lkSocket:
        return std::make_unique<TSocketLink>(address, timeoutMs);
    case TLinkKind::lkGpibLan:
    case TLinkKind::lkGpibSerial:
        return std::make_unique<TAdapterLink>(address, timeoutMs);
    case TLinkKind::lkUsbtmc:
        return std::make_unique<TUsbtmcLink>(address, timeoutMs);
    }
    return nullptr;
}
