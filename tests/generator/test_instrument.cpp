// What the operator writes to name a generator and its commands: the link
// texts read and written back, the command templates and their placeholders,
// and the command sets, recent links and choice kept in the user key.
#include "generator/instrument.h"
#include "generator/linkaddress.h"
#include "platform/registry.h"
#include "support/testsupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(LinkAddress, ReadsResourceTextsAndWritesThemBack) {
    struct Case {
        const char *text;
        TLinkKind kind;
        const char *written; // Text(); empty: refused
        const char *address; // Address(), or the refusal's beginning
    } cases[] = {
        {"TCPIP0::192.168.1.20::5025::SOCKET", TLinkKind::lkSocket,
         "TCPIP0::192.168.1.20::5025::SOCKET", "192.168.1.20:5025"},
        {" tcpip::gen.lab::5026::socket ", TLinkKind::lkSocket, "TCPIP0::gen.lab::5026::SOCKET",
         "gen.lab:5026"},
        {"192.168.1.20", TLinkKind::lkSocket, "TCPIP0::192.168.1.20::5025::SOCKET",
         "192.168.1.20:5025"},
        {"localhost:5100", TLinkKind::lkSocket, "TCPIP0::localhost::5100::SOCKET",
         "localhost:5100"},
        {"[::1]:5025", TLinkKind::lkSocket, "TCPIP0::[::1]::5025::SOCKET", "[::1]:5025"},
        {"GPIB0::19::INSTR via 192.168.1.30", TLinkKind::lkGpibLan,
         "GPIB0::19::INSTR via 192.168.1.30:1234", "GPIB0::19::INSTR via 192.168.1.30:1234"},
        {"gpib::7 via TCPIP0::10.0.0.5::1300::SOCKET", TLinkKind::lkGpibLan,
         "GPIB0::7::INSTR via 10.0.0.5:1300", "GPIB0::7::INSTR via 10.0.0.5:1300"},
        {"GPIB0::30::INSTR via /dev/ttyUSB0", TLinkKind::lkGpibSerial,
         "GPIB0::30::INSTR via /dev/ttyUSB0", "GPIB0::30::INSTR via /dev/ttyUSB0"},
        {"/dev/usbtmc0", TLinkKind::lkUsbtmc, "/dev/usbtmc0", "/dev/usbtmc0"},
        {"USB0::0x1AB1::0x0588::DG1D1234::INSTR", TLinkKind::lkUsbtmc,
         "USB0::0x1AB1::0x0588::DG1D1234::INSTR", "USB0::0x1AB1::0x0588::DG1D1234::INSTR"},
        {"", TLinkKind::lkSocket, "", "No address given."},
        {"GPIB0::31::INSTR via 1.2.3.4", TLinkKind::lkSocket, "", "A GPIB address is 0 to 30"},
        {"GPIB0::19::INSTR", TLinkKind::lkSocket, "", "\"GPIB0::19::INSTR\": name the GPIB"},
        {"TCPIP0::10.0.0.1::inst0::INSTR", TLinkKind::lkSocket, "",
         "\"TCPIP0::10.0.0.1::inst0::INSTR\": only raw sockets"},
        {"host:99999", TLinkKind::lkSocket, "", "The port must be 1 to 65535, not 99999."},
        {"bad host", TLinkKind::lkSocket, "", "\"bad host\" is not a host name or IP address."},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        QString error;
        const std::optional<TLinkAddress> a = TLinkAddress::Parse(c.text, &error);
        if (!*c.written) {
            EXPECT_FALSE(a);
            EXPECT_TRUE(error.startsWith(c.address)) << error.toStdString();
            continue;
        }
        ASSERT_TRUE(a) << error.toStdString();
        EXPECT_EQ(a->Kind, c.kind);
        EXPECT_EQ(a->Text(), c.written);
        EXPECT_EQ(a->Address(), c.address);
        EXPECT_EQ(TLinkAddress::Parse(a->Text()), a); // written text reads back the same
    }
}

