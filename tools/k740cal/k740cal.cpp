#include "k740cal.h"

#include "calhints.h"
#include "calibration/caltransfer.h"
#include "calreport.h"
#include "optiontable.h"
#include "proofcommands.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <charconv>
#include <cstdio>
#include <map>
#include <set>

namespace K740cal {

namespace {

constexpr char kProgram[] = "k740cal";

void writeOut(const QByteArray &bytes) {
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stdout);
}
void writeOut(const QString &text) {
    writeOut(text.toUtf8());
}

void message(const QString &text) {
    std::fputs(
        (QStringLiteral("%1: %2\n").arg(QLatin1String(kProgram), text)).toLocal8Bit().constData(),
        stderr);
}

int usageError(const QString &text) {
    message(text);
    message(QStringLiteral("try '%1 --help'").arg(QLatin1String(kProgram)));
    return kUsage;
}

// One open set; unloaded when it goes.
class OpenSet {
public:
    explicit OpenSet(const Smsdk &sdk) : sdk_(sdk) {}
    ~OpenSet() {
        if (cal_ >= 0) sdk_.Unload(cal_);
    }
    OpenSet(const OpenSet &) = delete;
    OpenSet &operator=(const OpenSet &) = delete;

    // Loads path (null: a new, empty set); false with the library's message.
    bool Load(const QString *path, QString &error) {
        const QByteArray name = path ? QFile::encodeName(*path) : QByteArray();
        const int32_t result = sdk_.LoadCALFile(path ? name.constData() : nullptr);
        if (result < 0) {
            QString text = Smsdk::ErrorMessage(Smsdk::ResultCode(result));
            if (text.isEmpty()) text = QStringLiteral("LoadCALFile answered %1").arg(result);
            error = QStringLiteral("%1: %2").arg(path ? *path : QStringLiteral("new set"), text);
            if (path && CalHints::LooksLikeCsv(*path)) error = CalHints::CsvGivenText(*path);
            return false;
        }
        cal_ = result;
        return true;
    }
    int32_t Cal() const { return cal_; }

private:
    const Smsdk &sdk_;
    int32_t cal_ = -1;
};

// The rows of the option table, in its order.
enum TFileOption { foJson, foReceiver, foMode, foFrequency, foOutput, foReplace };

TOptionTable FileOptions() {
    return TOptionTable({
        {"json", nullptr, "info: print JSON.", "info"},
        {"receiver", "R", "export: only the tables of receiver <R>.", "export"},
        {"mode", "M", "export: only the tables of mode code <M>.", "export"},
        {"frequency", "HZ", "export: only the tables of point <HZ>.", "export"},
        {"o,output", "OUT.csv", "export: write to <OUT.csv>, not standard output.", "export"},
        {"replace", nullptr, "import: replace points that FILE holds already.", "import"},
    });
}

const char kDescription[] =
    "Reads and writes S-meter calibration files (.cal) through smetersdk.dll.\n"
    "\n"
    "Commands:\n"
    "  info FILE [--json]      receivers, modes and points of FILE\n"
    "  export FILE [--receiver R] [--mode M] [--frequency HZ] [-o OUT.csv]\n"
    "                          the tables as CSV (docs/CSV.md), to standard output\n"
    "                          unless -o is given\n"
    "  import FILE IN.csv [--replace]\n"
    "                          puts the tables of IN.csv into FILE (created when\n"
    "                          missing); each point is replaced whole, and only\n"
    "                          with --replace when FILE holds it already; IN.csv\n"
    "                          may be /dev/stdin, a FIFO or a device (1 GiB at most)\n"
    "  verify FILE             loads FILE and reports the library's answer\n"
    "  diff A B                the points and entries in which A and B differ\n";
const char kExitStatus[] = "\n"
                           "Exit status: 0 success, 1 refused input (for diff: the files differ),\n"
                           "2 usage error.";

int runVerify(const Smsdk &sdk, const QString &path) {
    OpenSet set(sdk);
    QString error;
    if (!set.Load(&path, error)) {
        message(error);
        return kRefused;
    }
    std::vector<CalReport::TPointSummary> points;
    if (!CalReport::Summarise(sdk, set.Cal(), points, error)) {
        message(error);
        return kRefused;
    }
    writeOut(QStringLiteral("%1: loads: %2\n").arg(path, CalReport::CountsText(points)));
    return kSuccess;
}

int runInfo(const Smsdk &sdk, const QString &path, bool json) {
    OpenSet set(sdk);
    QString error;
    std::vector<CalReport::TPointSummary> points;
    if (!set.Load(&path, error) || !CalReport::Summarise(sdk, set.Cal(), points, error)) {
        message(error);
        return kRefused;
    }
    if (json)
        writeOut(CalReport::InfoJson(path, points));
    else
        writeOut(CalReport::InfoText(path, points));
    return kSuccess;
}

int runExport(const Smsdk &sdk, const QString &path, const TTableFilter &filter,
              const QString &output) {
    OpenSet set(sdk);
    QString error;
    std::vector<TCsvTable> tables;
    if (!set.Load(&path, error) ||
        !CalTransfer::ReadTables(sdk, set.Cal(), filter, tables, error)) {
        message(error);
        return kRefused;
    }
    if (tables.empty() && (filter.Receiver || filter.Mode || filter.Frequency)) {
        message(QStringLiteral("%1: no point matches the options given (%2); it holds:")
                    .arg(path, CalHints::FilterText(filter)));
        for (const QString &line : CalHints::HeldPoints(sdk, set.Cal()))
            message(QStringLiteral("  ") + line);
        return kRefused;
    }
    std::set<int32_t> unknown;
    for (const TCsvTable &table : tables) {
        if (!Smsdk::FindModeText(table.Mode) && unknown.insert(table.Mode).second)
            message(QStringLiteral("warning: mode code %1 is not in the mode table; its lines "
                                   "will not import")
                        .arg(table.Mode));
    }
    const QByteArray csv = CalCsv::Write(tables);
    if (!output.isEmpty()) {
        if (!CalCsv::WriteFile(output, csv, error)) {
            message(error);
            return kRefused;
        }
        return kSuccess;
    }
    writeOut(csv);
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        message(QStringLiteral("cannot write to standard output"));
        return kRefused;
    }
    return kSuccess;
}

