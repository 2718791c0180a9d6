// TSweepForm: the automatic calibration window. A signal generator on the LAN
// (or the simulated one) is stepped through a level range while the live RAW
// value is read; the readings become the translation table of the point.
//
// One point (the table editor): SweepPoint(); Start sweeps; once a sweep is
// complete, OK ends the run and hands back the point's table with the swept
// range replaced. Stop, Cancel or a failure leave nothing to apply.
//
// Every point (the main window): SweepPoints() with the hooks that tune the
// receiver and read a point's table, and store a swept table; each finished
// point is stored at once, so a Stop or a failure keeps the points done. The
// end shows a summary.
//
// The generator's output goes off at the end, on Stop, on a failure and when
// the window closes (which waits for that without blocking).
#pragma once

#include "calibration/smsdk.h"
#include "controls/stform.h"
#include "generator/sweepengine.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

class TCGauge;
class TstAlignEdit;
class TSweepPlot;

class TSweepForm : public TstForm {
    Q_OBJECT
public:
    static constexpr int kWidth = 520;
    static constexpr int kHeight = 330;

    // Reads a point's table before it is swept (tuning the receiver to it);
    // false ends the sweep of every point.
    using TBeginPoint = std::function<bool(std::uint64_t hz, TDbmTable &table)>;
    // Stores a swept table; false ends the sweep of every point.
    using TStorePoint = std::function<bool(std::uint64_t hz, const TDbmTable &table)>;

    explicit TSweepForm(QWidget *parent = nullptr);

    // One point, starting from its present table: the modal run, and the
    // table after a complete sweep and OK, or nothing.
    std::optional<TDbmTable> SweepPoint(std::uint64_t hz, const TDbmTable &table);
    // Every point, in order: the modal run.
    void SweepPoints(const std::vector<std::uint64_t> &points, TBeginPoint begin,
                     TStorePoint store);

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

    void LoadSettings();
    void SaveSettings(const TSweepSettings &settings);
    void StartPoint();
    void StepDone(int index, int count, double level, int raw);
    void Finished(bool completed, const QString &error);
    void EndOfList(const QString &error);
    void UpdateButtons();
    QString PointText() const;

    TstAlignEdit *EAddress = nullptr;
    TstAlignEdit *EPort = nullptr;
    TstSpeedButton *BPow = nullptr;
    TstSpeedButton *BLev = nullptr;
    TstAlignEdit *ELoss = nullptr;
    TstAlignEdit *EFrom = nullptr;
    TstAlignEdit *ETo = nullptr;
    TstAlignEdit *EStep = nullptr;
    TstAlignEdit *ESettle = nullptr;
    TstAlignEdit *EReadings = nullptr;
    TSweepPlot *Plot = nullptr;
    TstPanel *GaugePanel = nullptr;
    TCGauge *Progress = nullptr;
    TmyLabel *LStatus = nullptr;
    TstSpeedButton *BStart = nullptr;
    TstSpeedButton *BStop = nullptr;
    TstSpeedButton *BOk = nullptr;
    TstSpeedButton *BCancel = nullptr;

    TSweepEngine engine_;
    TSweepSettings settings_;
    std::vector<std::uint64_t> points_;
    std::size_t current_ = 0;
    TBeginPoint begin_;
    TStorePoint store_;
    bool listMode_ = false;
    TDbmTable table_{};
    TSweepOutcome outcome_;
    bool complete_ = false;
    bool closePending_ = false;
    QStringList summary_;
};
