#include "dialogs/u_verifyform.h"

#include "calibration/frequencytext.h"
#include "controls/cgauges.h"
#include "controls/dialogparts.h"
#include "controls/mylabel.h"
#include "controls/myscrollbar.h"
#include "controls/stalignedit.h"
#include "controls/stcontrol.h"
#include "controls/stgrid.h"
#include "controls/stpanel.h"
#include "controls/stspeedbutton.h"
#include "dialogs/errorplotview.h"
#include "generator/instrument.h"
#include "platform/filedialog.h"
#include "platform/messagebox.h"
#include "platform/registry.h"

#include <QLocale>
#include <QPainter>
#include <QSaveFile>

#include <cmath>

namespace {

constexpr int kWidth = 700;
constexpr int kHeight = 560;

using dialogparts::ArialFont;
using dialogparts::MakeGroup;

constexpr TColor kGaugeFore = 40960; // RGB 0, 160, 0
const QColor kPassText(0, 255, 0);
const QColor kFailText(255, 80, 80);
const QColor kHeaderText(255, 255, 0);
const QColor kPointText(192, 192, 192);
constexpr int kPointColumn = 84;
constexpr int kWorstColumn = 64;

const QString kLevelsKey = QStringLiteral("Verify Levels");
const QString kToleranceKey = QStringLiteral("Verify Tolerance");

TmyLabel *MakeLabel(QWidget *parent, int x, int y, const QString &caption) {
    return dialogparts::MakeLabel(parent, caption, x, y, TColor(dialogparts::kListText));
}

TstAlignEdit *MakeEdit(QWidget *parent, const QRect &place, const QString &name,
                       const QString &hint) {
    auto *edit = new TstAlignEdit(parent);
    edit->setObjectName(name);
    dialogparts::StyleValueField(edit, place);
    edit->setToolTip(hint);
    return edit;
}

TstSpeedButton *MakeButton(QWidget *parent, const QRect &place, const QString &caption,
                           const QString &name, const QString &hint) {
    TstSpeedButton *button = dialogparts::MakeButton(parent, place, caption, hint);
    button->setObjectName(name);
    return button;
}

QString Number(double v) {
    return QLocale::c().toString(v, 'g', 10);
}

// The worst error of a point's readings, as its last column shows it.
QString WorstText(const TVerifyPoint &point) {
    const TVerifyReading *worst = nullptr;
    for (const TVerifyReading &reading : point.Readings) {
        if (!reading.Shown) return QStringLiteral("no cal.");
        if (!worst || std::abs(reading.Error()) > std::abs(worst->Error())) worst = &reading;
    }
    return worst ? Verification::ErrorText(*worst) : QString();
}

} // namespace

