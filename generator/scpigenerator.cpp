#include "generator/scpigenerator.h"

#include <QElapsedTimer>
#include <QTcpSocket>

namespace {

// Waits are cut into slices so that Abort() takes effect within one.
constexpr int kSliceMs = 50;

QString Seconds(int ms) {
    return QString::number(ms / 1000.0, 'g', 3) + QStringLiteral(" s");
}

} // namespace

TScpiGenerator::TScpiGenerator(const QString &host, int port, TLevelCommand levelCommand,
                               int timeoutMs)
    : host_(host.trimmed()), port_(port), levelCommand_(levelCommand), timeoutMs_(timeoutMs) {}

TScpiGenerator::~TScpiGenerator() {
    Disconnect();
}

QString TScpiGenerator::Address() const {
    return host_ + QLatin1Char(':') + QString::number(port_);
}

void TScpiGenerator::Fail(const QString &what) {
    throw TGeneratorError(QStringLiteral("Signal generator %1: %2").arg(Address(), what));
}

void TScpiGenerator::CheckAborted() {
    if (aborted_) Fail(QStringLiteral("stopped."));
}

QString TScpiGenerator::Connect() {
    Disconnect();
    CheckAborted();
    if (host_.isEmpty()) Fail(QStringLiteral("no address given."));
    if (port_ < 1 || port_ > 65535) Fail(QStringLiteral("the port must be 1 to 65535."));
    socket_ = std::make_unique<QTcpSocket>();
    socket_->connectToHost(host_, quint16(port_));
    socket_->setSocketOption(QAbstractSocket::LowDelayOption, 1); // short commands, at once
    QElapsedTimer clock;
    clock.start();
    while (socket_->state() != QAbstractSocket::ConnectedState) {
        if (socket_->waitForConnected(kSliceMs)) break;
        switch (socket_->error()) {
        case QAbstractSocket::SocketTimeoutError:
        case QAbstractSocket::UnknownSocketError:
            break;
        case QAbstractSocket::ConnectionRefusedError:
            Fail(QStringLiteral("the connection was refused (is the instrument on, and is this its "
                                "SCPI port?)."));
        case QAbstractSocket::HostNotFoundError:
            Fail(QStringLiteral("the host was not found."));
        default:
            Fail(QStringLiteral("cannot connect: %1.").arg(socket_->errorString()));
        }
        CheckAborted();
        if (clock.elapsed() >= timeoutMs_)
            Fail(QStringLiteral("no connection within %1.").arg(Seconds(timeoutMs_)));
        if (socket_->state() == QAbstractSocket::UnconnectedState)
            Fail(QStringLiteral("cannot connect: %1.").arg(socket_->errorString()));
    }
    const QByteArray identity = Query("*IDN?");
    return QString::fromLatin1(identity);
}

void TScpiGenerator::Send(const QByteArray &command) {
    CheckAborted();
    if (!socket_ || socket_->state() != QAbstractSocket::ConnectedState)
        Fail(QStringLiteral("the connection is closed."));
    socket_->write(command + '\n');
    QElapsedTimer clock;
    clock.start();
    while (socket_->bytesToWrite() > 0) {
        if (socket_->state() != QAbstractSocket::ConnectedState)
            Fail(QStringLiteral("the instrument closed the connection."));
        socket_->waitForBytesWritten(kSliceMs);
        CheckAborted();
        if (clock.elapsed() >= timeoutMs_)
            Fail(QStringLiteral("\"%1\" could not be sent within %2.")
                     .arg(QString::fromLatin1(command), Seconds(timeoutMs_)));
    }
}

QByteArray TScpiGenerator::ReadLine(const QByteArray &query) {
    QElapsedTimer clock;
    clock.start();
    while (!socket_->canReadLine()) {
        if (socket_->state() != QAbstractSocket::ConnectedState && socket_->bytesAvailable() == 0)
            Fail(QStringLiteral("the instrument closed the connection."));
        socket_->waitForReadyRead(kSliceMs);
        CheckAborted();
        if (!socket_->canReadLine() && socket_->state() != QAbstractSocket::ConnectedState)
            Fail(QStringLiteral("the instrument closed the connection."));
        if (clock.elapsed() >= timeoutMs_)
            Fail(QStringLiteral("no answer to \"%1\" within %2.")
                     .arg(QString::fromLatin1(query), Seconds(timeoutMs_)));
    }
    return socket_->readLine().trimmed();
}

QByteArray TScpiGenerator::Query(const QByteArray &query) {
    Send(query);
    return ReadLine(query);
}

QString TScpiGenerator::ReadError() {
    return QString::fromLatin1(Query("SYST:ERR?"));
}

void TScpiGenerator::Setting(const QByteArray &command) {
    Send(command);
    const QByteArray done = Query("*OPC?");
    if (done != "1")
        Fail(QStringLiteral("unexpected answer \"%1\" to \"*OPC?\".")
                 .arg(QString::fromLatin1(done)));
    const QString error = ReadError();
    bool numeric = false;
    const int code = error.section(QLatin1Char(','), 0, 0).trimmed().toInt(&numeric);
    if (!numeric) Fail(QStringLiteral("unexpected answer \"%1\" to \"SYST:ERR?\".").arg(error));
    if (code != 0)
        Fail(QStringLiteral("the instrument reports %1 after \"%2\".")
                 .arg(error, QString::fromLatin1(command)));
}

void TScpiGenerator::SetFrequency(std::uint64_t hz) {
    Setting("FREQ " + QByteArray::number(qulonglong(hz)));
}

void TScpiGenerator::SetLevel(double dbm) {
    const QByteArray value = QByteArray::number(dbm, 'g', 10);
    Setting((levelCommand_ == TLevelCommand::lcPower ? "POW " : "LEV ") + value);
}

void TScpiGenerator::SetOutput(bool on) {
    Setting(on ? "OUTP ON" : "OUTP OFF");
}

void TScpiGenerator::Disconnect() {
    if (!socket_) return;
    socket_->abort();
    socket_.reset();
}