TEST(LinkAddress, UsbtmcDevicesAreNamedByTheirIdentity) {
    QTemporaryDir dir;
    auto write = [&](const QString &file, const QByteArray &text) {
        QDir().mkpath(QFileInfo(dir.filePath(file)).path());
        QFile f(dir.filePath(file));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    };
    // The class entry's device is the USB interface inside the USB device.
    write("usb/1-2/idVendor", "1ab1\n");
    write("usb/1-2/idProduct", "0588\n");
    write("usb/1-2/serial", "DG1D1234\n");
    write("usb/1-2/1-2:1.0/placeholder", "");
    write("usb/1-3/idVendor", "0957\n");
    write("usb/1-3/idProduct", "1755\n");
    write("usb/1-3/1-3:1.0/placeholder", "");
    QDir().mkpath(dir.filePath("class/usbtmc0"));
    QDir().mkpath(dir.filePath("class/usbtmc1"));
    QFile::link(dir.filePath("usb/1-2/1-2:1.0"), dir.filePath("class/usbtmc0/device"));
    QFile::link(dir.filePath("usb/1-3/1-3:1.0"), dir.filePath("class/usbtmc1/device"));

    const std::vector<TUsbtmcDevice> devices = UsbtmcDevices(dir.filePath("class"), "/dev");
    ASSERT_EQ(devices.size(), 2u);
    EXPECT_EQ(devices[0].Path, "/dev/usbtmc0");
    EXPECT_EQ(devices[0].Resource, "USB0::0x1AB1::0x0588::DG1D1234::INSTR");
    EXPECT_EQ(devices[1].Resource, "USB0::0x0957::0x1755::INSTR");
    EXPECT_EQ(UsbtmcPath("usb::0x1ab1::0x0588::DG1D1234::INSTR", devices), "/dev/usbtmc0");
    EXPECT_EQ(UsbtmcPath("USB0::0x0957::0x1755::INSTR", devices), "/dev/usbtmc1");
    EXPECT_EQ(UsbtmcPath("USB0::0x0957::0x1756::INSTR", devices), QString());
}

