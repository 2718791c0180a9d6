#include "benchoptions.h"

#include "generator/instrument.h"

#include <QCommandLineParser>
#include <QLocale>
#include <QRegularExpression>
#include <QStringList>

#include <cmath>
#include <limits>
#include <optional>

namespace K740cal {

namespace {

constexpr int kMaxPoints = 10000;

bool Number(const QString &text, double &value) {
    bool ok = false;
    value = QLocale::c().toDouble(text.trimmed(), &ok);
    return ok && std::isfinite(value);
}

} // namespace

bool ParsePointList(const QString &text, std::vector<std::uint64_t> &points, QString &error) {
    static const QRegularExpression item(
        QStringLiteral("^([0-9]+(?:\\.[0-9]*)?|\\.[0-9]+)\\s*([kKmMgG]?)(?:[hH][zZ])?$"));
    std::vector<std::uint64_t> read;
    for (const QString &part : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QRegularExpressionMatch match = item.match(part.trimmed());
        double value = 0;
        if (!match.hasMatch() || !Number(match.captured(1), value)) {
            error = QStringLiteral("--points: \"%1\" is not a frequency (7100000, 7.1M, 7100k)")
                        .arg(part.trimmed());
            return false;
        }
        const QChar unit = match.captured(2).isEmpty() ? QChar() : match.captured(2)[0].toUpper();
        const double factor = unit == QLatin1Char('K')   ? 1e3
                              : unit == QLatin1Char('M') ? 1e6
                              : unit == QLatin1Char('G') ? 1e9
                                                         : 1.0;
        const double hz = std::round(value * factor);
        if (hz < 1 || hz > double(std::numeric_limits<std::uint32_t>::max())) {
            error = QStringLiteral("--points: %1 is outside 1 Hz to 4.29 GHz").arg(part.trimmed());
            return false;
        }
        read.push_back(std::uint64_t(hz));
    }
    if (read.empty()) {
        error = QStringLiteral("--points: no frequency given");
        return false;
    }
    if (read.size() > std::size_t(kMaxPoints)) {
        error = QStringLiteral("--points: at most %1 points").arg(kMaxPoints);
        return false;
    }
    points = std::move(read);
    return true;
}

namespace {

// The rows of the option table, in its order.
enum TBenchOption {
    boPoints,
    boReceiver,
    boGenerator,
    boCommands,
    boLoss,
    boFrom,
    boTo,
    boStep,
    boSettle,
    boReadings,
    boLevels,
    boTolerance,
    boReport,
    boJson,
};

} // namespace

TBenchOptionSet::TBenchOptionSet()
    : table_({
          {"points", "LIST", "The points: 7.1M,14.2M (Hz, k, M, G).", nullptr},
          {"receiver", "SERIAL", "The receiver's serial (the demo receiver).", nullptr},
          {"generator", "LINK",
           "The generator's link: HOST[:PORT], TCPIP0::HOST::PORT::SOCKET, GPIB0::N::INSTR via "
           "HOST[:PORT] or DEVICE, USB0::...::INSTR (the simulated bench).",
           nullptr},
          {"commands", "NAME",
           "The command set's name; POW and LEV name the SCPI sets (SCPI POWer).", nullptr},
          {"loss", "DB", "Loss between generator and receiver, dB (0).", nullptr},
          {"from", "DBM", "calibrate: first generator level, dBm (-130).", "calibrate"},
          {"to", "DBM", "calibrate: last generator level, dBm (-20).", "calibrate"},
          {"step", "DB", "calibrate: level step, dB (1).", "calibrate"},
          {"settle", "MS", "Wait after each level change, ms (150).", nullptr},
          {"readings", "N", "Live RAW readings per level (5).", nullptr},
          {"levels", "LEVELS", "measure: generator levels (-120:-30:10).", "measure"},
          {"tolerance", "DB", "measure: allowed error, dB (1.0).", "measure"},
          {"report", "OUT.pdf", "Writes the calibration report at the end.", nullptr},
          {"json", nullptr, "Prints the results as JSON.", nullptr},
      }) {}

bool TBenchOptionSet::Read(const QCommandLineParser &parser, bool measure, TBenchOptions &options,
                           QString &error) const {
    const QString command = measure ? QStringLiteral("measure") : QStringLiteral("calibrate");
    error = table_.Misplaced(parser, command);
    if (!error.isEmpty()) return false;
    const auto number = [&](const QCommandLineOption &option, double &value) {
        if (!error.isEmpty() || !parser.isSet(option)) return;
        if (!Number(parser.value(option), value))
            error = QStringLiteral("--%1: \"%2\" is not a number")
                        .arg(option.names().constFirst(), parser.value(option));
    };
    const auto integer = [&](const QCommandLineOption &option, int low, int high, int &value) {
        if (!error.isEmpty() || !parser.isSet(option)) return;
        bool ok = false;
        const int v = parser.value(option).trimmed().toInt(&ok);
        if (ok && v >= low && v <= high)
            value = v;
        else
            error = QStringLiteral("--%1: \"%2\" is not a whole number from %3 to %4")
                        .arg(option.names().constFirst(), parser.value(option))
                        .arg(low)
                        .arg(high);
    };

    if (parser.isSet(table_[boPoints]) &&
        !ParsePointList(parser.value(table_[boPoints]), options.Points, error))
        return false;
    options.Receiver = parser.value(table_[boReceiver]).trimmed();
    options.Generator = parser.value(table_[boGenerator]).trimmed();
    if (parser.isSet(table_[boCommands])) {
        const QString name = parser.value(table_[boCommands]).trimmed();
        const QString upper = name.toUpper();
        std::optional<TCommandSet> set;
        if (upper == QLatin1String("POW") || upper == QLatin1String("POWER"))
            set = TCommandSet::ScpiPower();
        else if (upper == QLatin1String("LEV") || upper == QLatin1String("LEVEL"))
            set = TCommandSet::ScpiLevel();
        else
            set = Instrument::FindCommandSet(name);
        if (!set) {
            QStringList names;
            for (const TCommandSet &known : Instrument::CommandSets())
                names << QLatin1Char('"') + known.Name + QLatin1Char('"');
            error = QStringLiteral("--commands: unknown command set \"%1\" (%2)")
                        .arg(parser.value(table_[boCommands]), names.join(QStringLiteral(", ")));
            return false;
        }
        options.Commands = set->Name;
    }
    options.Sweep.Instrument.Commands = options.Commands;
    // The levels --from, --to and --step give, in fixed steps.
    options.Sweep.Adaptive = false;
    double loss = 0;
    number(table_[boLoss], loss);
    number(table_[boFrom], options.Sweep.From);
    number(table_[boTo], options.Sweep.To);
    number(table_[boStep], options.Sweep.Step);
    integer(table_[boSettle], 0, 60000, options.Sweep.SettleMs);
    integer(table_[boReadings], 1, 100, options.Sweep.Readings);
    number(table_[boTolerance], options.Verify.Tolerance);
    if (!error.isEmpty()) return false;
    options.Sweep.Loss = loss;
    options.Verify.Loss = loss;
    options.Verify.SettleMs = options.Sweep.SettleMs;
    options.Verify.Readings = options.Sweep.Readings;
    if (parser.isSet(table_[boLevels]) &&
        !Verification::ParseLevels(parser.value(table_[boLevels]), options.Verify.Levels, error)) {
        error = QStringLiteral("--levels: ") + error;
        return false;
    }
    QString settingsError;
    if (measure ? !options.Verify.Check(&settingsError)
                : options.Sweep.Levels(&settingsError).empty()) {
        error = QStringLiteral("%1: %2").arg(command, settingsError);
        return false;
    }
    options.Report = parser.value(table_[boReport]);
    options.Json = parser.isSet(table_[boJson]);
    return true;
}

} // namespace K740cal
