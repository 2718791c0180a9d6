// TSweepForm: the automatic calibration window. A signal generator (on the
// link and with the command set chosen in the Instrument window, which
// "Instrument..." opens) is stepped through a level range while the live RAW
// value is read; the readings become the translation table of the point.
//
// One point (the table editor): SweepPoint(); Start sweeps; once a sweep is
// complete, OK ends the run and hands back the point's table with the swept
// range replaced. Stop, Cancel or a failure leave nothing to apply.
//
// Every point (the main window): SweepPoints() with the hooks that tune the
// receiver and read a point's table, and store a swept table; each finished
// point is stored at once, so a Stop or a failure keeps the points done. The
// end shows one summary that names the points stored, the reason of a
// failure once, and whether the set still has to be saved; OK then closes
// the window.
//
// The levels follow adaptive steps (coarse where the RAW rises steadily,
// finer at bends) or fixed steps. The table entries outside the recorded RAW
// range are not set, kept as they were or hold the end value, as chosen.
//
// The window opens centred on the window that opened it (the active window
// when none is named), so its message boxes open there too. The generator's output goes off
// at the end, on Stop, on a failure and when the window closes or hides
// (which waits for that without blocking).
#pragma once

#include "calibration/smsdk.h"
#include "controls/stform.h"
#include "dialogs/sweepsummary.h"
#include "generator/instrument.h"
#include "generator/sweepengine.h"
#include "platform/result.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

class QLabel;
class TCGauge;
class TstAlignEdit;
class TSweepPlot;

class TSweepForm : public TstForm {
    Q_OBJECT
public:
    // Reads a point's table before it is swept (tuning the receiver to it);
    // a failure ends the sweep of every point, its message in the summary.
    using TBeginPoint = std::function<platform::TResult(std::uint64_t hz, TDbmTable &table)>;
    // Stores a swept table; a failure ends the sweep of every point.
    using TStorePoint = std::function<platform::TResult(std::uint64_t hz, const TDbmTable &table)>;
    // Whether what was stored still has to be saved.
    using TNotSaved = std::function<bool()>;

    explicit TSweepForm(QWidget *parent = nullptr);

    // One point, starting from its present table: the modal run, and the
    // table after a complete sweep and OK, or nothing.
    std::optional<TDbmTable> SweepPoint(std::uint64_t hz, const TDbmTable &table,
                                        QWidget *opener = nullptr);
    // Every point, in order: the modal run.
    void SweepPoints(const std::vector<std::uint64_t> &points, TBeginPoint begin, TStorePoint store,
                     TNotSaved notSaved = {}, QWidget *opener = nullptr);

    // The generator, loss and timing as the fields hold them, which the
    // verification shares; false when one is not valid.
    bool GeneratorSettings(TSweepSettings &settings) { return ReadSettings(settings); }
    // The settings of the last sweep, or those kept from the one before.
    const TSweepSettings &LastSettings() const { return settings_; }

public slots:
    // The live level's RAW reading.
    void SetLiveRaw(std::uint8_t raw) { engine_.AddReading(raw); }

protected:
    bool CloseQuery() override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    // The settings in the fields; false (and a message shown) when one is not valid.
    bool ReadSettings(TSweepSettings &settings);
    // Handlers.
    void BStartClick();
    void BStopClick();
    void BOkClick();
    void BCancelClick();
    void BInstrumentClick();

    void LoadSettings();
    void SaveSettings(const TSweepSettings &settings);
    void SetAdaptive(bool adaptive);
    void SetEnds(TTableEnds ends);
    // Places the window over `opener` (the active window when null, the
    // screen's middle without one), inside the screen.
    void CentreOn(const QWidget *opener);
    void StartPoint();
    void StepDone(int index, int count, double level, int raw);
    void Finished(bool completed, const QString &error);
    // The sweep of every point is over: early at the current point (an
    // empty reason is a Stop), or after the last one.
    void EndOfList(bool early, const QString &reason);
    void UpdateButtons();
    // Shows the link and the command set the next sweep uses.
    void ShowInstrument(const TInstrument &instrument);
    QString PointText() const;

    TmyLabel *LLink = nullptr;
    TmyLabel *LCommands = nullptr;
    TstSpeedButton *BInstrument = nullptr;
    TstAlignEdit *ELoss = nullptr;
    TstAlignEdit *EFrom = nullptr;
    TstAlignEdit *ETo = nullptr;
    TstSpeedButton *BAdaptive = nullptr;
    TstSpeedButton *BFixed = nullptr;
    TstAlignEdit *EMaxStep = nullptr;
    TstAlignEdit *EMinStep = nullptr;
    TstAlignEdit *EStep = nullptr;
    TstAlignEdit *ESettle = nullptr;
    TstAlignEdit *EReadings = nullptr;
    TstSpeedButton *BNotSet = nullptr;
    TstSpeedButton *BKeep = nullptr;
    TstSpeedButton *BHold = nullptr;
    TSweepPlot *Plot = nullptr;
    TCGauge *Progress = nullptr;
    QLabel *LStatus = nullptr;
    TstSpeedButton *BStart = nullptr;
    TstSpeedButton *BStop = nullptr;
    TstSpeedButton *BOk = nullptr;
    TstSpeedButton *BCancel = nullptr;

    TSweepEngine engine_;
    TSweepSettings settings_;
    TInstrument instrument_;
    TTableEnds ends_ = TTableEnds::teNotSet;
    std::vector<std::uint64_t> points_;
    std::size_t current_ = 0;
    TBeginPoint begin_;
    TStorePoint store_;
    TNotSaved notSaved_;
    bool listMode_ = false;
    bool listDone_ = false; // the sweep of every point has ended
    TDbmTable table_{};
    TSweepOutcome outcome_;
    bool complete_ = false;
    bool closePending_ = false;
    TSweepSummary summary_;
};
