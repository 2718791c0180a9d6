#include "dialogs/u_sweepform.h"

#include "calibration/frequencytext.h"
#include "controls/cgauges.h"
#include "controls/dialogparts.h"
#include "controls/stalignedit.h"
#include "dialogs/strtofloat.h"
#include "dialogs/sweepplot.h"
#include "dialogs/u_instrumentform.h"
#include "platform/messagebox.h"
#include "platform/registry.h"

#include <QApplication>
#include <QLabel>
#include <QLocale>
#include <QScreen>

#include <algorithm>
#include <limits>

using namespace dialogparts;

namespace {

constexpr int kWidth = 520;
constexpr int kHeight = 392;

constexpr TColor kGaugeFore = 40960; // RGB 0, 160, 0
// Progress per point: the count of levels grows while adaptive steps refine.
constexpr int kPointProgress = 1000;

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

// One of a group of buttons of which one is chosen: the chosen one stays
// down in the selection's grey with a black caption.
TstSpeedButton *MakeChoice(QWidget *parent, const char *name, const QRect &place, int group,
                           const QString &caption, const QString &hint) {
    TstSpeedButton *button = Named(MakeButton(parent, place, caption, hint), name);
    button->SetGroupIndex(group);
    button->SetColorDown(kSelectedRow);
    button->SetFontColorDown(clBlack);
    return button;
}

// A number as the fields show it: the locale's decimal separator, no group
// separators (the fields read numbers back without them).
QString Number(double v) {
    QLocale locale;
    locale.setNumberOptions(locale.numberOptions() | QLocale::OmitGroupSeparator);
    return locale.toString(v, 'g', 10);
}

QString Capitalised(QString text) {
    if (!text.isEmpty()) text[0] = text[0].toUpper();
    return text;
}

// The reason a hook gives for a failure, or `fallback` when it tells none.
QString Reason(const platform::TResult &result, const QString &fallback) {
    return result.Message().isEmpty() ? fallback : result.Message();
}

// What the user's registry key keeps of the settings.
const struct {
    const char *key;
    double TSweepSettings::*value;
} kKeptNumbers[] = {
    {"Sweep Loss", &TSweepSettings::Loss},
    {"Sweep From", &TSweepSettings::From},
    {"Sweep To", &TSweepSettings::To},
    {"Sweep Largest Step", &TSweepSettings::MaxStep},
    {"Sweep Finest Step", &TSweepSettings::MinStep},
    {"Sweep Step", &TSweepSettings::Step},
};
const struct {
    const char *key;
    int TSweepSettings::*value;
} kKeptCounts[] = {
    {"Sweep Settle", &TSweepSettings::SettleMs},
    {"Sweep Readings", &TSweepSettings::Readings},
};
const QString kAdaptive = QStringLiteral("Sweep Adaptive");
const QString kEnds = QStringLiteral("Sweep Table Ends");

} // namespace

