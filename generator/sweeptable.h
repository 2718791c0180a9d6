// Turns the (level, RAW) readings of a sweep into translation table values.
//
// Readings are taken in the order of rising level. A reading below the
// highest one before it does not rise with the level and is left out. Equal
// readings in a row are one RAW value seen over several levels: their levels
// are averaged, except at the ends of the sweep, where a RAW that stays put is
// the noise floor (the lowest readings) or overload (the highest): of those
// only the level nearest to the working range is kept (the last step of the
// floor, the first of the top) and the others are left out. Every RAW value
// between the lowest and the highest kept one gets its level by linear
// interpolation between its kept neighbours, rounded to tenths of a dB (a
// half goes up) and limited to -140..0; the rest of the table stays as it was.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

struct TSweepReading {
    double Level; // dBm at the receiver (the generator's level minus the loss)
    std::uint8_t Raw;
};

struct TSweepOutcome {
    bool Valid = false; // at least two different RAW values were kept
    int LowRaw = 0;     // the range of table entries written
    int HighRaw = 0;
    int LeftOut = 0; // readings left out
};

// Writes the interpolated range into `table` when the outcome is valid; an
// invalid outcome leaves the table untouched.
TSweepOutcome ApplySweep(const std::vector<TSweepReading> &readings,
                         std::array<double, 256> &table);
