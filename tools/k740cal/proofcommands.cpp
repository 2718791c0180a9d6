#include "proofcommands.h"

#include "k740cal.h"
#include "toolio.h"

#include "report/calibrationreport.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QGuiApplication>

namespace K740cal {

namespace {

const QString kReport = QStringLiteral("report");

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
    return CommandOf(arguments) == kReport;
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
    return std::make_unique<QGuiApplication>(argc, argv);
}

QString ProofUsage() {
    return QStringLiteral(
        "  report FILE [-o OUT.pdf]\n"
        "                          the calibration report of FILE as PDF (OUT.pdf\n"
        "                          defaults to FILE with the suffix .pdf)\n");
}

int RunProofCommand(const QStringList &arguments) {
    const QString command = CommandOf(arguments);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("k740cal %1: see 'k740cal --help'.").arg(command));
    const QCommandLineOption output({QStringLiteral("o"), QStringLiteral("output")},
                                    QStringLiteral("report: the PDF to write."),
                                    QStringLiteral("OUT.pdf"));
    parser.addOption(output);
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
    return RunReport(positional[0], parser.value(output));
}

} // namespace K740cal