TSweepForm::TSweepForm(QWidget *parent)
    : TstForm(QStringLiteral("Sweep"), TFrameKind::fkDialog, parent) {
    SetSize(kWidth, kHeight);
    setFont(ArialFont(11));

    TstPanel *generator =
        MakeGroup(ClientPanel, QRect(6, 26, 200, 116), QStringLiteral("Generator"));
    // The link and the command set are chosen in a window of their own; this
    // one shows them.
    LLink = MakeFieldLabel(generator, 8, 24, QString());
    LLink->setObjectName(QStringLiteral("LLink"));
    LLink->SetAutoSize(false);
    LLink->resize(184, 14);
    LCommands = MakeFieldLabel(generator, 8, 44, QString());
    LCommands->setObjectName(QStringLiteral("LCommands"));
    LCommands->SetAutoSize(false);
    LCommands->resize(184, 14);
    BInstrument = MakeButton(generator, QRect(8, 65, 96, 21), QStringLiteral("Instrument…"),
                             QStringLiteral("Chooses the generator's link and command set"));
    BInstrument->setObjectName(QStringLiteral("BInstrument"));
    connect(BInstrument, &TstSpeedButton::OnClick, this, &TSweepForm::BInstrumentClick);
    MakeFieldLabel(generator, 8, 94, QStringLiteral("Loss, dB"));
    ELoss =
        MakeEdit(generator, "ELoss", QRect(70, 92, 56, 18),
                 QStringLiteral("Loss of cable and attenuators between generator and receiver"));

    TstPanel *sweep = MakeGroup(ClientPanel, QRect(6, 146, 200, 212), QStringLiteral("Sweep"));
    MakeFieldLabel(sweep, 8, 74, QStringLiteral("Steps"));
    BAdaptive = MakeChoice(sweep, "BAdaptive", QRect(56, 71, 68, 20), 1, QStringLiteral("Adaptive"),
                           QStringLiteral("Coarse steps where the RAW value rises steadily, finer "
                                          "ones where the curve bends"));
    BFixed = MakeChoice(sweep, "BFixed", QRect(126, 71, 66, 20), 1, QStringLiteral("Fixed"),
                        QStringLiteral("Every level from From to To in the same step"));
    connect(BAdaptive, &TstSpeedButton::OnClick, this, [this] { SetAdaptive(true); });
    connect(BFixed, &TstSpeedButton::OnClick, this, [this] { SetAdaptive(false); });
    const struct {
        const char *name, *caption, *hint;
        TstAlignEdit **edit;
        int row;
    } fields[] = {
        {"EFrom", "From, dBm", "Generator level of the first step", &EFrom, 0},
        {"ETo", "To, dBm", "Generator level of the last step", &ETo, 1},
        {"EMaxStep", "Largest, dB", "Adaptive steps: the coarse step", &EMaxStep, 3},
        {"EMinStep", "Finest, dB", "Adaptive steps: the finest step at bends", &EMinStep, 4},
        {"EStep", "Step, dB", "Fixed steps: the level step", &EStep, 5},
        {"ESettle", "Settle, ms", "Wait after the generator has confirmed a level", &ESettle, 6},
        {"EReadings", "Readings",
         "Live RAW readings per step at most; three equal ones end the step early", &EReadings, 7},
    };
    for (const auto &f : fields) {
        const int y = 26 + 23 * f.row;
        MakeFieldLabel(sweep, 8, y + 2, QString::fromLatin1(f.caption));
        *f.edit = MakeEdit(sweep, f.name, QRect(96, y, 64, 18), QString::fromLatin1(f.hint));
    }

    TstPanel *plotPanel = MakeListPanel(ClientPanel, QRect(212, 26, 302, 204));
    Plot = new TSweepPlot(plotPanel);
    Plot->setObjectName(QStringLiteral("Plot"));
    Plot->setGeometry(2, 2, 298, 200);

    // Two lines: an outcome with both table ends does not fit one.
    LStatus = Named(new QLabel(ClientPanel), "LStatus");
    LStatus->setGeometry(214, 236, 300, 32);
    LStatus->setFont(ArialFont(11));
    LStatus->setWordWrap(true);
    LStatus->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QPalette palette = LStatus->palette();
    palette.setColor(QPalette::WindowText, ColorToQColor(kListText));
    LStatus->setPalette(palette);

    TstPanel *GaugePanel = MakeListPanel(ClientPanel, QRect(212, 272, 302, 17));
    GaugePanel->setObjectName(QStringLiteral("GaugePanel"));
    Progress = new TCGauge(GaugePanel);
    Progress->setObjectName(QStringLiteral("Progress"));
    Progress->setGeometry(2, 2, 298, 13);
    Progress->SetBorderStyle(TGaugeBorderStyle::bsNone);
    Progress->SetShowText(false);
    Progress->SetForeColor(kGaugeFore);
    Progress->SetBackColor(kButtonFace);

    TstPanel *ends = MakeGroup(ClientPanel, QRect(212, 296, 302, 62), QStringLiteral("Table ends"));
    const QString outside = QStringLiteral("The entries below the lowest and above the highest "
                                           "recorded RAW value: ");
    BNotSet = MakeChoice(
        ends, "BNotSet", QRect(8, 28, 70, 21), 2, Capitalised(TableEndsName(TTableEnds::teNotSet)),
        outside + QStringLiteral("not set, the table says only what was measured"));
    BKeep = MakeChoice(ends, "BKeep", QRect(80, 28, 106, 21), 2,
                       Capitalised(TableEndsName(TTableEnds::teKeep)),
                       outside + QStringLiteral("left as they were"));
    BHold = MakeChoice(ends, "BHold", QRect(188, 28, 106, 21), 2,
                       Capitalised(TableEndsName(TTableEnds::teHold)),
                       outside + QStringLiteral("the value of the nearest recorded entry"));
    connect(BNotSet, &TstSpeedButton::OnClick, this, [this] { SetEnds(TTableEnds::teNotSet); });
    connect(BKeep, &TstSpeedButton::OnClick, this, [this] { SetEnds(TTableEnds::teKeep); });
    connect(BHold, &TstSpeedButton::OnClick, this, [this] { SetEnds(TTableEnds::teHold); });

    const int by = kHeight - 27;
    BStart = MakeButton(ClientPanel, QRect(6, by, 73, 21), QStringLiteral("Start"),
                        QStringLiteral("Sets the generator and starts the sweep"));
    BStart->setObjectName(QStringLiteral("BStart"));
    BStop = MakeButton(ClientPanel, QRect(82, by, 73, 21), QStringLiteral("Stop"),
                       QStringLiteral("Stops the sweep and switches the output off"));
    BStop->setObjectName(QStringLiteral("BStop"));
    BOk = MakeButton(ClientPanel, QRect(kWidth - 155, by, 73, 21), QStringLiteral("OK"));
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
        LStatus->setText(PointText() + QStringLiteral(": ") + identity);
    });
    table_.fill(0.0);
    LoadSettings();
    UpdateButtons();
}

