// The dBm that the open calibration set gives for a live RAW value.
#pragma once

#include <QByteArray>

#include <cstdint>
#include <optional>

// The calibration library's GetCS entry point.
using GetCSFunction = std::int32_t (*)(std::int32_t cal, const char *receiver, std::int32_t mode,
                                       std::uint64_t frequency, void *cs);

// Asks the set for the table value of `raw` at a point; nothing when the
// library refuses (point, mode or receiver missing, ...). Shows no message.
std::optional<double> LookupDbm(GetCSFunction getCS, std::int32_t cal, const QByteArray &receiver,
                                std::int32_t mode, std::uint64_t frequency, std::uint8_t raw);
