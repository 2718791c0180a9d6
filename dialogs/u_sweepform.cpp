#include "dialogs/u_sweepform.h"

#include "calibration/frequencytext.h"
#include "controls/cgauges.h"
#include "controls/dialogparts.h"
#include "controls/stalignedit.h"
#include "dialogs/strtofloat.h"
#include "dialogs/sweepplot.h"
#include "platform/messagebox.h"
#include "platform/registry.h"

#include <QLocale>

using namespace dialogparts;

namespace {

constexpr TColor kGaugeFore = 40960; // RGB 0, 160, 0

TmyLabel *MakeFieldLabel(QWidget *parent, int x, int y, const QString &caption) {
    return MakeLabel(parent, caption, x, y, kListText);
}

TstAlignEdit *MakeEdit(QWidget *parent, const char *name, const QRect &place, const QString &hint) {
    auto *edit = new TstAlignEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setGeometry(place);
    edit->SetColor(clBlack);
    edit->SetFontColor(clLime);
    edit->setFont(ArialFont(11));
    edit->setToolTip(hint);
    return edit;
}

// A number as the fields show it: the locale's decimal separator, no group
// separators (the fields read numbers back without them).
QString Number(double v) {
    QLocale locale;
    locale.setNumberOptions(locale.numberOptions() | QLocale::OmitGroupSeparator);
    return locale.toString(v, 'g', 10);
}

// Settings keys of the user's registry key.
const QString kAddress = QStringLiteral("Sweep Address");
const QString kPort = QStringLiteral("Sweep Port");
const QString kLevelCommand = QStringLiteral("Sweep Level Command");
const QString kLoss = QStringLiteral("Sweep Loss");
const QString kFrom = QStringLiteral("Sweep From");
const QString kTo = QStringLiteral("Sweep To");
const QString kStep = QStringLiteral("Sweep Step");
const QString kSettle = QStringLiteral("Sweep Settle");
const QString kReadings = QStringLiteral("Sweep Readings");

} // namespace