std::optional<TDbmTable> TSweepForm::SweepPoint(std::uint64_t hz, const TDbmTable &table,
                                                QWidget *opener) {
    points_ = {hz};
    begin_ = nullptr;
    store_ = nullptr;
    notSaved_ = nullptr;
    listMode_ = false;
    table_ = table;
    BOk->SetHint(QStringLiteral("Takes the swept values into the table"));
    CentreOn(opener);
    if (ShowModal() != mrOk) return std::nullopt;
    return table_;
}

void TSweepForm::SweepPoints(const std::vector<std::uint64_t> &points, TBeginPoint begin,
                             TStorePoint store, TNotSaved notSaved, QWidget *opener) {
    points_ = points;
    begin_ = std::move(begin);
    store_ = std::move(store);
    notSaved_ = std::move(notSaved);
    listMode_ = true;
    BOk->SetHint(QStringLiteral("Closes the window; the swept points are stored"));
    CentreOn(opener);
    ShowModal();
}

void TSweepForm::CentreOn(const QWidget *opener) {
    if (!opener) opener = QApplication::activeWindow();
    if (opener) opener = opener->window();
    if (opener == this) opener = nullptr;
    QScreen *screen = opener ? opener->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    const QPoint centre = opener ? opener->frameGeometry().center() : area.center();
    QPoint place = centre - QPoint(width() / 2, height() / 2);
    place.setX(
        std::clamp(place.x(), area.left(), std::max(area.left(), area.right() + 1 - width())));
    place.setY(
        std::clamp(place.y(), area.top(), std::max(area.top(), area.bottom() + 1 - height())));
    move(place);
}

