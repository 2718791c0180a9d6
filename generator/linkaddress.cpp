#include "generator/linkaddress.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSerialPortInfo>

#include <algorithm>

namespace {

constexpr auto kCaseless = QRegularExpression::CaseInsensitiveOption;

// A host name, an IPv4 address or an IPv6 address in brackets (kept without).
bool ParseHost(const QString &text, QString &host) {
    static const QRegularExpression name(QStringLiteral("^[A-Za-z0-9._-]+$"));
    static const QRegularExpression v6(QStringLiteral("^\\[([0-9A-Fa-f:.]+)\\]$"));
    if (name.match(text).hasMatch()) {
        host = text;
        return true;
    }
    const QRegularExpressionMatch m = v6.match(text);
    if (!m.hasMatch()) return false;
    host = m.captured(1);
    return true;
}

bool ParsePort(const QString &text, int &port) {
    bool ok = false;
    port = text.toInt(&ok);
    return ok && port >= 1 && port <= 65535;
}

QString HostText(const QString &host) {
    return host.contains(QLatin1Char(':')) ? QLatin1Char('[') + host + QLatin1Char(']') : host;
}

// "TCPIP0::host::port::SOCKET", "host:port" or "host" (with defaultPort).
bool ParseSocket(const QString &text, int defaultPort, QString &host, int &port, QString &error) {
    static const QRegularExpression resource(QStringLiteral("^TCPIP\\d*::(.+)::(\\d+)::SOCKET$"),
                                             kCaseless);
    static const QRegularExpression instr(QStringLiteral("^TCPIP\\d*::.+::INSTR$"), kCaseless);
    static const QRegularExpression hostPort(QStringLiteral("^(\\[[^\\]]*\\]|[^:]+)(?::(\\d+))?$"));
    QString hostText, portText;
    if (const QRegularExpressionMatch m = resource.match(text); m.hasMatch()) {
        hostText = m.captured(1);
        portText = m.captured(2);
    } else if (instr.match(text).hasMatch()) {
        error = QStringLiteral("\"%1\": only raw sockets are supported; write the instrument's "
                               "SCPI port, as in \"TCPIP0::192.168.1.20::5025::SOCKET\".")
                    .arg(text);
        return false;
    } else if (const QRegularExpressionMatch h = hostPort.match(text); h.hasMatch()) {
        hostText = h.captured(1);
        portText = h.captured(2);
    } else {
        error = QStringLiteral("\"%1\" is not an address.").arg(text);
        return false;
    }
    if (!ParseHost(hostText, host)) {
        error = QStringLiteral("\"%1\" is not a host name or IP address.").arg(hostText);
        return false;
    }
    port = defaultPort;
    if (!portText.isEmpty() && !ParsePort(portText, port)) {
        error = QStringLiteral("The port must be 1 to 65535, not %1.").arg(portText);
        return false;
    }
    return true;
}

QString ReadLine(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return QString();
    return QString::fromLatin1(file.read(256)).trimmed();
}

} // namespace

std::optional<TLinkAddress> TLinkAddress::Parse(const QString &input, QString *error) {
    QString reason;
    auto fail = [&](const QString &text) -> std::optional<TLinkAddress> {
        if (error) *error = text;
        return std::nullopt;
    };
    const QString text = input.trimmed();
    if (text.isEmpty()) return fail(QStringLiteral("No address given."));

    TLinkAddress address;
    static const QRegularExpression gpib(
        QStringLiteral("^GPIB\\d*::(\\d+)(?:::\\d+)?(?:::INSTR)?(?:\\s+via\\s+(.*))?$"), kCaseless);
    if (const QRegularExpressionMatch m = gpib.match(text); m.hasMatch()) {
        bool ok = false;
        address.GpibAddress = m.captured(1).toInt(&ok);
        if (!ok || address.GpibAddress > kHighestGpibAddress)
            return fail(QStringLiteral("A GPIB address is 0 to %1, not %2.")
                            .arg(kHighestGpibAddress)
                            .arg(m.captured(1)));
        const QString adapter = m.captured(2).trimmed();
        if (adapter.isEmpty())
            return fail(QStringLiteral("\"%1\": name the GPIB adapter after \"via\": its address "
                                       "(\"... via 192.168.1.30:1234\") or its serial port "
                                       "(\"... via /dev/ttyUSB0\").")
                            .arg(text));
        if (adapter.startsWith(QLatin1Char('/'))) {
            address.Kind = TLinkKind::lkGpibSerial;
            address.Device = adapter;
            address.Host.clear();
            address.Port = 0;
            return address;
        }
        address.Kind = TLinkKind::lkGpibLan;
        if (!ParseSocket(adapter, kAdapterPort, address.Host, address.Port, reason))
            return fail(reason);
        return address;
    }
    static const QRegularExpression usb(QStringLiteral("^USB\\d*::.+::INSTR$"), kCaseless);
    if (usb.match(text).hasMatch() || text.startsWith(QLatin1Char('/'))) {
        address.Kind = TLinkKind::lkUsbtmc;
        address.Device = text;
        address.Host.clear();
        address.Port = 0;
        return address;
    }
    if (!ParseSocket(text, kSocketPort, address.Host, address.Port, reason)) return fail(reason);
    return address;
}

