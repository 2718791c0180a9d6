#include "app/dbmlookup.h"

#include <cstring>

std::optional<double> LookupDbm(GetCSFunction getCS, std::int32_t cal, const QByteArray &receiver,
                                std::int32_t mode, std::uint64_t frequency, std::uint8_t raw) {
    if (!getCS) return std::nullopt;
    // The calibration structure: size (33, little-endian), RAW, then the dBm
    // double the library fills; the rest is the library's.
    unsigned char cs[33] = {33, 0, 0, 0, raw};
    const std::int32_t result = getCS(cal, receiver.constData(), mode, frequency, cs);
    if ((result & 0xFF) != 0xFF) return std::nullopt;
    double dbm = 0;
    std::memcpy(&dbm, cs + 5, sizeof dbm);
    return dbm;
}
