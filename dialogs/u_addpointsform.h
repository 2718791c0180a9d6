// TAddPointsForm: "Add points…", many frequency points at once. The operator
// chooses a plan (calibration/frequencyplan):
//   Range       From, To and Step: From, From + Step, ... up to To;
//   Per decade  From, To and a number of points per decade;
//   List        frequencies typed or pasted, with units ("3.6M, 7.1M, 14.2 MHz").
// A preview says how many points the plan adds and names those already in
// the list, which are skipped. OK with a plan that does not fit (the first
// bad entry named) or with nothing new is refused in the standard error box
// and the window stays open.
//
// Run() shows it modally and answers the new frequencies in hertz (sorted,
// cut to tens of hertz where the receiver tunes so), or nothing when it was
// cancelled. The fields keep their values from one run to the next.
#pragma once

#include "calibration/frequencyplan.h"
#include "controls/stform.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

class QPlainTextEdit;
class TmyFrequencyEdit;
class TmyIntEdit;
class QLabel;
class TmyLabel;
class TstSpeedButton;

class TAddPointsForm : public TstForm {
    Q_OBJECT
public:
    enum class TPlanKind { pkRange, pkPerDecade, pkList };

    explicit TAddPointsForm(QWidget *parent = nullptr);

    // The points to add: `limits` is the receiver's range, `exists` tells
    // the points the list holds, `tuned` starts the fields on the first run.
    std::optional<std::vector<std::uint64_t>> Run(const FrequencyPlan::TLimits &limits,
                                                  std::function<bool(std::uint64_t)> exists,
                                                  std::uint64_t tuned);

    TPlanKind Kind() const { return kind_; }

private:
    void SetKind(TPlanKind kind);
    FrequencyPlan::TPlan Plan() const;
    void UpdatePreview();
    void BOKClick();

    TstSpeedButton *bRange_ = nullptr;
    TstSpeedButton *bPerDecade_ = nullptr;
    TstSpeedButton *bList_ = nullptr;
    TmyLabel *lFrom_ = nullptr;
    TmyLabel *lTo_ = nullptr;
    TmyLabel *lStep_ = nullptr;
    TmyLabel *lPerDecade_ = nullptr;
    TmyFrequencyEdit *eFrom_ = nullptr;
    TmyFrequencyEdit *eTo_ = nullptr;
    TmyFrequencyEdit *eStep_ = nullptr;
    TmyIntEdit *ePerDecade_ = nullptr;
    QPlainTextEdit *eList_ = nullptr;
    QLabel *lPreview_ = nullptr;

    TPlanKind kind_ = TPlanKind::pkRange;
    FrequencyPlan::TLimits limits_;
    std::function<bool(std::uint64_t)> exists_;
    bool firstRun_ = true;
    std::vector<std::uint64_t> result_;
};