TVerifyForm::TVerifyForm(QWidget *parent)
    : TstForm(QStringLiteral("Verification"), TFrameKind::fkDialog, parent) {
    setObjectName(QStringLiteral("VerifyForm"));
    SetSize(kWidth, kHeight);
    setFont(ArialFont(11));

    TstPanel *levels =
        MakeGroup(ClientPanel, QRect(6, 26, 250, 74), QStringLiteral("Levels and tolerance"));
    MakeLabel(levels, 8, 28, QStringLiteral("Levels, dBm"));
    ELevels = MakeEdit(levels, QRect(96, 26, 146, 18), QStringLiteral("Levels"),
                       QStringLiteral("Generator levels: FROM:TO:STEP or a list, -120, -90"));
    ELevels->SetAlignment(Qt::AlignLeft);
    MakeLabel(levels, 8, 51, QStringLiteral("Tolerance, dB"));
    ETolerance = MakeEdit(levels, QRect(96, 49, 56, 18), QStringLiteral("Tolerance"),
                          QStringLiteral("The largest error that passes, either way"));

    TstPanel *generator =
        MakeGroup(ClientPanel, QRect(262, 26, 432, 74), QStringLiteral("Generator (Sweep window)"));
    LGenerator = MakeLabel(generator, 8, 28, QString());
    LGenerator->setObjectName(QStringLiteral("GeneratorText"));
    LGenerator->SetAutoSize(false);
    LGenerator->resize(416, 14);
    LPoints = MakeLabel(generator, 8, 51, QString());
    LPoints->setObjectName(QStringLiteral("PointsText"));
    LPoints->SetAutoSize(false);
    LPoints->resize(416, 14);

    TstPanel *gridPanel = dialogparts::MakeListPanel(ClientPanel, QRect(6, 106, 688, 186));
    GridBar = dialogparts::MakeListScrollBar(gridPanel);
    Grid = dialogparts::MakeListGrid(gridPanel, 3, 1);
    Grid->setObjectName(QStringLiteral("Results"));
    Grid->SetRowSelect(false);
    Grid->SetOnDrawCell([this](TstGrid *, QPainter &canvas, int col, int row, const QRect &rect,
                               TstGrid::TGridDrawState) { DrawCell(canvas, col, row, rect); });
    connect(Grid, &TstGrid::OnTopLeftChanged, this,
            [this](TstGrid *) { GridBar->SetPosition(Grid->TopRow()); });
    connect(GridBar, &TmyScrollBar::OnPositionChange, this,
            [this](TmyScrollBar *) { Grid->SetTopRow(int(GridBar->Position())); });

    auto *plotPanel = dialogparts::MakeListPanel(ClientPanel, QRect(6, 298, 688, 190));
    Plot = new TErrorPlotView(plotPanel);
    Plot->setObjectName(QStringLiteral("ErrorPlot"));
    Plot->setGeometry(2, 2, 684, 186);

    LStatus = MakeLabel(ClientPanel, 8, 494, QString());
    LStatus->setObjectName(QStringLiteral("Status"));
    LStatus->SetAutoSize(false);
    LStatus->resize(684, 14);

    auto *gaugePanel = dialogparts::MakeListPanel(ClientPanel, QRect(6, 510, 688, 17));
    Progress = new TCGauge(gaugePanel);
    Progress->setGeometry(2, 2, 684, 13);
    Progress->SetBorderStyle(TGaugeBorderStyle::bsNone);
    Progress->SetShowText(false);
    Progress->SetForeColor(kGaugeFore);
    Progress->SetBackColor(dialogparts::kButtonFace);

    const int by = kHeight - 27;
    BStart = MakeButton(ClientPanel, QRect(6, by, 73, 21), QStringLiteral("Start"),
                        QStringLiteral("Start"),
                        QStringLiteral("Sets the generator and verifies every point"));
    BStop = MakeButton(ClientPanel, QRect(82, by, 73, 21), QStringLiteral("Stop"),
                       QStringLiteral("Stop"),
                       QStringLiteral("Stops the verification and switches the output off"));
    BCsv = MakeButton(ClientPanel, QRect(kWidth - 155, by, 73, 21), QStringLiteral("CSV\u2026"),
                      QStringLiteral("Csv"), QStringLiteral("Saves the results as CSV"));
    TstSpeedButton *BClose =
        MakeButton(ClientPanel, QRect(kWidth - 79, by, 73, 21), QStringLiteral("Close"),
                   QStringLiteral("Close"), QStringLiteral("Closes the window"));
    connect(BStart, &TstSpeedButton::OnClick, this, &TVerifyForm::BStartClick);
    connect(BStop, &TstSpeedButton::OnClick, this, &TVerifyForm::BStopClick);
    connect(BCsv, &TstSpeedButton::OnClick, this, &TVerifyForm::BCsvClick);
    connect(BClose, &TstSpeedButton::OnClick, this, [this] { close(); });

    connect(&engine_, &TVerifyEngine::ReadingDone, this, &TVerifyForm::ReadingDone);
    connect(&engine_, &TVerifyEngine::Finished, this, &TVerifyForm::Finished);
    connect(&engine_, &TVerifyEngine::Connected, this, [this](const QString &identity) {
        LStatus->SetCaption(QStringLiteral("Generator: ") + identity);
    });
    LoadSettings();
    TVerifySettings settings;
    ReadSettings(settings);
    PrepareGrid(settings.Levels, loss_);
    UpdateButtons();
}

void TVerifyForm::SetGenerator(TGeneratorFactory factory, const QString &link, double loss,
                               int settleMs, int readings) {
    factory_ = std::move(factory);
    link_ = link;
    loss_ = loss;
    settleMs_ = settleMs;
    readings_ = readings;
    LGenerator->SetCaption(QStringLiteral("%1; loss %2 dB, settle %3 ms, %4 readings")
                               .arg(link, Number(loss))
                               .arg(settleMs)
                               .arg(readings));
}

void TVerifyForm::SetGenerator(const TSweepSettings &sweep) {
    const TInstrument instrument = sweep.Instrument;
    const int timeoutMs = sweep.TimeoutMs;
    SetGenerator(
        [instrument, timeoutMs] { return Instrument::CreateGenerator(instrument, timeoutMs); },
        QStringLiteral("%1, %2").arg(instrument.Link, instrument.Commands), sweep.Loss,
        sweep.SettleMs, sweep.Readings);
}