QString TLinkAddress::Text() const {
    switch (Kind) {
    case TLinkKind::lkSocket:
        return QStringLiteral("TCPIP0::%1::%2::SOCKET").arg(HostText(Host)).arg(Port);
    case TLinkKind::lkGpibLan:
        return QStringLiteral("GPIB0::%1::INSTR via %2:%3")
            .arg(GpibAddress)
            .arg(HostText(Host))
            .arg(Port);
    case TLinkKind::lkGpibSerial:
        return QStringLiteral("GPIB0::%1::INSTR via %2").arg(GpibAddress).arg(Device);
    case TLinkKind::lkUsbtmc:
        return Device;
    }
    return QString();
}

QString TLinkAddress::Address() const {
    if (Kind == TLinkKind::lkSocket)
        return HostText(Host) + QLatin1Char(':') + QString::number(Port);
    return Text();
}

std::vector<TUsbtmcDevice> UsbtmcDevices(const QString &classFolder, const QString &deviceFolder) {
    std::vector<TUsbtmcDevice> devices;
    const QStringList names =
        QDir(classFolder)
            .entryList({QStringLiteral("usbtmc*")}, QDir::Dirs | QDir::System, QDir::Name);
    for (const QString &name : names) {
        TUsbtmcDevice device;
        device.Path = deviceFolder + QLatin1Char('/') + name;
        // The class entry's "device" is the USB interface; the USB device
        // with its identity is the folder above it.
        const QString usb = classFolder + QLatin1Char('/') + name + QStringLiteral("/device/..");
        bool vendorOk = false, productOk = false;
        const uint vendor = ReadLine(usb + QStringLiteral("/idVendor")).toUInt(&vendorOk, 16);
        const uint product = ReadLine(usb + QStringLiteral("/idProduct")).toUInt(&productOk, 16);
        if (vendorOk && productOk) {
            QString serial = ReadLine(usb + QStringLiteral("/serial"));
            auto hex = [](uint v) {
                return QString::number(v, 16).toUpper().rightJustified(4, QLatin1Char('0'));
            };
            device.Resource = QStringLiteral("USB0::0x%1::0x%2::").arg(hex(vendor), hex(product)) +
                              (serial.isEmpty() ? QString() : serial + QStringLiteral("::")) +
                              QStringLiteral("INSTR");
        }
        devices.push_back(device);
    }
    return devices;
}

QString UsbtmcPath(const QString &resource, const std::vector<TUsbtmcDevice> &devices) {
    // The board number and the letter case of the hex digits do not matter.
    static const QRegularExpression board(QStringLiteral("^USB\\d*::"), kCaseless);
    auto normal = [](QString text) {
        text.replace(board, QStringLiteral("USB::"));
        return text.toUpper();
    };
    const QString wanted = normal(resource.trimmed());
    for (const TUsbtmcDevice &d : devices)
        if (!d.Resource.isEmpty() && normal(d.Resource) == wanted) return d.Path;
    return QString();
}

QStringList SerialPorts() {
    QStringList ports;
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts())
        ports << info.systemLocation();
    std::sort(ports.begin(), ports.end());
    return ports;
}
