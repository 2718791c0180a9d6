// The frequency text: how every window writes a frequency point ("1799 Hz",
// "1.8 kHz", "145.5 MHz", "2 GHz").
#pragma once

#include <QString>

#include <cstdint>

// The frequency divided by 1000 while it is 1800 or more, at most three
// times, as the shortest decimal of up to 15 significant digits with the
// locale's decimal separator and no group separator, a blank and the unit.
QString FrequencyText(std::uint64_t hz);