void TVerifyForm::SetPoints(const std::vector<std::uint64_t> &points, TVerifyEngine::TTune tune,
                            TVerifyEngine::TLookup lookup) {
    points_ = points;
    tune_ = std::move(tune);
    lookup_ = std::move(lookup);
    QStringList texts;
    for (std::uint64_t hz : points)
        texts << FrequencyText(hz);
    LPoints->SetCaption(points.size() == 1 ? QStringLiteral("Point ") + texts.front()
                                           : QStringLiteral("%1 points: %2")
                                                 .arg(points.size())
                                                 .arg(texts.join(QStringLiteral(", "))));
    UpdateButtons();
}

void TVerifyForm::showEvent(QShowEvent *event) {
    closePending_ = false;
    TstForm::showEvent(event);
}

void TVerifyForm::hideEvent(QHideEvent *event) {
    // However the window went, the generator does not stay on.
    engine_.Stop();
    TstForm::hideEvent(event);
}

bool TVerifyForm::CloseQuery() {
    if (!engine_.Running()) return true;
    // The output goes off first; the window closes when the engine is done.
    closePending_ = true;
    engine_.Stop();
    return false;
}

void TVerifyForm::LoadSettings() {
    const std::unique_ptr<QSettings> key = platform::OpenUserKey();
    std::vector<double> levels;
    QString error;
    if (!Verification::ParseLevels(key->value(kLevelsKey).toString(), levels, error))
        levels = Verification::DefaultLevels();
    ELevels->setText(Verification::LevelsText(levels));
    bool ok = false;
    const double tolerance = QLocale::c().toDouble(key->value(kToleranceKey).toString(), &ok);
    ETolerance->setText(QLocale::c().toString(ok && tolerance > 0 && std::isfinite(tolerance)
                                                  ? tolerance
                                                  : TVerification::kDefaultTolerance,
                                              'f', 1));
}

void TVerifyForm::SaveSettings(const TVerifySettings &settings) {
    const std::unique_ptr<QSettings> key = platform::OpenUserKey();
    key->setValue(kLevelsKey, Verification::LevelsText(settings.Levels));
    key->setValue(kToleranceKey, Number(settings.Tolerance));
}

bool TVerifyForm::ReadSettings(TVerifySettings &settings) {
    TVerifySettings s;
    QString error;
    if (Verification::ParseLevels(ELevels->text(), s.Levels, error)) {
        bool ok = false;
        s.Tolerance = QLocale::c().toDouble(ETolerance->text().trimmed(), &ok);
        if (!ok) s.Tolerance = QLocale().toDouble(ETolerance->text().trimmed(), &ok);
        if (!ok)
            error = QStringLiteral("\"%1\" is not a number (tolerance).").arg(ETolerance->text());
    }
    s.Loss = loss_;
    s.SettleMs = settleMs_;
    s.Readings = readings_;
    if (error.isEmpty()) s.Check(&error);
    if (!error.isEmpty()) {
        if (isVisible()) platform::ShowError(this, error);
        return false;
    }
    settings = s;
    return true;
}

void TVerifyForm::UpdateButtons() {
    const bool running = engine_.Running();
    BStart->setEnabled(!running && !points_.empty() && factory_ && tune_ && lookup_);
    BStop->setEnabled(running);
    BCsv->setEnabled(!running && engine_.Result().ReadingCount() > 0);
    ELevels->setEnabled(!running);
    ETolerance->setEnabled(!running);
}

void TVerifyForm::PrepareGrid(const std::vector<double> &levels, double loss) {
    const int count = int(levels.size());
    Grid->SetColCount(count + 2);
    Grid->SetRowCount(1 + std::max<std::size_t>(1, points_.size()));
    const int room = Grid->width() > 100 ? Grid->width() : 684 - 15;
    const int width = std::max(34, (room - kPointColumn - kWorstColumn) / std::max(1, count));
    Grid->SetColWidth(0, kPointColumn);
    Grid->SetCells(0, 0, QStringLiteral("Point \\ dBm"));
    for (int i = 0; i < count; ++i) {
        Grid->SetColWidth(i + 1, width);
        Grid->SetCells(i + 1, 0, QLocale::c().toString(levels[std::size_t(i)] - loss, 'f', 1));
    }
    Grid->SetColWidth(count + 1, kWorstColumn);
    Grid->SetCells(count + 1, 0, QStringLiteral("Worst"));
    for (int row = 1; row < Grid->RowCount(); ++row) {
        Grid->ClearRow(row);
        if (std::size_t(row - 1) < points_.size())
            Grid->SetCells(0, row, FrequencyText(points_[std::size_t(row - 1)]));
    }
    dialogparts::FitScrollBar(GridBar, Grid);
    Grid->update();
}

