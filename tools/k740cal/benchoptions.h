// The options of k740cal calibrate and measure: which points, which
// receiver, which generator over which link, and the sweep or verification
// settings, with the sweep window's defaults.
#pragma once

#include "generator/commandset.h"
#include "generator/sweepengine.h"
#include "generator/verifyengine.h"

#include <QCommandLineOption>
#include <QString>

#include <cstdint>
#include <vector>

class QCommandLineParser;

namespace K740cal {

struct TBenchOptions {
    QString File;
    // The points to sweep or verify; empty: every point the file holds.
    std::vector<std::uint64_t> Points;
    // The receiver's serial; empty: the demo receiver.
    QString Receiver;
    // The generator's link, any resource text of generator/linkaddress.h
    // ("HOST[:PORT]" a socket); empty: the simulated bench of the opened
    // simulated receiver.
    QString Generator;
    // The command set's name (generator/instrument.h).
    QString Commands = TCommandSet::ScpiPower().Name;
    TSweepSettings Sweep;
    TVerifySettings Verify;
    QString Report; // the PDF written at the end; empty: none
    bool Json = false;
};

// The options as the command line parser knows them.
class TBenchOptionSet {
public:
    void AddTo(QCommandLineParser &parser) const;
    // The name of the first of these options that is set, or an empty text.
    QString FirstSet(const QCommandLineParser &parser) const;
    // Reads the options of calibrate (measure false) or measure into
    // `options`; false with the usage error's text.
    bool Read(const QCommandLineParser &parser, bool measure, TBenchOptions &options,
              QString &error) const;

private:
    QCommandLineOption points_{QStringLiteral("points"),
                               QStringLiteral("The points: 7.1M,14.2M (Hz, k, M, G)."),
                               QStringLiteral("LIST")};
    QCommandLineOption receiver_{QStringLiteral("receiver"),
                                 QStringLiteral("The receiver's serial (the demo receiver)."),
                                 QStringLiteral("SERIAL")};
    QCommandLineOption generator_{
        QStringLiteral("generator"),
        QStringLiteral("The generator's link: HOST[:PORT], TCPIP0::HOST::PORT::SOCKET, "
                       "GPIB0::N::INSTR via HOST[:PORT] or DEVICE, USB0::...::INSTR "
                       "(the simulated bench)."),
        QStringLiteral("LINK")};
    QCommandLineOption commands_{QStringLiteral("commands"),
                                 QStringLiteral("The command set's name; POW and LEV name the "
                                                "SCPI sets (SCPI POWer)."),
                                 QStringLiteral("NAME")};
    QCommandLineOption loss_{QStringLiteral("loss"),
                             QStringLiteral("Loss between generator and receiver, dB (0)."),
                             QStringLiteral("DB")};
    QCommandLineOption from_{QStringLiteral("from"),
                             QStringLiteral("calibrate: first generator level, dBm (-130)."),
                             QStringLiteral("DBM")};
    QCommandLineOption to_{QStringLiteral("to"),
                           QStringLiteral("calibrate: last generator level, dBm (-20)."),
                           QStringLiteral("DBM")};
    QCommandLineOption step_{QStringLiteral("step"),
                             QStringLiteral("calibrate: level step, dB (1)."),
                             QStringLiteral("DB")};
    QCommandLineOption settle_{QStringLiteral("settle"),
                               QStringLiteral("Wait after each level change, ms (150)."),
                               QStringLiteral("MS")};
    QCommandLineOption readings_{QStringLiteral("readings"),
                                 QStringLiteral("Live RAW readings per level (5)."),
                                 QStringLiteral("N")};
    QCommandLineOption levels_{QStringLiteral("levels"),
                               QStringLiteral("measure: generator levels (-120:-30:10)."),
                               QStringLiteral("LEVELS")};
    QCommandLineOption tolerance_{QStringLiteral("tolerance"),
                                  QStringLiteral("measure: allowed error, dB (1.0)."),
                                  QStringLiteral("DB")};
    QCommandLineOption report_{QStringLiteral("report"),
                               QStringLiteral("Writes the calibration report at the end."),
                               QStringLiteral("OUT.pdf")};
    QCommandLineOption json_{QStringLiteral("json"), QStringLiteral("Prints the results as JSON.")};
};

// "7.1M,14.2M,3600000": whole hertz, or a number with k, M or G (and an
// optional "Hz"); false with the message for anything else.
bool ParsePointList(const QString &text, std::vector<std::uint64_t> &points, QString &error);

} // namespace K740cal
