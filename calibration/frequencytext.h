// The frequency text shown wherever a frequency is: "1799 Hz", "1.8 kHz",
// "145.5 MHz", "2 GHz" (the locale's decimal separator, no group separator).
#pragma once

#include <QString>

#include <cstdint>

QString FrequencyText(std::uint64_t hz);
