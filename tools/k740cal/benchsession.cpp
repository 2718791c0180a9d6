#include "benchsession.h"

#include "interruptwatch.h"
#include "progressline.h"
#include "simulatedbench.h"
#include "toolio.h"

#include "calibration/caltransfer.h"
#include "calibration/frequencytext.h"
#include "calibration/signalscale.h"
#include "generator/instrument.h"
#include "generator/linkaddress.h"
#include "generator/sweepengine.h"
#include "generator/sweeptable.h"
#include "generator/verifyengine.h"
#include "receiver/livelevel.h"
#include "receiver/receiverconnection.h"
#include "report/calibrationreport.h"

#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>

#include <cmath>
#include <csignal>
#include <functional>
#include <memory>

namespace K740cal {

namespace {

constexpr int kDone = 0;
constexpr int kFailed = 1;
constexpr int kError = 2;
constexpr int kInterrupted = 130; // 128 + SIGINT, as a shell reports it
constexpr int kPollMs = 300;      // the live level's timer, as the main window's

QString Db(double value) {
    return QLocale::c().toString(value, 'f', 1);
}

// A point's text as the progress shows it: "7.1 MHz (2 of 3)".
QString PointText(std::uint64_t hz, int index, int count) {
    return QStringLiteral("%1 (%2 of %3)").arg(FrequencyText(hz)).arg(index + 1).arg(count);
}

QString SweepText(const TSweepSettings &s) {
    return QStringLiteral("%1 to %2 dBm in %3 dB steps, settle %4 ms, %5 readings per level")
        .arg(Db(s.From), Db(s.To), QLocale::c().toString(s.Step, 'g', 6))
        .arg(s.SettleMs)
        .arg(s.Readings);
}

// One run on the bench: the set, the receiver, the generator and the engine.
class TBenchSession : public QObject {
public:
    explicit TBenchSession(const TBenchOptions &options) : options_(options) {
        connect(&interrupts_, &TInterruptWatch::Interrupted, this, &TBenchSession::Interrupt);
        connect(&receiver_, &TReceiverConnection::SpectrumReceived, &level_, &TLiveLevel::Spectrum);
        connect(&poll_, &QTimer::timeout, &level_, &TLiveLevel::Poll);
        connect(&level_, &TLiveLevel::RawChanged, &sweep_, &TSweepEngine::AddReading);
        connect(&level_, &TLiveLevel::RawChanged, &verify_, &TVerifyEngine::AddReading);
    }
    ~TBenchSession() override {
        poll_.stop();
        receiver_.Close();
        receiver_.Stop();
        if (cal_ >= 0) sdk_.Unload(cal_);
    }

    int Calibrate();
    int Measure();

private:
    bool Fail(const QString &text) {
        ToolMessage(text);
        return false;
    }
    // The set of the file; a new one when it is missing and that may be.
    bool OpenSet(bool mayCreate);
    bool OpenReceiver();
    bool MakeGenerator();
    // The points given, or every point of the file in the calibration mode.
    bool ChoosePoints();
    bool Save();
    void Interrupt();
    // Waits for the run to end: the event loop's exit code.
    int Wait() { return loop_.exec(); }
    std::int32_t Mode() const { return Smsdk::CalibrationMode(receiver_.CurrentMode()); }
    QString ReceiverText() const {
        return options_.Receiver.isEmpty() ? QStringLiteral("demo receiver")
                                           : QStringLiteral("receiver ") + options_.Receiver;
    }
    void WriteReport(const QString &identity, const TVerification *verification,
                     const QString &sweep);

    // Calibrate: the sweep of point `index`, and its end.
    void SweepPoint(std::size_t index);
    void PointSwept(bool completed, const QString &error);

    const TBenchOptions &options_;
    Smsdk &sdk_ = Smsdk::Instance();
    std::int32_t cal_ = -1;
    std::vector<std::uint64_t> points_;
    QTemporaryDir settingsFolder_;
    std::unique_ptr<QSettings> settings_;
    TReceiverConnection receiver_;
    TLiveLevel level_{receiver_};
    QTimer poll_;
    std::function<std::unique_ptr<TGenerator>()> generator_;
    QString link_;
    TInterruptWatch interrupts_;
    TProgressLine progress_;
    QEventLoop loop_;

