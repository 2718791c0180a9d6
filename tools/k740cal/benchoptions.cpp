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

void TBenchOptionSet::AddTo(QCommandLineParser &parser) const {
    parser.addOptions({points_, receiver_, generator_, commands_, loss_, from_, to_, step_, settle_,
                       readings_, levels_, tolerance_, report_, json_});
}

QString TBenchOptionSet::FirstSet(const QCommandLineParser &parser) const {
    for (const QCommandLineOption *option :
         {&points_, &receiver_, &generator_, &commands_, &loss_, &from_, &to_, &step_, &settle_,
          &readings_, &levels_, &tolerance_, &report_, &json_})
        if (parser.isSet(*option)) return option->names().constFirst();
    return QString();
}

bool TBenchOptionSet::Read(const QCommandLineParser &parser, bool measure, TBenchOptions &options,
                           QString &error) const {
    const QString command = measure ? QStringLiteral("measure") : QStringLiteral("calibrate");
    const std::vector<const QCommandLineOption *> others =
        measure ? std::vector<const QCommandLineOption *>{&from_, &to_, &step_}
                : std::vector<const QCommandLineOption *>{&levels_, &tolerance_};
    for (const QCommandLineOption *option : others) {
        if (parser.isSet(*option)) {
            error = QStringLiteral("%1: option --%2 belongs to %3")
                        .arg(command, option->names().constFirst(),
                             measure ? QStringLiteral("calibrate") : QStringLiteral("measure"));
            return false;
        }
    }
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

    if (parser.isSet(points_) && !ParsePointList(parser.value(points_), options.Points, error))
        return false;
    options.Receiver = parser.value(receiver_).trimmed();
    options.Generator = parser.value(generator_).trimmed();
    if (parser.isSet(commands_)) {
        const QString name = parser.value(commands_).trimmed();
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
                        .arg(parser.value(commands_), names.join(QStringLiteral(", ")));
            return false;
        }
        options.Commands = set->Name;
    }
    options.Sweep.Instrument.Commands = options.Commands;
    // The levels --from, --to and --step give, in fixed steps.
    options.Sweep.Adaptive = false;
    double loss = 0;
    number(loss_, loss);
    number(from_, options.Sweep.From);
    number(to_, options.Sweep.To);
    number(step_, options.Sweep.Step);
    integer(settle_, 0, 60000, options.Sweep.SettleMs);
    integer(readings_, 1, 100, options.Sweep.Readings);
    number(tolerance_, options.Verify.Tolerance);
    if (!error.isEmpty()) return false;
    options.Sweep.Loss = loss;
    options.Verify.Loss = loss;
    options.Verify.SettleMs = options.Sweep.SettleMs;
    options.Verify.Readings = options.Sweep.Readings;
    if (parser.isSet(levels_) &&
        !Verification::ParseLevels(parser.value(levels_), options.Verify.Levels, error)) {
        error = QStringLiteral("--levels: ") + error;
        return false;
    }
    QString settingsError;
    if (measure ? !options.Verify.Check(&settingsError)
                : options.Sweep.Levels(&settingsError).empty()) {
        error = QStringLiteral("%1: %2").arg(command, settingsError);
        return false;
    }
    options.Report = parser.value(report_);
    options.Json = parser.isSet(json_);
    return true;
}

} // namespace K740cal
