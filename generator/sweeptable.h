// Turns the (level, RAW) readings of a sweep into translation table values.
//
// Readings are put in the order of rising level first (adaptive steps take
// them out of order). A reading below the highest one before it does not rise
// with the level and is left out. Equal readings in a row are one RAW value
// seen over several levels: their levels are averaged, except at the ends of
// the sweep, where a RAW that stays put is the noise floor (the lowest
// readings) or overload (the highest): of those only the level nearest to the
// working range is kept (the last step of the floor, the first of the top)
// and the others are left out. Every RAW value between the lowest and the
// highest kept one gets its level by linear interpolation between its kept
// neighbours, rounded to tenths of a dB (a half goes up) and limited to
// -140..0.
//
// The entries below the lowest and above the highest recorded RAW were not
// measured; the table ends choice says what they become.
#pragma once

#include <QString>

#include <array>
#include <cstdint>
#include <vector>

struct TSweepReading {
    double Level; // dBm at the receiver (the generator's level minus the loss)
    std::uint8_t Raw;
};

// What happens to the entries outside the recorded RAW range.
enum class TTableEnds {
    teNotSet, // 0.0, the not-set value: the table says only what was measured
    teKeep,   // left as they were
    teHold,   // the value of the nearest recorded entry
};

struct TSweepOutcome {
    bool Valid = false; // at least two different RAW values were kept
    int LowRaw = 0;     // the range of table entries written
    int HighRaw = 0;
    int LeftOut = 0; // readings left out
    TTableEnds Ends = TTableEnds::teNotSet;
    // The entries outside the range: LowRaw of them below, 255 - HighRaw above.
    int Below() const { return Valid ? LowRaw : 0; }
    int Above() const { return Valid ? 255 - HighRaw : 0; }
};

// Writes the interpolated range, and the ends as `ends` says, into `table`
// when the outcome is valid; an invalid outcome leaves the table untouched.
TSweepOutcome ApplySweep(const std::vector<TSweepReading> &readings, std::array<double, 256> &table,
                         TTableEnds ends = TTableEnds::teNotSet);

// "RAW 21 to 254; 21 entries below not set, 1 above not set": the range
// written and what became of the entries at each end.
QString OutcomeText(const TSweepOutcome &outcome);

// The choices' names as the window and k740cal show them: "not set",
// "keep as they were", "hold the end value".
QString TableEndsName(TTableEnds ends);