TSweepForm::TSweepForm(QWidget *parent)
    : TstForm(QStringLiteral("Sweep"), TFrameKind::fkDialog, parent) {
    SetSize(kWidth, kHeight);
    setFont(ArialFont(11));

    TstPanel *generator =
        MakeGroup(ClientPanel, QRect(6, 26, 200, 116), QStringLiteral("Generator"));
    MakeFieldLabel(generator, 8, 26, QStringLiteral("Address"));
    EAddress = MakeEdit(generator, "EAddress", QRect(70, 24, 122, 18),
                        QStringLiteral("Host name or IP address of the generator (SCPI over TCP)"));
    EAddress->SetAlignment(Qt::AlignLeft);
    MakeFieldLabel(generator, 8, 48, QStringLiteral("Port"));
    EPort = MakeEdit(generator, "EPort", QRect(70, 46, 56, 18),
                     QStringLiteral("SCPI port, usually 5025"));
    MakeFieldLabel(generator, 8, 70, QStringLiteral("Level"));
    BPow = MakeButton(generator, QRect(70, 67, 50, 20), QStringLiteral("POW"),
                      QStringLiteral("Level command of the standard tree, POW -73"));
    BPow->setObjectName(QStringLiteral("BPow"));
    BLev = MakeButton(generator, QRect(122, 67, 50, 20), QStringLiteral("LEV"),
                      QStringLiteral("Level command of generators with a LEVel tree, LEV -73"));
    BLev->setObjectName(QStringLiteral("BLev"));
    BPow->SetGroupIndex(1);
    BLev->SetGroupIndex(1);
    MakeFieldLabel(generator, 8, 94, QStringLiteral("Loss, dB"));
    ELoss =
        MakeEdit(generator, "ELoss", QRect(70, 92, 56, 18),
                 QStringLiteral("Loss of cable and attenuators between generator and receiver"));

    TstPanel *sweep = MakeGroup(ClientPanel, QRect(6, 146, 200, 148), QStringLiteral("Sweep"));
    const struct {
        const char *name, *caption, *hint;
        TstAlignEdit **edit;
    } fields[] = {
        {"EFrom", "From, dBm", "Generator level of the first step", &EFrom},
        {"ETo", "To, dBm", "Generator level of the last step", &ETo},
        {"EStep", "Step, dB", "Level step", &EStep},
        {"ESettle", "Settle, ms", "Wait after each level change", &ESettle},
        {"EReadings", "Readings", "Live RAW readings per step; their median is used", &EReadings},
    };
    int y = 26;
    for (const auto &f : fields) {
        MakeFieldLabel(sweep, 8, y + 2, QString::fromLatin1(f.caption));
        *f.edit = MakeEdit(sweep, f.name, QRect(96, y, 64, 18), QString::fromLatin1(f.hint));
        y += 23;
    }

    TstPanel *plotPanel = MakeListPanel(ClientPanel, QRect(212, 26, 302, 222));
    Plot = Named(new TSweepPlot(plotPanel), "Plot");
    Plot->setGeometry(2, 2, 298, 218);

    LStatus = Named(MakeFieldLabel(ClientPanel, 214, 254, QString()), "LStatus");
    LStatus->SetAutoSize(false);
    LStatus->resize(300, 14);

    GaugePanel = Named(MakeListPanel(ClientPanel, QRect(212, 272, 302, 17)), "GaugePanel");
    Progress = Named(new TCGauge(GaugePanel), "Progress");
    Progress->setGeometry(2, 2, 298, 13);
    Progress->SetBorderStyle(TGaugeBorderStyle::bsNone);
    Progress->SetShowText(false);
    Progress->SetForeColor(kGaugeFore);
    Progress->SetBackColor(kButtonFace);

    const int by = kHeight - 27;
    BStart = MakeButton(ClientPanel, QRect(6, by, 73, 21), QStringLiteral("Start"),
                        QStringLiteral("Sets the generator and starts the sweep"));
    BStart->setObjectName(QStringLiteral("BStart"));
    BStop = MakeButton(ClientPanel, QRect(82, by, 73, 21), QStringLiteral("Stop"),
                       QStringLiteral("Stops the sweep and switches the output off"));
    BStop->setObjectName(QStringLiteral("BStop"));
    BOk = MakeButton(ClientPanel, QRect(kWidth - 155, by, 73, 21), QStringLiteral("OK"),
                     QStringLiteral("Takes the swept values into the table"));
    BOk->setObjectName(QStringLiteral("BOk"));
    BCancel = MakeButton(ClientPanel, QRect(kWidth - 79, by, 73, 21), QStringLiteral("Cancel"),
                         QStringLiteral("Closes the window"));
    BCancel->setObjectName(QStringLiteral("BCancel"));
    connect(BStart, &TstSpeedButton::OnClick, this, &TSweepForm::BStartClick);
    connect(BStop, &TstSpeedButton::OnClick, this, &TSweepForm::BStopClick);
    connect(BOk, &TstSpeedButton::OnClick, this, &TSweepForm::BOkClick);
    connect(BCancel, &TstSpeedButton::OnClick, this, &TSweepForm::BCancelClick);

    connect(&engine_, &TSweepEngine::StepDone, this, &TSweepForm::StepDone);
    connect(&engine_, &TSweepEngine::Finished, this, &TSweepForm::Finished);
    connect(&engine_, &TSweepEngine::Connected, this, [this](const QString &identity) {
        LStatus->SetCaption(PointText() + QStringLiteral(": ") + identity);
    });
    table_.fill(0.0);
    LoadSettings();
    UpdateButtons();
}

std::optional<TDbmTable> TSweepForm::SweepPoint(std::uint64_t hz, const TDbmTable &table) {
    points_ = {hz};
    begin_ = nullptr;
    store_ = nullptr;
    listMode_ = false;
    table_ = table;
    if (ShowModal() != mrOk) return std::nullopt;
    return table_;
}

void TSweepForm::SweepPoints(const std::vector<std::uint64_t> &points, TBeginPoint begin,
                             TStorePoint store) {
    points_ = points;
    begin_ = std::move(begin);
    store_ = std::move(store);
    listMode_ = true;
    ShowModal();
}

void TSweepForm::showEvent(QShowEvent *event) {
    complete_ = false;
    closePending_ = false;
    outcome_ = {};
    summary_.clear();
    current_ = 0;
    Progress->SetProgress(0);
    Plot->Reset(settings_.From, settings_.To);
    LStatus->SetCaption(listMode_ ? QStringLiteral("%1 points").arg(points_.size()) : PointText());
    UpdateButtons();
    TstForm::showEvent(event);
}

void TSweepForm::hideEvent(QHideEvent *event) {
    // However the window went, the generator does not stay on.
    engine_.Stop();
    TstForm::hideEvent(event);
}

