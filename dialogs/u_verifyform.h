// TVerifyForm: the verification window. It checks how well the open set
// agrees with known signals: for each point it tunes the receiver, sets the
// generator (as the sweep window has it: link, command set, loss, settle
// time, readings) and steps through the level list; each level's error
// (shown minus applied dBm) goes into a table of points by levels, coloured
// by pass or fail against the tolerance, and into a plot of error over
// level with one curve per point. The results export as CSV.
//
// The run only reads the set. The generator's output goes off at the end,
// on Stop, on a failure and when the window closes (which waits for that
// without blocking).
//
//     form.SetGenerator(factory, "TCPIP0::127.0.0.1::5025::SOCKET, SCPI POWer", loss,
//                       settleMs, readings);
//     form.SetPoints(points, tune, lookup);
//     form.ShowModal();                   // Start, Stop, CSV..., Close
//     const TVerification &results = form.Results();
#pragma once

#include "controls/stform.h"
#include "generator/sweepengine.h"
#include "generator/verifyengine.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class TCGauge;
class TErrorPlotView;
class TmyLabel;
class TmyScrollBar;
class TstAlignEdit;
class TstGrid;
class TstSpeedButton;

class TVerifyForm : public TstForm {
    Q_OBJECT
public:
    // Makes the generator for one run (a fresh link each time).
    using TGeneratorFactory = std::function<std::unique_ptr<TGenerator>()>;

    explicit TVerifyForm(QWidget *parent = nullptr);

    // The generator and the sweep settings the run shares with the sweep
    // window; `link` names them for the operator.
    void SetGenerator(TGeneratorFactory factory, const QString &link, double loss, int settleMs,
                      int readings);
    // The generator as the sweep window keeps it: its instrument (link and
    // command set, made by Instrument::CreateGenerator), the loss, the settle
    // time and the readings per level.
    void SetGenerator(const TSweepSettings &sweep);
    // The points to verify, the hook that tunes the receiver to one and the
    // one that looks a RAW reading up in the open set.
    void SetPoints(const std::vector<std::uint64_t> &points, TVerifyEngine::TTune tune,
                   TVerifyEngine::TLookup lookup);

    // The last run's results (partial while it runs or after a Stop).
    const TVerification &Results() const { return engine_.Result(); }
    bool Running() const { return engine_.Running(); }
    // The link text of the last SetGenerator.
    const QString &Link() const { return link_; }

    // Writes Verification::Csv of the results; false with the reason.
    bool ExportCsv(const QString &path, QString &error) const;

public slots:
    // The live level's RAW reading.
    void SetLiveRaw(std::uint8_t raw) { engine_.AddReading(raw); }

protected:
    bool CloseQuery() override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void BStartClick();
    void BStopClick();
    void BCsvClick();
    bool ReadSettings(TVerifySettings &settings);
    void LoadSettings();
    void SaveSettings(const TVerifySettings &settings);
    void ReadingDone(int point, int level);
    void Finished(bool completed, const QString &error);
    void UpdateButtons();
    // Columns for the level list, rows for the points; the grid emptied.
    void PrepareGrid(const std::vector<double> &levels, double loss);
    void DrawCell(QPainter &canvas, int col, int row, const QRect &rect);

    TVerifyEngine engine_;
    TGeneratorFactory factory_;
    QString link_;
    double loss_ = 0.0;
    int settleMs_ = 150;
    int readings_ = 5;
    std::vector<std::uint64_t> points_;
    TVerifyEngine::TTune tune_;
    TVerifyEngine::TLookup lookup_;
    bool closePending_ = false;

    TstAlignEdit *ELevels = nullptr;
    TstAlignEdit *ETolerance = nullptr;
    TmyLabel *LGenerator = nullptr;
    TmyLabel *LPoints = nullptr;
    TstGrid *Grid = nullptr;
    TmyScrollBar *GridBar = nullptr;
    TErrorPlotView *Plot = nullptr;
    TmyLabel *LStatus = nullptr;
    TCGauge *Progress = nullptr;
    TstSpeedButton *BStart = nullptr;
    TstSpeedButton *BStop = nullptr;
    TstSpeedButton *BCsv = nullptr;
};
