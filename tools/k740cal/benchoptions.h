// The options of k740cal calibrate and measure: which points, which
// receiver, which generator over which link, and the sweep or verification
// settings, with the sweep window's defaults.
#pragma once

#include "generator/commandset.h"
#include "generator/sweepengine.h"
#include "generator/verifyengine.h"
#include "optiontable.h"

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
    TBenchOptionSet();
    void AddTo(QCommandLineParser &parser) const { table_.AddTo(parser); }
    // The name of the first of these options that is set, or an empty text.
    QString FirstSet(const QCommandLineParser &parser) const { return table_.FirstSet(parser); }
    // Reads the options of calibrate (measure false) or measure into
    // `options`; false with the usage error's text.
    bool Read(const QCommandLineParser &parser, bool measure, TBenchOptions &options,
              QString &error) const;

private:
    TOptionTable table_;
};

// "7.1M,14.2M,3600000": whole hertz, or a number with k, M or G (and an
// optional "Hz"); false with the message for anything else.
bool ParsePointList(const QString &text, std::vector<std::uint64_t> &points, QString &error);

} // namespace K740cal
