// The simulated generator's SCPI control: the command set in its long and
// short forms, units, queries, the error queue, and the socket it listens on.
#include "k740sim.h"

#include "support/testsupport.h"

#include <QHostAddress>
#include <QNetworkInterface>
#include <QProcess>
#include <QTcpSocket>

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Scpi(const char *line) {
    char answer[256];
    k740sim_ScpiExecute(line, answer, sizeof answer);
    return answer;
}

struct State {
    int32_t on;
    uint64_t hz;
    double dbm;
    bool operator==(const State &) const = default;
};
State Generator() {
    State s{};
    k740sim_GetGenerator(&s.on, &s.hz, &s.dbm);
    return s;
}

TEST(SimScpi, CommandsQueriesAndErrors) {
    struct Case {
        const char *line;
        const char *answer;
        State after;
        const char *error; // the error queue's next entry
    } cases[] = {
        {"*RST", "", {0, 10'000'000, -73}, "0,\"No error\""},
        {":SOUR:POW:LEV:IMM:AMPL -73.5", "", {0, 10'000'000, -73.5}, "0,\"No error\""},
        {"pow -60 dBm", "", {0, 10'000'000, -60}, "0,\"No error\""},
        {"LEV -50", "", {0, 10'000'000, -50}, "0,\"No error\""},
        {"source:level:immediate:amplitude -45DBM", "", {0, 10'000'000, -45}, "0,\"No error\""},
        {"FREQ 9 kHz", "", {0, 9'000, -45}, "0,\"No error\""},
        {"FREQ 0.009 MHz", "", {0, 9'000, -45}, "0,\"No error\""},
        {"FREQ 3.5 GHz", "", {0, 3'500'000'000, -45}, "0,\"No error\""},
        {"FREQ 8999.4", "", {0, 3'500'000'000, -45}, "-222,\"Data out of range\""},
        {"FREQ 7.1MHz", "", {0, 7'100'000, -45}, "0,\"No error\""},
        {"sour:freq:cw 7100 kHz;FREQuency:FIXed 1.5 GHz",
         "",
         {0, 1'500'000'000, -45},
         "0,\"No error\""},
        {"frequency 145500000;OUTP ON", "", {1, 145'500'000, -45}, "0,\"No error\""},
        {"FREQ?;POW?;OUTP:STAT?;*OPC?",
         "145500000;-45;1;1",
         {1, 145'500'000, -45},
         "0,\"No error\""},
        {"*IDN?", "K740SIM,Bench signal generator,0,1.0", {1, 145'500'000, -45}, "0,\"No error\""},
        {"outp:stat 0", "", {0, 145'500'000, -45}, "0,\"No error\""},
        {"POW 5", "", {0, 145'500'000, -45}, "-222,\"Data out of range\""},
        {"FREQ 1 Hz", "", {0, 145'500'000, -45}, "-222,\"Data out of range\""},
        {"POW abc", "", {0, 145'500'000, -45}, "-104,\"Data type error\""},
        {"FREQ 7 dBm", "", {0, 145'500'000, -45}, "-131,\"Invalid suffix\""},
        {"POWR -73", "", {0, 145'500'000, -45}, "-113,\"Undefined header\""},
        {"OUTP MAYBE", "", {0, 145'500'000, -45}, "-224,\"Illegal parameter value\""},
        {"POW", "", {0, 145'500'000, -45}, "-109,\"Missing parameter\""},
        {"POW::LEV -3", "", {0, 145'500'000, -45}, "-102,\"Syntax error\""},
        {"*IDN? 1", "", {0, 145'500'000, -45}, "-108,\"Parameter not allowed\""},
        {"SYST:ERR?", "0,\"No error\"", {0, 145'500'000, -45}, "0,\"No error\""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(Scpi(c.line), c.answer);
        EXPECT_EQ(Generator(), c.after);
        EXPECT_EQ(Scpi("SYSTem:ERRor:NEXT?"), c.error);
    }
    // A full queue keeps the oldest entries and ends with the overflow.
    for (int i = 0; i < 12; ++i)
        Scpi("BOGUS");
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(Scpi("SYST:ERR?"), "-113,\"Undefined header\"");
    EXPECT_EQ(Scpi("SYST:ERR?"), "-350,\"Queue overflow\"");
    EXPECT_EQ(Scpi("SYST:ERR?"), "0,\"No error\"");
}

std::string Ask(const QHostAddress &host, int port, const QByteArray &line) {
    QTcpSocket s;
    s.connectToHost(host, quint16(port));
    if (!s.waitForConnected(2000)) return "unreachable";
    s.write(line + "\n");
    while (!s.canReadLine())
        if (!s.waitForReadyRead(2000)) return "no answer";
    return s.readLine().trimmed().toStdString();
}

TEST(SimScpi, ListensOnTheLoopbackOnlyAndEachProgramOnItsOwnPort) {
    const int port = k740sim_ScpiOpen();
    ASSERT_GE(port, 5025);
    EXPECT_EQ(k740sim_ScpiOpen(), port); // a second user shares it
    k740sim_ScpiClose();
    EXPECT_EQ(Ask(QHostAddress::LocalHost, port, "*IDN?"), "K740SIM,Bench signal generator,0,1.0");
    for (const QHostAddress &a : QNetworkInterface::allAddresses()) {
        if (!a.isLoopback() && a.protocol() == QAbstractSocket::IPv4Protocol) {
            EXPECT_EQ(Ask(a, port, "*IDN?"), "unreachable") << a.toString().toStdString();
        }
    }

    QProcess others[2];
    int ports[2];
    for (int i = 0; i < 2; ++i) {
        others[i].start(testsupport::BinDir() + "/k740sim_scpihost", {});
        ASSERT_TRUE(others[i].waitForReadyRead(5000));
        ports[i] = others[i].readLine().trimmed().toInt();
        EXPECT_GE(ports[i], 5025);
        EXPECT_NE(ports[i], port);
        EXPECT_EQ(Ask(QHostAddress::LocalHost, ports[i], "OUTP?"), "0");
    }
    EXPECT_NE(ports[0], ports[1]);
    for (QProcess &p : others) {
        p.closeWriteChannel();
        EXPECT_TRUE(p.waitForFinished(5000));
    }
    k740sim_ScpiClose();
    EXPECT_EQ(k740sim_ScpiPort(), 0);
    EXPECT_EQ(Ask(QHostAddress::LocalHost, port, "*IDN?"), "unreachable");
}

} // namespace