void TVerifyForm::DrawCell(QPainter &canvas, int col, int row, const QRect &rect) {
    canvas.fillRect(rect, ColorToQColor(dialogparts::kListBack));
    canvas.setFont(Grid->font());
    const QString text = Grid->Cells(col, row);
    QColor color = row == 0 ? kHeaderText : kPointText;
    const TVerification &results = engine_.Result();
    if (row > 0 && col > 0 && std::size_t(row - 1) < results.Points.size()) {
        const TVerifyPoint &point = results.Points[std::size_t(row - 1)];
        if (col == Grid->ColCount() - 1) {
            bool pass = point.Readings.size() == results.Levels.size();
            for (const TVerifyReading &reading : point.Readings)
                pass = pass && results.Passes(reading);
            color = pass ? kPassText : kFailText;
        } else if (std::size_t(col - 1) < point.Readings.size()) {
            color = results.Passes(point.Readings[std::size_t(col - 1)]) ? kPassText : kFailText;
        }
    }
    canvas.setPen(color);
    const int flags = (col == 0 ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter;
    canvas.drawText(rect.adjusted(3, 0, -4, 0), flags, text);
}

void TVerifyForm::BStartClick() {
    if (engine_.Running() || points_.empty() || !factory_) return;
    TVerifySettings settings;
    if (!ReadSettings(settings)) return;
    SaveSettings(settings);
    QString error;
    if (!engine_.Start(settings, points_, factory_(), tune_, lookup_, &error)) {
        platform::ShowError(this, error);
        return;
    }
    PrepareGrid(settings.Levels, settings.Loss);
    Plot->SetResults(engine_.Result());
    Progress->SetMaxValue(std::max(1, int(points_.size() * settings.Levels.size())));
    Progress->SetProgress(0);
    LStatus->SetCaption(QStringLiteral("Connecting to the generator\u2026"));
    UpdateButtons();
}

void TVerifyForm::ReadingDone(int point, int level) {
    const TVerification &results = engine_.Result();
    const TVerifyReading &reading = results.Points[std::size_t(point)].Readings[std::size_t(level)];
    Grid->SetCells(level + 1, point + 1,
                   reading.Shown ? Verification::ErrorText(reading) : QStringLiteral("no cal."));
    Grid->SetCells(Grid->ColCount() - 1, point + 1, WorstText(results.Points[std::size_t(point)]));
    Plot->SetResults(results);
    Progress->SetProgress(results.ReadingCount());
    LStatus->SetCaption(
        QStringLiteral("%1: %2 dBm, RAW %3, %4")
            .arg(FrequencyText(results.Points[std::size_t(point)].Hz),
                 QLocale::c().toString(reading.Applied, 'f', 1))
            .arg(reading.Raw)
            .arg(reading.Shown ? QStringLiteral("error %1 dB").arg(Verification::ErrorText(reading))
                               : QStringLiteral("no calibration")));
}

void TVerifyForm::Finished(bool completed, const QString &error) {
    UpdateButtons();
    const TVerification &results = engine_.Result();
    Plot->SetResults(results);
    Grid->update();
    if (completed) {
        QString text = results.VerdictText();
        if (const std::optional<double> worst = results.WorstError())
            text += QStringLiteral(", worst error %1 dB")
                        .arg(Verification::ErrorText({0, 0, 0, *worst}));
        LStatus->SetCaption(text);
    } else {
        LStatus->SetCaption(error.isEmpty() ? QStringLiteral("Stopped.")
                                            : QStringLiteral("Failed."));
        if (!error.isEmpty()) platform::ShowError(this, error);
    }
    if (closePending_) close();
}

void TVerifyForm::BStopClick() {
    engine_.Stop();
}

bool TVerifyForm::ExportCsv(const QString &path, QString &error) const {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(Verification::Csv(engine_.Result())) < 0 ||
        !file.commit()) {
        error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

void TVerifyForm::BCsvClick() {
    if (engine_.Running() || engine_.Result().ReadingCount() == 0) return;
    const QString path = platform::AskFileName(
        this, platform::FileDialogRequest::Save, QStringLiteral("Save verification results"),
        QStringLiteral("CSV files (*.csv)"), QStringLiteral("csv"),
        QStringLiteral("verification.csv"));
    if (path.isEmpty()) return;
    QString error;
    if (!ExportCsv(path, error)) platform::ShowError(this, error);
}
