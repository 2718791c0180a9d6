#include "proofcommands.h"

#include "benchsession.h"
#include "k740cal.h"
#include "toolio.h"

#include "report/calibrationreport.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QGuiApplication>

namespace K740cal {

namespace {

const QString kReport = QStringLiteral("report");
const QString kCalibrate = QStringLiteral("calibrate");
const QString kMeasure = QStringLiteral("measure");

QString CommandOf(const QStringList &arguments) {
    return arguments.size() > 1 ? arguments[1] : QString();
}

// A set loaded from a file; unloaded when it goes.
class LoadedSet {
public:
    explicit LoadedSet(const Smsdk &sdk) : sdk_(sdk) {}
    ~LoadedSet() {
        if (cal_ >= 0) sdk_.Unload(cal_);
    }
    LoadedSet(const LoadedSet &) = delete;
    LoadedSet &operator=(const LoadedSet &) = delete;

    bool Load(const QString &path, QString &error) {
        const std::int32_t result = sdk_.LoadCALFile(QFile::encodeName(path).constData());
        if (result < 0) {
            QString text = Smsdk::ErrorMessage(Smsdk::ResultCode(result));
            if (text.isEmpty()) text = QStringLiteral("LoadCALFile answered %1").arg(result);
            error = QStringLiteral("%1: %2").arg(path, text);
            return false;
        }
        cal_ = result;
        return true;
    }
    std::int32_t Cal() const { return cal_; }

private:
    const Smsdk &sdk_;
    std::int32_t cal_ = -1;
};

int RunReport(const QString &path, QString output) {
    if (output.isEmpty()) {
        const QString suffix = QFileInfo(path).suffix();
        output =
            (suffix.isEmpty() ? path : path.chopped(suffix.size() + 1)) + QStringLiteral(".pdf");
    }
    Smsdk &sdk = Smsdk::Instance();
    if (const platform::TResult bound = sdk.Load(); !bound) {
        for (const QString &line : bound.Message().split(QLatin1Char('\n')))
            ToolMessage(line);
        return kRefused;
    }
    LoadedSet set(sdk);
    QString error;
    if (!set.Load(path, error)) {
        ToolMessage(error);
        return kRefused;
    }
    TReportFacts facts;
    facts.FileName = path;
    int pages = 0;
    if (!CalibrationReport::Write(output, sdk, set.Cal(), facts, nullptr, error, &pages)) {
        ToolMessage(error);
        return kRefused;
    }
    ToolOut(QStringLiteral("%1: %2 page(s)\n").arg(output).arg(pages));
    return kSuccess;
}

} // namespace

bool IsProofCommand(const QStringList &arguments) {
    const QString command = CommandOf(arguments);
    return command == kReport || command == kCalibrate || command == kMeasure;
}

std::unique_ptr<QCoreApplication> MakeApplication(int &argc, char **argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    if (!IsProofCommand(arguments)) return std::make_unique<QCoreApplication>(argc, argv);
    // Nothing is shown: without a display the offscreen platform serves.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (CommandOf(arguments) == kReport) return std::make_unique<QGuiApplication>(argc, argv);
    auto app = std::make_unique<QApplication>(argc, argv);
    // The module's window is never shown; no window closing ends the tool.
    QApplication::setQuitOnLastWindowClosed(false);
    return app;
}

QString ProofUsage() {
    return QStringLiteral(
        "  report FILE [-o OUT.pdf]\n"
        "                          the calibration report of FILE as PDF (OUT.pdf\n"
        "                          defaults to FILE with the suffix .pdf)\n"
        "  calibrate FILE [--points LIST] [--receiver SERIAL] [--generator LINK]\n"
        "          [--commands NAME] [--loss DB] [--from DBM] [--to DBM] [--step DB]\n"
        "          [--settle MS] [--readings N] [--report OUT.pdf] [--json]\n"
        "                          sweeps the points with a generator and stores\n"
        "                          each in FILE as it is done (FILE is made when\n"
        "                          missing, else first copied to FILE.bak); exit 1\n"
        "                          when a point could not be calibrated\n"
        "  measure FILE [--points LIST] [--levels FROM:TO:STEP] [--tolerance DB]\n"
        "          [--receiver SERIAL] [--generator LINK] [--commands NAME] [--loss DB]\n"
        "          [--settle MS] [--readings N] [--report OUT.pdf] [--json]\n"
        "                          verifies FILE's points with the generator: exit 0\n"
        "                          when every error is within the tolerance, 1 when\n"
        "                          one is not, 2 on an error; Ctrl+C stops calibrate\n"
        "                          and measure with the output off (exit 130)\n");
}

int RunProofCommand(const QStringList &arguments) {
    const QString command = CommandOf(arguments);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("k740cal %1: see 'k740cal --help'.").arg(command));
    const QCommandLineOption output({QStringLiteral("o"), QStringLiteral("output")},
                                    QStringLiteral("report: the PDF to write."),
                                    QStringLiteral("OUT.pdf"));
    TBenchOptionSet bench;
    parser.addOption(output);
    bench.AddTo(parser);
    parser.addPositionalArgument(QStringLiteral("command"), command);
    parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("The .cal file."));
    if (!parser.parse(arguments)) return ToolUsageError(parser.errorText());
    QStringList positional = parser.positionalArguments();
    positional.removeFirst(); // the command
    if (positional.isEmpty())
        return ToolUsageError(QStringLiteral("%1: missing argument FILE").arg(command));
    if (positional.size() > 1)
        return ToolUsageError(
            QStringLiteral("%1: unexpected argument \"%2\"").arg(command, positional[1]));
    if (command == kReport) {
        if (const QString option = bench.FirstSet(parser); !option.isEmpty())
            return ToolUsageError(
                QStringLiteral("report: option --%1 belongs to calibrate and measure").arg(option));
        return RunReport(positional[0], parser.value(output));
    }
    if (parser.isSet(output))
        return ToolUsageError(
            QStringLiteral("%1: option -o belongs to report; a run writes its report with "
                           "--report OUT.pdf")
                .arg(command));
    TBenchOptions options;
    QString error;
    if (!bench.Read(parser, command == kMeasure, options, error)) return ToolUsageError(error);
    options.File = positional[0];
    return command == kMeasure ? RunMeasure(options) : RunCalibrate(options);
}

} // namespace K740cal