int runImport(const Smsdk &sdk, const QString &path, const QString &csvPath, bool replace) {
    QString error;
    std::vector<TCsvTable> tables;
    if (!CalCsv::ReadFile(csvPath, tables, error)) {
        message(error);
        return kRefused;
    }
    // A file that is missing is made; any other file must load, or it would
    // be overwritten with only the CSV's tables.
    const bool exists = QFileInfo::exists(path) || QFileInfo(path).isSymLink();
    OpenSet set(sdk);
    if (!set.Load(exists ? &path : nullptr, error)) {
        message(error);
        return kRefused;
    }
    int replaced = 0;
    QStringList held;
    for (const TCsvTable &table : tables) {
        if (!CalTransfer::HasPoint(sdk, set.Cal(), {table.Receiver, table.Mode, table.Frequency}))
            continue;
        ++replaced;
        held << CalTransfer::PointText({table.Receiver, table.Mode, table.Frequency});
    }
    if (!replace && !held.isEmpty()) {
        for (const QString &point : held)
            message(QStringLiteral("%1: holds the point %2 already (--replace replaces it)")
                        .arg(path, point));
        return kRefused;
    }
    if (!CalTransfer::PutTables(sdk, set.Cal(), tables, error)) {
        message(QStringLiteral("%1: %2").arg(path, error));
        return kRefused;
    }
    const int32_t saved = sdk.SaveCALFile(set.Cal(), QFile::encodeName(path).constData());
    if (Smsdk::ResultCode(saved) != SMS_OK) {
        QString text = Smsdk::ErrorMessage(Smsdk::ResultCode(saved));
        if (text.isEmpty()) text = QStringLiteral("SaveCALFile answered %1").arg(saved);
        message(QStringLiteral("%1: %2").arg(path, text));
        return kRefused;
    }
    writeOut(QStringLiteral("%1: %2 point(s) imported, %3 new, %4 replaced\n")
                 .arg(path)
                 .arg(tables.size())
                 .arg(qsizetype(tables.size()) - replaced)
                 .arg(replaced));
    return kSuccess;
}

int runDiff(const Smsdk &sdk, const QString &pathA, const QString &pathB) {
    OpenSet a(sdk), b(sdk);
    QString error;
    QStringList lines;
    if (!a.Load(&pathA, error) || !b.Load(&pathB, error) ||
        !CalReport::Diff(sdk, a.Cal(), pathA, b.Cal(), pathB, lines, error)) {
        message(error);
        return kRefused;
    }
    for (const QString &line : lines)
        writeOut(line + QLatin1Char('\n'));
    if (lines.isEmpty())
        writeOut(QStringLiteral("%1 and %2 are equal: the same points with the same values\n")
                     .arg(pathA, pathB));
    return lines.isEmpty() ? kSuccess : kRefused;
}