void TSweepForm::showEvent(QShowEvent *event) {
    complete_ = false;
    listDone_ = false;
    closePending_ = false;
    outcome_ = {};
    summary_.Begin(int(points_.size()));
    current_ = 0;
    // Another window may have chosen another instrument meanwhile.
    ShowInstrument(Instrument::Chosen());
    Progress->SetProgress(0);
    Plot->Reset(settings_.From, settings_.To);
    LStatus->setText(listMode_ ? QStringLiteral("%1 points").arg(points_.size()) : PointText());
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
    TSweepSettings s;
    for (const auto &kept : kKeptNumbers)
        s.*kept.value =
            ParseFloat(key->value(QLatin1String(kept.key)).toString()).value_or(s.*kept.value);
    for (const auto &kept : kKeptCounts)
        s.*kept.value = int(std::clamp<qint64>(
            platform::ReadInteger(*key, QLatin1String(kept.key)).value_or(s.*kept.value),
            std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
    ShowInstrument(Instrument::Chosen());
    ELoss->setText(Number(s.Loss));
    EFrom->setText(Number(s.From));
    ETo->setText(Number(s.To));
    EMaxStep->setText(Number(s.MaxStep));
    EMinStep->setText(Number(s.MinStep));
    EStep->setText(Number(s.Step));
    ESettle->setText(QString::number(s.SettleMs));
    EReadings->setText(QString::number(s.Readings));
    SetAdaptive(platform::ReadInteger(*key, kAdaptive).value_or(s.Adaptive ? 1 : 0) != 0);
    switch (platform::ReadInteger(*key, kEnds).value_or(0)) {
    case 1:
        SetEnds(TTableEnds::teKeep);
        break;
    case 2:
        SetEnds(TTableEnds::teHold);
        break;
    default:
        SetEnds(TTableEnds::teNotSet);
        break;
    }
    ReadSettings(settings_);
}

void TSweepForm::SaveSettings(const TSweepSettings &s) {
    const std::unique_ptr<QSettings> key = platform::OpenUserKey();
    for (const auto &kept : kKeptNumbers)
        key->setValue(QLatin1String(kept.key), QLocale::c().toString(s.*kept.value, 'g', 10));
    for (const auto &kept : kKeptCounts)
        key->setValue(QLatin1String(kept.key), s.*kept.value);
    key->setValue(kAdaptive, s.Adaptive ? 1 : 0);
    key->setValue(kEnds, ends_ == TTableEnds::teKeep ? 1 : ends_ == TTableEnds::teHold ? 2 : 0);
}

void TSweepForm::SetAdaptive(bool adaptive) {
    (adaptive ? BAdaptive : BFixed)->SetDown(true);
    UpdateButtons();
}

void TSweepForm::SetEnds(TTableEnds ends) {
    ends_ = ends;
    (ends == TTableEnds::teKeep   ? BKeep
     : ends == TTableEnds::teHold ? BHold
                                  : BNotSet)
        ->SetDown(true);
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
    s.Instrument = instrument_;
    number(ELoss, "loss", s.Loss);
    number(EFrom, "level from", s.From);
    number(ETo, "level to", s.To);
    s.Adaptive = BAdaptive->Down();
    // Only the steps of the chosen kind are read; the others keep their text.
    if (s.Adaptive) {
        number(EMaxStep, "largest step", s.MaxStep);
        number(EMinStep, "finest step", s.MinStep);
    } else {
        number(EStep, "level step", s.Step);
    }
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
    // After the sweep of every point OK closes the window; there is nothing
    // left to cancel.
    BOk->setEnabled(!running && (listMode_ ? listDone_ : complete_));
    BCancel->setEnabled(!(listMode_ && listDone_) || running);
    for (TstAlignEdit *e : {ELoss, EFrom, ETo, ESettle, EReadings})
        e->setEnabled(!running);
    const bool adaptive = BAdaptive->Down();
    EMaxStep->setEnabled(!running && adaptive);
    EMinStep->setEnabled(!running && adaptive);
    EStep->setEnabled(!running && !adaptive);
    for (TstSpeedButton *b : {BInstrument, BAdaptive, BFixed, BNotSet, BKeep, BHold})
        b->setEnabled(!running);
}

void TSweepForm::ShowInstrument(const TInstrument &instrument) {
    instrument_ = instrument;
    // A long resource text keeps its ends, which tell the links apart.
    const QString link = LLink->fontMetrics().elidedText(instrument.Link, Qt::ElideMiddle, 184);
    LLink->SetCaption(link);
    LLink->setToolTip(instrument.Link);
    LCommands->SetCaption(QStringLiteral("Commands: ") + instrument.Commands);
    LCommands->setToolTip(LCommands->Caption());
}

void TSweepForm::BInstrumentClick() {
    if (engine_.Running()) return;
    TInstrumentForm form(this);
    if (const std::optional<TInstrument> chosen = form.AskInstrument(instrument_))
        ShowInstrument(*chosen);
}

void TSweepForm::BStartClick() {
    if (engine_.Running() || points_.empty()) return;
    if (!ReadSettings(settings_)) return;
    SaveSettings(settings_);
    complete_ = false;
    listDone_ = false;
    summary_.Begin(int(points_.size()));
    current_ = 0;
    Progress->SetMaxValue(kPointProgress * int(points_.size()));
    Progress->SetProgress(0);
    StartPoint();
}

void TSweepForm::StartPoint() {
    const std::uint64_t hz = points_[current_];
    if (begin_) {
        // The result lives on until the summary is shown: its clean-up follows
        // the message.
        const platform::TResult read = begin_(hz, table_);
        if (!read)
            return EndOfList(true, Reason(read, QStringLiteral("its table could not be read.")));
    }
    Plot->Reset(settings_.From - settings_.Loss, settings_.To - settings_.Loss);
    LStatus->setText(PointText());
    QString error;
    if (!engine_.Start(settings_, hz, nullptr, &error)) {
        if (listMode_) return EndOfList(true, error);
        UpdateButtons();
        platform::ShowError(this, error);
        return;
    }
    UpdateButtons();
}

void TSweepForm::StepDone(int index, int count, double level, int raw) {
    Plot->AddPoint(level, raw);
    Progress->SetProgress(int(current_) * kPointProgress +
                          kPointProgress * (index + 1) / std::max(count, index + 1));
    LStatus->setText(PointText() + QStringLiteral(": %1 dBm, RAW %2").arg(Number(level)).arg(raw));
}

void TSweepForm::Finished(bool completed, const QString &error) {
    const std::uint64_t hz = points_[current_];
    if (!completed) {
        if (listMode_) return EndOfList(true, error);
        UpdateButtons();
        LStatus->setText(error.isEmpty() ? QStringLiteral("Stopped; nothing taken.")
                                         : QStringLiteral("Failed; nothing taken."));
        if (!error.isEmpty()) platform::ShowError(this, error);
        if (closePending_) close();
        return;
    }
    TDbmTable table = table_;
    outcome_ = ApplySweep(engine_.Readings(), table, ends_);
    if (!outcome_.Valid) {
        if (!listMode_) {
            UpdateButtons();
            LStatus->setText(QStringLiteral("Nothing to take."));
            platform::ShowError(this, QStringLiteral("The RAW reading did not rise with the level "
                                                     "at %1: is the generator connected to the "
                                                     "receiver and tuned to its frequency?")
                                          .arg(FrequencyText(hz)));
            return;
        }
        summary_.NothingToStore(hz);
    } else {
        table_ = table;
        if (!listMode_) {
            complete_ = true;
            UpdateButtons();
            LStatus->setText(FrequencyText(hz) + QStringLiteral(": ") + OutcomeText(outcome_));
            if (closePending_) close();
            return;
        }
        if (store_) {
            const platform::TResult stored = store_(hz, table_);
            if (!stored)
                return EndOfList(true,
                                 Reason(stored, QStringLiteral("its table could not be stored.")));
        }
        summary_.Stored(hz, outcome_, outcome_.LeftOut);
    }
    if (closePending_) return EndOfList(true, QString());
    if (++current_ < points_.size()) return StartPoint();
    EndOfList(false, QString());
}

void TSweepForm::EndOfList(bool early, const QString &reason) {
    if (early && current_ < points_.size()) summary_.Ended(points_[current_], reason);
    listDone_ = true;
    UpdateButtons();
    const bool notSaved = notSaved_ && notSaved_();
    QString status = !early             ? QStringLiteral("Done: ")
                     : reason.isEmpty() ? QStringLiteral("Stopped: ")
                                        : QStringLiteral("Failed: ");
    status += QStringLiteral("%1 of %2 points stored")
                  .arg(summary_.StoredPoints().size())
                  .arg(points_.size());
    if (notSaved) status += QStringLiteral(", not saved yet");
    LStatus->setText(status + u'.');
    if (closePending_) {
        close();
        return;
    }
    // One box: the failure's reason appears in it once.
    const QString text = summary_.Text(notSaved);
    if (summary_.Failed())
        platform::ShowError(this, text);
    else
        platform::ShowInformation(this, text, QStringLiteral("Information"));
}

void TSweepForm::BStopClick() {
    engine_.Stop();
}

void TSweepForm::BOkClick() {
    if (engine_.Running()) return;
    if (listMode_ ? listDone_ : complete_) SetModalResult(mrOk);
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
