// Frequency plans: many frequency points at once, as "Add points…" and
// `k740cal calibrate --points` take them.
//
// A plan text is a list of entries separated by commas, semicolons, blanks,
// tabs or line ends (so a column pasted from a spreadsheet is a list):
//
//     plan      = entry { separator entry }
//     entry     = frequency                       one point
//               | frequency ".." frequency "/" frequency
//                                                 a linear range: FROM, FROM + STEP,
//                                                 ... up to TO (TO itself when it lies
//                                                 on the grid)
//               | frequency ".." frequency "/" count ( "dec" | "decade" )
//                                                 COUNT points per decade: FROM, then
//                                                 FROM x 10^(k / COUNT) rounded to three
//                                                 significant digits, up to TO
//     frequency = number [ blanks ] [ unit ]
//     number    = digits [ "." digits ] | "." digits     (the decimal point is "."; a
//                                                 comma always separates entries)
//     unit      = "Hz" | "k" | "kHz" | "M" | "MHz" | "G" | "GHz"   (any case)
//
// Blanks may stand around ".." and "/". A number without a unit counts hertz
// and must be whole ("7100000"); with a unit the value must still come to a
// whole number of hertz ("7.1M", "14.2 MHz", "3.6m"). COUNT is 1 to 100.
//
// Examples: "3.6M, 7.1M, 14.2 MHz"; "7M..7.3M/50k" (7.00, 7.05, ... 7.30 MHz);
// "1M..10M/10dec" (1, 1.26, 1.58, 2, 2.51, ... 7.94, 10 MHz).
//
// Every frequency must lie within the limits (the receiver's range). Above
// 2,147,000,000 Hz a receiver is tuned in whole tens of hertz, so such
// frequencies are cut down to tens of hertz, as the add-frequency dialog
// does. The result is sorted and free of repeats.
//
// A text that does not fit is refused as a whole, with the number of the
// first bad entry, its character position (both from 1) and why.
#pragma once

#include <QString>

#include <cstdint>
#include <functional>
#include <vector>

namespace FrequencyPlan {

// Above this a receiver is tuned in whole tens of hertz.
constexpr std::uint64_t kTenHertzTuning = 2'147'000'000;
// More points than this in one plan are refused.
constexpr int kMaxPoints = 10000;
constexpr int kMaxPerDecade = 100;

struct TLimits {
    std::uint64_t Lowest = 1;
    // The highest frequency a frequency word can carry (31 bits of 10 Hz).
    std::uint64_t Highest = 0x7FFFFFFFull * 10;
};

struct TError {
    int Entry = 0;    // 1 for the first entry; 0 when there is no entry at all
    int Position = 0; // character of the text where that entry starts, from 1
    QString Message;  // "Entry 3 (character 12): ..." ready for the operator
};

struct TPlan {
    std::vector<std::uint64_t> Frequencies; // sorted, no repeats; empty on an error
    bool Ok = false;
    TError Error;
};

// The frequency a receiver is really tuned to for `hz`: cut to whole tens of
// hertz above kTenHertzTuning.
std::uint64_t TunableFrequency(std::uint64_t hz);

// One frequency ("7.1M", "14.2 MHz", "7100000") and nothing else; false when
// the text is not one, or not a whole number of hertz.
bool ParseFrequency(const QString &text, std::uint64_t &hz);

// A whole plan text as described above.
TPlan Parse(const QString &text, const TLimits &limits = {});

// The same plans built from numbers, as a window's fields give them.
TPlan LinearRange(std::uint64_t from, std::uint64_t to, std::uint64_t step,
                  const TLimits &limits = {});
TPlan PerDecade(std::uint64_t from, std::uint64_t to, int perDecade, const TLimits &limits = {});

// A plan's frequencies split into those `exists` does not know and those it does.
struct TSplit {
    std::vector<std::uint64_t> New;
    std::vector<std::uint64_t> Existing;
};
TSplit SplitExisting(const std::vector<std::uint64_t> &plan,
                     const std::function<bool(std::uint64_t)> &exists);

} // namespace FrequencyPlan