QString TSweepForm::PointText() const {
    if (current_ >= points_.size()) return QString();
    QString text = FrequencyText(points_[current_]);
    if (listMode_)
        text = QStringLiteral("Point %1 of %2, ").arg(current_ + 1).arg(points_.size()) + text;
    return text;
}

void TSweepForm::LoadSettings() {
    const std::unique_ptr<QSettings> key = platform::OpenUserKey();
    const TSweepSettings defaults;
    auto number = [&](const QString &name, double fallback) {
        return ParseFloat(key->value(name).toString()).value_or(fallback);
    };
    EAddress->setText(key->value(kAddress, defaults.Host).toString());
    EPort->setText(QString::number(platform::ReadInteger(*key, kPort).value_or(defaults.Port)));
    const bool level = platform::ReadInteger(*key, kLevelCommand).value_or(0) == 1;
    (level ? BLev : BPow)->SetDown(true);
    ELoss->setText(Number(number(kLoss, defaults.Loss)));
    EFrom->setText(Number(number(kFrom, defaults.From)));
    ETo->setText(Number(number(kTo, defaults.To)));
    EStep->setText(Number(number(kStep, defaults.Step)));
    ESettle->setText(
        QString::number(platform::ReadInteger(*key, kSettle).value_or(defaults.SettleMs)));
    EReadings->setText(
        QString::number(platform::ReadInteger(*key, kReadings).value_or(defaults.Readings)));
    ReadSettings(settings_);
}

void TSweepForm::SaveSettings(const TSweepSettings &s) {
    const std::unique_ptr<QSettings> key = platform::OpenUserKey();
    key->setValue(kAddress, s.Host);
    key->setValue(kPort, s.Port);
    key->setValue(kLevelCommand, s.LevelCommand == TLevelCommand::lcLevel ? 1 : 0);
    key->setValue(kLoss, QLocale::c().toString(s.Loss, 'g', 10));
    key->setValue(kFrom, QLocale::c().toString(s.From, 'g', 10));
    key->setValue(kTo, QLocale::c().toString(s.To, 'g', 10));
    key->setValue(kStep, QLocale::c().toString(s.Step, 'g', 10));
    key->setValue(kSettle, s.SettleMs);
    key->setValue(kReadings, s.Readings);
}

bool TSweepForm::ReadSettings(TSweepSettings &settings) {
    TSweepSettings s = settings;
    QString error;
    auto number = [&](TstAlignEdit *edit, const char *name, double &value) {
        if (!error.isEmpty()) return;
        if (const std::optional<double> typed = ParseFloat(edit->text()))
            value = *typed;
        else
            error = QStringLiteral("\"%1\" is not a number (%2).")
                        .arg(edit->text(), QString::fromLatin1(name));
    };
    auto integer = [&](TstAlignEdit *edit, const char *name, int low, int high, int &value) {
        if (!error.isEmpty()) return;
        bool ok = false;
        const int v = edit->text().trimmed().toInt(&ok);
        if (ok && v >= low && v <= high)
            value = v;
        else
            error = QStringLiteral("%1 must be a whole number from %2 to %3.")
                        .arg(QString::fromLatin1(name))
                        .arg(low)
                        .arg(high);
    };
    s.Host = EAddress->text().trimmed();
    if (s.Host.isEmpty()) error = QStringLiteral("Enter the generator's address.");
    integer(EPort, "The port", 1, 65535, s.Port);
    s.LevelCommand = BLev->Down() ? TLevelCommand::lcLevel : TLevelCommand::lcPower;
    number(ELoss, "loss", s.Loss);
    number(EFrom, "level from", s.From);
    number(ETo, "level to", s.To);
    number(EStep, "level step", s.Step);
    integer(ESettle, "The settle time", 0, 60000, s.SettleMs);
    integer(EReadings, "The number of readings", 1, 100, s.Readings);
    if (error.isEmpty()) s.Levels(&error);
    if (!error.isEmpty()) {
        if (isVisible()) platform::ShowError(this, error);
        return false;
    }
    settings = s;
    return true;
}

void TSweepForm::UpdateButtons() {
    const bool running = engine_.Running();
    BStart->setEnabled(!running && !points_.empty());
    BStop->setEnabled(running);
    BOk->setEnabled(!running && complete_ && !listMode_);
    for (TstAlignEdit *e : {EAddress, EPort, ELoss, EFrom, ETo, EStep, ESettle, EReadings})
        e->setEnabled(!running);
    BPow->setEnabled(!running);
    BLev->setEnabled(!running);
}