    TSweepEngine sweep_;
    TVerifyEngine verify_;
    std::size_t current_ = 0;
    TDbmTable table_{};
    QJsonArray swept_;
    int notCalibrated_ = 0;
};

bool TBenchSession::OpenSet(bool mayCreate) {
    if (const platform::TResult bound = sdk_.Load(); !bound) {
        for (const QString &line : bound.Message().split(QLatin1Char('\n')))
            ToolMessage(line);
        return false;
    }
    const QByteArray name = QFile::encodeName(options_.File);
    const bool exists = QFileInfo::exists(options_.File) || QFileInfo(options_.File).isSymLink();
    const std::int32_t result = sdk_.LoadCALFile(exists || !mayCreate ? name.constData() : nullptr);
    if (result < 0) {
        QString text = Smsdk::ErrorMessage(Smsdk::ResultCode(result));
        if (text.isEmpty()) text = QStringLiteral("LoadCALFile answered %1").arg(result);
        return Fail(QStringLiteral("%1: %2").arg(options_.File, text));
    }
    cal_ = result;
    if (mayCreate && exists) {
        // The file as it was before this run, kept beside it.
        const QString backup = options_.File + QStringLiteral(".bak");
        QFile::remove(backup);
        if (!QFile::copy(options_.File, backup))
            return Fail(QStringLiteral("%1: cannot be copied to %2").arg(options_.File, backup));
    }
    return true;
}

bool TBenchSession::OpenReceiver() {
    if (!settingsFolder_.isValid()) return Fail(QStringLiteral("no temporary folder"));
    // The receiver's saved mode and frequency stay the program's own: this run
    // keeps its own in a file that goes with it.
    settings_ = std::make_unique<QSettings>(settingsFolder_.filePath(QStringLiteral("bench.ini")),
                                            QSettings::IniFormat);
    if (!receiver_.Bind())
        return Fail(QStringLiteral("Unable to load dynamic library ZXK740API.dll."));
    // No host window: the module's window stays a hidden window of its own.
    receiver_.Start(0, settings_.get());
    receiver_.ReadDevices();
    TDeviceEntry *entry = nullptr;
    QStringList serials;
    for (const auto &device : receiver_.Devices()) {
        if (device->Serial == options_.Receiver) entry = device.get();
        if (!device->Serial.isEmpty()) serials << device->Serial;
    }
    if (!entry)
        return Fail(QStringLiteral("--receiver: no receiver \"%1\" is listed (%2)")
                        .arg(options_.Receiver, serials.isEmpty()
                                                    ? QStringLiteral("only the demo receiver is")
                                                    : QStringLiteral("listed: ") +
                                                          serials.join(QStringLiteral(", "))));
    if (platform::TResult opened = receiver_.Open(*entry); !opened) return Fail(opened.Message());
    receiver_.Activate();
    poll_.start(kPollMs);
    for (std::uint64_t hz : points_)
        if (hz < receiver_.Lowest() || hz > receiver_.Highest())
            return Fail(QStringLiteral("%1 is outside the %2's range, %3 to %4")
                            .arg(FrequencyText(hz), ReceiverText(),
                                 FrequencyText(receiver_.Lowest()),
                                 FrequencyText(receiver_.Highest())));
    return true;
}

bool TBenchSession::MakeGenerator() {
    QString link = options_.Generator;
    if (link.isEmpty()) {
        const std::optional<int> bench = SimulatedBench::ScpiPort();
        if (!bench)
            return Fail(QStringLiteral("the %1 has no simulated bench generator: give its "
                                       "generator with --generator LINK")
                            .arg(ReceiverText()));
        link = QStringLiteral("TCPIP0::127.0.0.1::%1::SOCKET").arg(*bench);
    }
    QString error;
    const std::optional<TLinkAddress> address = TLinkAddress::Parse(link, &error);
    if (!address) return Fail(QStringLiteral("--generator: ") + error);
    const TInstrument instrument{address->Text(), options_.Commands};
    if (!Instrument::CreateGenerator(instrument, TLink::kDefaultTimeoutMs, &error))
        return Fail(error);
    link_ = instrument.Link + QStringLiteral(", ") + instrument.Commands;
    generator_ = [instrument] { return Instrument::CreateGenerator(instrument); };
    return true;
}

bool TBenchSession::ChoosePoints() {
    points_ = options_.Points;
    if (points_.empty())
        points_ = sdk_.ReadFrequencies(cal_, Smsdk::kReceiverName, Smsdk::kDefaultMode).Entries;
    if (points_.empty())
        return Fail(QStringLiteral("%1 holds no point: list them with --points 7.1M,14.2M")
                        .arg(options_.File));
    return true;
}

bool TBenchSession::Save() {
    const std::int32_t saved = sdk_.SaveCALFile(cal_, QFile::encodeName(options_.File).constData());
    if (Smsdk::ResultCode(saved) == SMS_OK) return true;
    QString text = Smsdk::ErrorMessage(Smsdk::ResultCode(saved));
    if (text.isEmpty()) text = QStringLiteral("SaveCALFile answered %1").arg(saved);
    return Fail(QStringLiteral("%1: %2").arg(options_.File, text));
}

void TBenchSession::Interrupt() {
    // The engines switch the output off and then end the loop; without one
    // running there is nothing to wait for.
    if (sweep_.Running())
        sweep_.Stop();
    else if (verify_.Running())
        verify_.Stop();
    else
        loop_.exit(kInterrupted);
}

void TBenchSession::WriteReport(const QString &identity, const TVerification *verification,
                                const QString &sweep) {
    if (options_.Report.isEmpty()) return;
    TReportFacts facts;
    facts.FileName = options_.File;
    facts.Receiver = ReceiverText();
    facts.GeneratorIdentity = identity;
    facts.GeneratorLink = link_;
    facts.Loss = options_.Sweep.Loss;
    facts.Sweep = sweep;
    QString error;
    int pages = 0;
    if (!CalibrationReport::Write(options_.Report, sdk_, cal_, facts, verification, error, &pages))
        progress_.Message(error);
    else
        progress_.Message(QStringLiteral("%1: %2 page(s)").arg(options_.Report).arg(pages));
}

int TBenchSession::Calibrate() {
    if (!OpenSet(true)) return kError;
    if (!ChoosePoints() || !OpenReceiver() || !MakeGenerator()) return kError;
    if (interrupts_.IsInterrupted()) return kInterrupted;
    connect(&sweep_, &TSweepEngine::StepDone, this, [this](int index, int count, double, int) {
        progress_.Show(FrequencyText(points_[current_]), int(current_), int(points_.size()),
                       double(index + 1) / std::max(1, count));
    });
    connect(&sweep_, &TSweepEngine::Finished, this, &TBenchSession::PointSwept);
    QTimer::singleShot(0, this, [this] { SweepPoint(0); });
    const int status = Wait();
    const QString identity = sweep_.Identity();
    if (status == kDone || status == kFailed)
        WriteReport(identity, nullptr, SweepText(options_.Sweep));
    if (options_.Json) {
        QJsonObject json{{QStringLiteral("file"), options_.File},
                         {QStringLiteral("receiver"), ReceiverText()},
                         {QStringLiteral("generator"), identity},
                         {QStringLiteral("link"), link_},
                         {QStringLiteral("mode"), Mode()},
                         {QStringLiteral("points"), swept_},
                         {QStringLiteral("completed"), status == kDone}};
        ToolOut(QJsonDocument(json).toJson());
    }
    return status;
}

void TBenchSession::SweepPoint(std::size_t index) {
    current_ = index;
    if (interrupts_.IsInterrupted()) return loop_.exit(kInterrupted);
    if (index >= points_.size()) return loop_.exit(notCalibrated_ ? kFailed : kDone);
    const std::uint64_t hz = points_[index];
    receiver_.Tune(hz);
    // A point the set holds keeps what the sweep does not reach.
    table_.fill(SignalScale::kNotSet);
    QString error;
    if (CalTransfer::HasPoint(sdk_, cal_, {Smsdk::kReceiverName, Mode(), hz}) &&
        !CalTransfer::ReadTable(sdk_, cal_, {Smsdk::kReceiverName, Mode(), hz}, table_, error)) {
        progress_.Message(error);
        return loop_.exit(kError);
    }
    progress_.Show(FrequencyText(hz), int(index), int(points_.size()), 0);
    if (!sweep_.Start(options_.Sweep, hz, generator_(), &error)) {
        progress_.Message(error);
        return loop_.exit(kError);
    }
}

void TBenchSession::PointSwept(bool completed, const QString &error) {
    const std::uint64_t hz = points_[current_];
    const QString point = PointText(hz, int(current_), int(points_.size()));
    if (!completed) {
        if (!error.isEmpty()) progress_.Message(QStringLiteral("%1: %2").arg(point, error));
        return loop_.exit(interrupts_.IsInterrupted() ? kInterrupted : kError);
    }
    const TSweepOutcome outcome = ApplySweep(sweep_.Readings(), table_);
    QJsonObject line{{QStringLiteral("frequency_hz"), qint64(hz)},
                     {QStringLiteral("calibrated"), outcome.Valid}};
    if (!outcome.Valid) {
        ++notCalibrated_;
        progress_.Done(QStringLiteral("%1: the RAW reading did not rise with the level; nothing "
                                      "stored (is the generator connected and on frequency?)")
                           .arg(point));
    } else {
        const std::int32_t put =
            sdk_.PutDBMs(cal_, Smsdk::kReceiverName, Mode(), hz, table_.data());
        if (Smsdk::ResultCode(put) != SMS_OK) {
            progress_.Message(
                QStringLiteral("%1: %2").arg(point, Smsdk::ErrorMessage(Smsdk::ResultCode(put))));
            return loop_.exit(kError);
        }
        // Each point is on disk as soon as it is done.
        if (!Save()) return loop_.exit(kError);
        line[QStringLiteral("low_raw")] = outcome.LowRaw;
        line[QStringLiteral("high_raw")] = outcome.HighRaw;
        line[QStringLiteral("left_out")] = outcome.LeftOut;
        progress_.Done(QStringLiteral("%1: RAW %2 to %3, %4 reading(s) left out")
                           .arg(point)
                           .arg(outcome.LowRaw)
                           .arg(outcome.HighRaw)
                           .arg(outcome.LeftOut));
    }
    swept_.append(line);
    SweepPoint(current_ + 1);
}

int TBenchSession::Measure() {
    if (!OpenSet(false)) return kError;
    if (!ChoosePoints() || !OpenReceiver() || !MakeGenerator()) return kError;
    if (interrupts_.IsInterrupted()) return kInterrupted;
    const std::int32_t mode = Mode();
    const auto tune = [this](std::uint64_t hz, QString &) {
        receiver_.Tune(hz);
        return true;
    };
    // Only reads: the set is never changed by a verification.
    const auto lookup = [this, mode](std::uint64_t hz, std::uint8_t raw) -> std::optional<double> {
        double dbm = 0;
        const std::int32_t result = sdk_.GetCSValue(cal_, Smsdk::kReceiverName, mode, hz, raw, dbm);
        if (Smsdk::ResultCode(result) != SMS_OK || SignalScale::IsNotSet(dbm)) return std::nullopt;
        return dbm;
    };
    const int count = int(points_.size());
    const int levels = int(options_.Verify.Levels.size());
    connect(&verify_, &TVerifyEngine::ReadingDone, this, [this, count, levels](int p, int l) {
        const TVerification &v = verify_.Result();
        const TVerifyPoint &point = v.Points[std::size_t(p)];
        progress_.Show(FrequencyText(point.Hz), p, count, double(l + 1) / levels);
        if (l + 1 < levels) return;
        const TVerifyReading *worst = nullptr;
        int failures = 0;
        for (const TVerifyReading &r : point.Readings) {
            failures += v.Passes(r) ? 0 : 1;
            if (r.Shown && (!worst || std::abs(r.Error()) > std::abs(worst->Error()))) worst = &r;
        }
        progress_.Done(
            QStringLiteral("%1: %2, %3")
                .arg(PointText(point.Hz, p, count),
                     worst
                         ? QStringLiteral("worst error %1 dB").arg(Verification::ErrorText(*worst))
                         : QStringLiteral("no calibration"),
                     failures ? QStringLiteral("%1 failure(s)").arg(failures)
                              : QStringLiteral("pass")));
    });
    connect(&verify_, &TVerifyEngine::Finished, this, [this](bool completed, const QString &e) {
        if (!e.isEmpty()) progress_.Message(e);
        if (!completed) return loop_.exit(interrupts_.IsInterrupted() ? kInterrupted : kError);
        loop_.exit(verify_.Result().Passed() ? kDone : kFailed);
    });
    QString error;
    if (!verify_.Start(options_.Verify, points_, generator_(), tune, lookup, &error)) {
        ToolMessage(error);
        return kError;
    }
    const int status = Wait();
    const TVerification &v = verify_.Result();
    if (status == kDone || status == kFailed) WriteReport(v.Identity, &v, QString());
    if (options_.Json) {
        QJsonArray points;
        for (const TVerifyPoint &point : v.Points) {
            QJsonArray readings;
            for (const TVerifyReading &r : point.Readings)
                readings.append(QJsonObject{
                    {QStringLiteral("generator_dbm"), r.Level},
                    {QStringLiteral("applied_dbm"), r.Applied},
                    {QStringLiteral("raw"), r.Raw},
                    {QStringLiteral("shown_dbm"), r.Shown ? QJsonValue(*r.Shown) : QJsonValue()},
                    {QStringLiteral("error_db"), r.Shown ? QJsonValue(r.Error()) : QJsonValue()},
                    {QStringLiteral("pass"), v.Passes(r)}});
            points.append(QJsonObject{{QStringLiteral("frequency_hz"), qint64(point.Hz)},
                                      {QStringLiteral("readings"), readings}});
        }
        const std::optional<double> worst = v.WorstError();
        QJsonObject json{
            {QStringLiteral("file"), options_.File},
            {QStringLiteral("receiver"), ReceiverText()},
            {QStringLiteral("generator"), v.Identity},
            {QStringLiteral("link"), link_},
            {QStringLiteral("tolerance_db"), v.Tolerance},
            {QStringLiteral("loss_db"), v.Loss},
            {QStringLiteral("worst_error_db"), worst ? QJsonValue(*worst) : QJsonValue()},
            {QStringLiteral("failures"), v.FailureCount()},
            {QStringLiteral("verdict"), !v.Complete  ? QStringLiteral("incomplete")
                                        : v.Passed() ? QStringLiteral("pass")
                                                     : QStringLiteral("fail")},
            {QStringLiteral("points"), points}};
        ToolOut(QJsonDocument(json).toJson());
    } else if (status == kDone || status == kFailed) {
        QString text = v.VerdictText();
        if (const std::optional<double> worst = v.WorstError())
            text += QStringLiteral(", worst error %1 dB")
                        .arg(Verification::ErrorText({0, 0, 0, *worst}));
        text += QLatin1Char('\n');
        for (const TVerifyPoint &point : v.Points)
            for (const TVerifyReading &r : point.Readings)
                if (!v.Passes(r))
                    text +=
                        QStringLiteral("%1 at %2 dBm: %3\n")
                            .arg(FrequencyText(point.Hz), Db(r.Applied),
                                 r.Shown
                                     ? QStringLiteral("error %1 dB").arg(Verification::ErrorText(r))
                                     : QStringLiteral("no calibration (RAW %1)").arg(r.Raw));
        ToolOut(text);
    }
    return status;
}

} // namespace

int RunCalibrate(const TBenchOptions &options) {
    TBenchSession session(options);
    return session.Calibrate();
}

int RunMeasure(const TBenchOptions &options) {
    TBenchSession session(options);
    return session.Measure();
}

} // namespace K740cal