TEST(CommandTemplate, PlaceholdersAndTheChecksOfASet) {
    struct Case {
        const char *line;
        std::uint64_t hz;
        double dbm;
        const char *sent;
    } lines[] = {
        {"FREQ {hz}", 7'100'000, 0, "FREQ 7100000"},
        {"F {khz} K", 7'100'500, 0, "F 7100.5 K"},
        {"F {MHz} M", 7'100'000, 0, "F 7.1 M"},
        {"F{mhz:6}M", 7'100'000, 0, "F7.100000M"},
        {"F{mhz:2}M", 7'104'999, 0, "F7.10M"},
        {"F{mhz:2}M", 7'105'000, 0, "F7.11M"},
        {"F{khz:0}", 999'500, 0, "F1000"},
        {"FREQ {hz:1}", 9'000, 0, "FREQ 9000.0"},
        {"L{dbm}D", 0, -73.5, "L-73.5D"},
        {"L{dbm}D", 0, -129.89999999999998, "L-129.9D"},
        {"L{dbm:1}D", 0, -73.0, "L-73.0D"},
        {"L{dbm:1}", 0, -0.04, "L0.0"},
        {"LEV {dbm}", 0, 0.0, "LEV 0"},
        {"{{raw}} {hz}", 1, 0, "{raw} 1"},
    };
    for (const Case &c : lines)
        EXPECT_EQ(CommandTemplate::Expand(c.line, c.hz, c.dbm), c.sent) << c.line;

    struct Fault {
        std::function<void(TCommandSet &)> change;
        const char *reason;
    } faults[] = {
        {[](TCommandSet &s) { s.Name = " "; }, "The command set has no name."},
        {[](TCommandSet &s) { s.OutputOff.clear(); }, "The output off line is empty."},
        {[](TCommandSet &s) { s.Frequency = "FREQ {hertz}"; },
         "The frequency line: unknown placeholder \"{hertz}\""},
        {[](TCommandSet &s) { s.Frequency = "FREQ {mhz:13}"; },
         "The frequency line: unknown placeholder \"{mhz:13}\""},
        {[](TCommandSet &s) { s.Level = "POW {dbm"; },
         "The level line: a \"{\" without its \"}\"."},
        {[](TCommandSet &s) { s.Level = "POW dbm}"; }, "The level line: a \"}\" without its \"{\""},
        {[](TCommandSet &s) { s.Level = "POW {hz}"; }, "The level line has no {dbm}."},
        {[](TCommandSet &s) { s.Frequency = "FREQ 7 MHz"; },
         "The frequency line has no {hz}, {khz} or {mhz}."},
        {[](TCommandSet &s) { s.Completion = "*OPC?\n*WAI"; },
         "The completion query line: a line break or control character."},
        {[](TCommandSet &s) { s.Identity = "*IDN\u00e9"; },
         "The identity query line: \"\u00e9\" is not an ASCII character."},
        {[](TCommandSet &s) { s.ErrorQuery.clear(), s.Completion.clear(), s.Identity.clear(); },
         ""},
    };
    for (const Fault &f : faults) {
        TCommandSet set = TCommandSet::ScpiPower();
        f.change(set);
        const QString reason = QString::fromUtf8(f.reason);
        if (reason.isEmpty())
            EXPECT_EQ(set.Check(), QString());
        else
            EXPECT_TRUE(set.Check().startsWith(reason)) << set.Check().toStdString();
    }
}

TEST(Instrument, CommandSetsRecentLinksAndTheChoiceLiveInTheUserKey) {
    testsupport::TemporaryRegistry registry;
    // A key of the version before kept the socket and the level form.
    {
        const auto key = platform::OpenUserKey();
        key->setValue("Sweep Address", "10.1.2.3");
        key->setValue("Sweep Port", 5026);
        key->setValue("Sweep Level Command", 1);
    }
    EXPECT_EQ(Instrument::Chosen(), (TInstrument{"TCPIP0::10.1.2.3::5026::SOCKET", "SCPI LEVel"}));

    TCommandSet classic = {"Old bench generator", "", "F{mhz:6}M", "L{dbm:1}D", "O1", "O0", "", ""};
    QString error;
    EXPECT_TRUE(Instrument::SaveCommandSet(classic, &error)) << error.toStdString();
    TCommandSet renamed = TCommandSet::ScpiPower();
    renamed.Name = "scpi power";
    EXPECT_FALSE(Instrument::SaveCommandSet(renamed, &error));
    EXPECT_EQ(error, "\"SCPI POWer\" is a built-in command set; save the changed set under a "
                     "name of its own.");
    TCommandSet broken = classic;
    broken.Name = "Broken";
    broken.Level = "L";
    EXPECT_FALSE(Instrument::SaveCommandSet(broken, &error));
    EXPECT_EQ(error, "The level line has no {dbm}.");
    classic.OutputOn = "O1 "; // saving again replaces it
    EXPECT_TRUE(Instrument::SaveCommandSet(classic));

    QStringList names;
    for (const TCommandSet &set : Instrument::CommandSets())
        names << set.Name;
    EXPECT_EQ(names, QStringList({"SCPI POWer", "SCPI LEVel", "Old bench generator"}));
    EXPECT_EQ(Instrument::FindCommandSet("old bench generator"), classic);

    for (int i = 0; i < 10; ++i)
        Instrument::RememberLink(QStringLiteral("10.0.0.%1").arg(i));
    Instrument::Choose({"GPIB0::19::INSTR via 10.0.0.9:1234", "Old bench generator"});
    Instrument::RememberLink("10.0.0.5");
    EXPECT_EQ(Instrument::RecentLinks(),
              QStringList({"10.0.0.5", "GPIB0::19::INSTR via 10.0.0.9:1234", "10.0.0.9", "10.0.0.8",
                           "10.0.0.7", "10.0.0.6", "10.0.0.4", "10.0.0.3"}));
    EXPECT_EQ(Instrument::Chosen(),
              (TInstrument{"GPIB0::19::INSTR via 10.0.0.9:1234", "Old bench generator"}));

    EXPECT_TRUE(Instrument::RemoveCommandSet("Old bench generator"));
    EXPECT_FALSE(Instrument::RemoveCommandSet("SCPI POWer"));
    EXPECT_FALSE(Instrument::FindCommandSet("Old bench generator"));

    // A program without windows asks for a generator by link and set name.
    EXPECT_TRUE(Instrument::CreateGenerator("127.0.0.1:5025", "SCPI LEVel", 3000, &error));
    EXPECT_FALSE(
        Instrument::CreateGenerator("127.0.0.1:5025", "Old bench generator", 3000, &error));
    EXPECT_EQ(error, "There is no command set \"Old bench generator\"; there are \"SCPI POWer\", "
                     "\"SCPI LEVel\".");
    EXPECT_FALSE(Instrument::CreateGenerator("GPIB0::40 via x", "SCPI POWer", 3000, &error));
    EXPECT_EQ(error, "A GPIB address is 0 to 30, not 40.");
}

} // namespace
