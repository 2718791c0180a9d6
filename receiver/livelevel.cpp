#include "receiver/livelevel.h"

#include "receiver/receiverconnection.h"
#include "receiver/spectrumlevel.h"

#include <algorithm>

TLiveLevel::TLiveLevel(TReceiverConnection &receiver, QObject *parent)
    : QObject(parent), receiver_(receiver) {
    connect(&receiver_, &TReceiverConnection::SpectrumReceived, this, &TLiveLevel::Spectrum);
}

void TLiveLevel::Poll() {
    if (!receiver_.IsOpen() || receiver_.CurrentMode() != QMV_MODE_FM_WIDE) return;
    emit RawChanged(std::uint8_t(std::clamp(receiver_.ReadRawSignalStrength(), 0, 255)));
}

void TLiveLevel::Spectrum(std::uint32_t span, std::int64_t byteCount, const void *data) {
    const std::int32_t mode = receiver_.CurrentMode();
    if (byteCount == 0 || mode == QMV_MODE_FM_WIDE) return;
    double peakDb = 0;
    if (!SpectrumLevel::SpectrumPeakDb({span, byteCount, static_cast<const float *>(data)}, mode,
                                       receiver_.PassbandWidth(), receiver_.PassbandOffset(),
                                       peakDb))
        return;
    const std::int32_t agc = receiver_.ReadAgc();
    emit RawChanged(SpectrumLevel::RawFromPeak(peakDb, agc, receiver_.LevelConstants()));
}