template <typename T> bool parseNumber(const QString &text, T &value) {
    const QByteArray bytes = text.toLatin1();
    const char *end = bytes.constData() + bytes.size();
    const auto result = std::from_chars(bytes.constData(), end, value);
    return !bytes.isEmpty() && result.ec == std::errc() && result.ptr == end;
}

} // namespace

int Run(const QStringList &arguments) {
    if (IsProofCommand(arguments)) return RunProofCommand(arguments);
    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromLatin1(kDescription) + ProofUsage() +
                                     QString::fromLatin1(kExitStatus));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const TOptionTable options = FileOptions();
    options.AddTo(parser);
    parser.addPositionalArgument(QStringLiteral("command"),
                                 QStringLiteral("info, export, import, verify or diff."));
    parser.addPositionalArgument(QStringLiteral("arguments"),
                                 QStringLiteral("The command's files."), QStringLiteral("FILE..."));
    if (!parser.parse(arguments)) return usageError(parser.errorText());
    if (parser.isSet(help)) {
        writeOut(parser.helpText());
        return kSuccess;
    }
    if (parser.isSet(version)) {
        writeOut(QStringLiteral("%1 %2\n").arg(QLatin1String(kProgram),
                                               QCoreApplication::applicationVersion()));
        return kSuccess;
    }

    QStringList positional = parser.positionalArguments();
    if (positional.isEmpty()) return usageError(QStringLiteral("no command given"));
    const QString command = positional.takeFirst();
    static const std::map<QString, QStringList> kArguments = {
        {QStringLiteral("info"), {QStringLiteral("FILE")}},
        {QStringLiteral("export"), {QStringLiteral("FILE")}},
        {QStringLiteral("import"), {QStringLiteral("FILE"), QStringLiteral("IN.csv")}},
        {QStringLiteral("verify"), {QStringLiteral("FILE")}},
        {QStringLiteral("diff"), {QStringLiteral("A"), QStringLiteral("B")}},
    };
    const auto known = kArguments.find(command);
    if (known == kArguments.end())
        return usageError(QStringLiteral("unknown command \"%1\"").arg(command));
    const QStringList &names = known->second;
    if (positional.size() < names.size())
        return usageError(
            QStringLiteral("%1: missing argument %2").arg(command, names[positional.size()]));
    if (positional.size() > names.size())
        return usageError(QStringLiteral("%1: unexpected argument \"%2\"")
                              .arg(command, positional[names.size()]));

    if (const QString misplaced = options.Misplaced(parser, command); !misplaced.isEmpty())
        return usageError(misplaced);

    TTableFilter filter;
    if (parser.isSet(options[foReceiver])) {
        const QByteArray name = parser.value(options[foReceiver]).toLatin1();
        bool found = false;
        for (const char *model : Smsdk::ModelNames)
            found = found || name == model;
        if (!found)
            return usageError(QStringLiteral("--receiver: unknown receiver name \"%1\"")
                                  .arg(parser.value(options[foReceiver])));
        filter.Receiver = name;
    }
    if (parser.isSet(options[foMode])) {
        int32_t mode = 0;
        if (!parseNumber(parser.value(options[foMode]), mode))
            return usageError(QStringLiteral("--mode: \"%1\" is not a mode code")
                                  .arg(parser.value(options[foMode])));
        filter.Mode = mode;
    }
    if (parser.isSet(options[foFrequency])) {
        uint64_t frequency = 0;
        const QString text = parser.value(options[foFrequency]);
        if (text.startsWith(QLatin1Char('-')) || !parseNumber(text, frequency))
            return usageError(
                QStringLiteral("--frequency: \"%1\" is not a whole number of hertz").arg(text));
        filter.Frequency = frequency;
    }

    Smsdk &sdk = Smsdk::Instance();
    if (const platform::TResult bound = sdk.Load(); !bound) {
        for (const QString &line : bound.Message().split(QLatin1Char('\n')))
            message(line);
        return kRefused;
    }

    if (command == QLatin1String("info"))
        return runInfo(sdk, positional[0], parser.isSet(options[foJson]));
    if (command == QLatin1String("export"))
        return runExport(sdk, positional[0], filter, parser.value(options[foOutput]));
    if (command == QLatin1String("import"))
        return runImport(sdk, positional[0], positional[1], parser.isSet(options[foReplace]));
    if (command == QLatin1String("verify")) return runVerify(sdk, positional[0]);
    return runDiff(sdk, positional[0], positional[1]);
}

} // namespace K740cal
