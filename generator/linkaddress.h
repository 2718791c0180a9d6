// Where a generator is reached, written as the resource text that users of
// instrument software know:
//
//     TCPIP0::192.168.1.20::5025::SOCKET      SCPI text over a raw TCP socket
//     GPIB0::19::INSTR via 192.168.1.30:1234  GPIB address 19 behind a LAN-GPIB
//                                             adapter ("++" controller commands)
//     GPIB0::19::INSTR via /dev/ttyUSB0       the same behind a USB-GPIB adapter
//                                             on a serial port
//     /dev/usbtmc0                            a USBTMC device file of the kernel
//     USB0::0x1234::0x5678::SN42::INSTR       the same, found by its identity
//
// Parse() also takes "host", "host:port" (a socket, port 5025 by default),
// "GPIB::19" and an adapter written "host" (port 1234) or as a socket
// resource; Text() writes the forms above, which Parse() reads back.
#pragma once

#include <QString>

#include <optional>
#include <vector>

enum class TLinkKind { lkSocket, lkGpibLan, lkGpibSerial, lkUsbtmc };

struct TLinkAddress {
    static constexpr int kSocketPort = 5025;
    static constexpr int kAdapterPort = 1234;
    static constexpr int kHighestGpibAddress = 30;

    TLinkKind Kind = TLinkKind::lkSocket;
    QString Host = QStringLiteral("127.0.0.1"); // socket, LAN-GPIB adapter
    int Port = kSocketPort;                     // socket, LAN-GPIB adapter
    int GpibAddress = 0;                        // GPIB links
    QString Device; // the USB-GPIB adapter's serial port; the USBTMC file or USB resource

    bool operator==(const TLinkAddress &) const = default;

    // The address of a text, or nothing with the reason in `error`.
    static std::optional<TLinkAddress> Parse(const QString &text, QString *error = nullptr);
    // The resource text (see above).
    QString Text() const;
    // How messages name the instrument: "host:port" for a socket, else Text().
    QString Address() const;
};

// A USBTMC device of the machine: its file and its resource text.
struct TUsbtmcDevice {
    QString Path;     // "/dev/usbtmc0"
    QString Resource; // "USB0::0x1234::0x5678::SN42::INSTR"; empty when unknown
};

// The USBTMC devices, from the kernel's class folder (the folders can be
// given, for tests).
std::vector<TUsbtmcDevice>
UsbtmcDevices(const QString &classFolder = QStringLiteral("/sys/class/usbmisc"),
              const QString &deviceFolder = QStringLiteral("/dev"));

// The device file of a USBTMC resource text; empty when no device has it.
QString UsbtmcPath(const QString &resource, const std::vector<TUsbtmcDevice> &devices);

// The machine's serial ports ("/dev/ttyUSB0", ...), for the USB-GPIB adapter.
QStringList SerialPorts();