void TSweepForm::BStartClick() {
    if (engine_.Running() || points_.empty()) return;
    if (!ReadSettings(settings_)) return;
    SaveSettings(settings_);
    complete_ = false;
    summary_.clear();
    current_ = 0;
    const int steps = int(settings_.Levels().size());
    Progress->SetMaxValue(std::max(1, steps * int(points_.size())));
    Progress->SetProgress(0);
    StartPoint();
}

void TSweepForm::StartPoint() {
    const std::uint64_t hz = points_[current_];
    if (begin_ && !begin_(hz, table_)) return EndOfList(QString());
    Plot->Reset(settings_.From - settings_.Loss, settings_.To - settings_.Loss);
    LStatus->SetCaption(PointText());
    QString error;
    if (!engine_.Start(settings_, hz, nullptr, &error)) {
        platform::ShowError(this, error);
        return EndOfList(error);
    }
    UpdateButtons();
}

void TSweepForm::StepDone(int index, int count, double level, int raw) {
    Plot->AddPoint(level, raw);
    Progress->SetProgress(int(current_) * count + index + 1);
    LStatus->SetCaption(PointText() +
                        QStringLiteral(": %1 dBm, RAW %2").arg(Number(level)).arg(raw));
}

void TSweepForm::Finished(bool completed, const QString &error) {
    const QString point = FrequencyText(points_[current_]);
    if (!completed) {
        UpdateButtons();
        if (!error.isEmpty()) platform::ShowError(this, error);
        if (listMode_) return EndOfList(error.isEmpty() ? QStringLiteral("stopped") : error);
        LStatus->SetCaption(error.isEmpty() ? QStringLiteral("Stopped; nothing taken.")
                                            : QStringLiteral("Failed; nothing taken."));
        if (closePending_) close();
        return;
    }
    TDbmTable table = table_;
    outcome_ = ApplySweep(engine_.Readings(), table);
    if (!outcome_.Valid) {
        summary_ << QStringLiteral("%1: no rising RAW readings, nothing taken").arg(point);
        if (!listMode_) {
            UpdateButtons();
            platform::ShowError(this, QStringLiteral("The RAW reading did not rise with the level "
                                                     "at %1: is the generator connected to the "
                                                     "receiver and tuned to its frequency?")
                                          .arg(point));
            LStatus->SetCaption(QStringLiteral("Nothing to take."));
            return;
        }
    } else {
        table_ = table;
        summary_ << QStringLiteral("%1: RAW %2 to %3, %4 readings left out")
                        .arg(point)
                        .arg(outcome_.LowRaw)
                        .arg(outcome_.HighRaw)
                        .arg(outcome_.LeftOut);
    }
    if (!listMode_) {
        complete_ = true;
        UpdateButtons();
        LStatus->SetCaption(summary_.back());
        if (closePending_) close();
        return;
    }
    if (outcome_.Valid && store_ && !store_(points_[current_], table_)) return EndOfList(QString());
    if (closePending_) return EndOfList(QStringLiteral("stopped"));
    if (++current_ < points_.size()) return StartPoint();
    EndOfList(QString());
}

void TSweepForm::EndOfList(const QString &error) {
    UpdateButtons();
    if (!listMode_) return;
    QString text = summary_.isEmpty() ? QStringLiteral("No point was swept.")
                                      : summary_.join(QLatin1Char('\n'));
    if (!error.isEmpty() && current_ < points_.size())
        text += QStringLiteral("\n\nEnded at %1 (%2); the points before it are stored.")
                    .arg(FrequencyText(points_[current_]), error);
    LStatus->SetCaption(
        QStringLiteral("%1 of %2 points swept").arg(summary_.size()).arg(points_.size()));
    if (closePending_) {
        close();
        return;
    }
    platform::ShowInformation(this, text, QStringLiteral("Information"));
}

void TSweepForm::BStopClick() {
    engine_.Stop();
}

void TSweepForm::BOkClick() {
    if (complete_ && !listMode_) SetModalResult(mrOk);
}

void TSweepForm::BCancelClick() {
    close();
}

bool TSweepForm::CloseQuery() {
    if (ModalResult() == mrOk) return true;
    if (!engine_.Running()) return true;
    // The output goes off first; the window closes when the engine is done.
    closePending_ = true;
    engine_.Stop();
    return false;
}
