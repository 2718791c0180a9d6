// The results of a verification run: a calibrated set checked against known
// signals. At each frequency point the generator steps through a list of
// levels; at each level the run records what reached the receiver (the
// generator level minus the loss), the median live RAW reading and the dBm
// the open set gives for that RAW. The error is the shown value minus the
// applied one; a level passes when the error is within the tolerance. A RAW
// whose table entry is not set has no calibration and always fails.
#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

struct TVerifyReading {
    double Level = 0.0;   // the generator's level, dBm
    double Applied = 0.0; // at the receiver: Level minus the loss, dBm
    int Raw = 0;          // the median live RAW reading
    // The set's dBm for Raw; none when that entry is not set.
    std::optional<double> Shown;

    // Shown minus Applied; NaN without calibration.
    double Error() const;
};

struct TVerifyPoint {
    std::uint64_t Hz = 0;
    std::vector<TVerifyReading> Readings; // in the order of the level list
};

struct TVerification {
    static constexpr double kDefaultTolerance = 1.0;

    double Tolerance = kDefaultTolerance; // dB either way
    double Loss = 0.0;                    // dB between generator and receiver
    std::vector<double> Levels;           // the generator levels, dBm
    QString Identity;                     // the generator's answer to its identification
    std::vector<TVerifyPoint> Points;
    // Every level of every point was recorded.
    bool Complete = false;

    // Within the tolerance (a hair of rounding allowed, so that an error
    // shown as "1.0" passes a tolerance of 1.0); never without calibration.
    bool Passes(const TVerifyReading &reading) const;
    int ReadingCount() const;
    int FailureCount() const;
    // Complete, with at least one reading, and no failure.
    bool Passed() const;
    // The error farthest from 0 among the calibrated readings.
    std::optional<double> WorstError() const;
    // "PASS" or "FAIL" with the tolerance: "PASS (tolerance ±1.0 dB)";
    // "INCOMPLETE" for a run that did not record every level.
    QString VerdictText() const;
};

namespace Verification {

// The default level list: -120 to -30 dBm in 10 dB steps.
std::vector<double> DefaultLevels();
// "-120:-30:10" (from, to, step; the step's sign follows the direction) or a
// list of levels separated by commas, semicolons or blanks, C number form.
// False with `error` for anything else, an empty list or more than 1000.
bool ParseLevels(const QString &text, std::vector<double> &levels, QString &error);
// The list as the level field shows it: "-120:-30:10" when it is such a
// range, else the levels separated by ", ".
QString LevelsText(const std::vector<double> &levels);

// Error in dB with its sign and one decimal ("+0.3", "-1.2", "0.0"), or
// "no calibration".
QString ErrorText(const TVerifyReading &reading);

// The results as CSV: a header line, then one line per reading with the
// frequency in Hz, generator level, applied level, RAW, shown dBm (empty
// without calibration), error, "pass" or "fail" and the tolerance.
QByteArray Csv(const TVerification &verification);

} // namespace Verification
