#include "app/livelevel.h"

#include "app/caldocument.h"
#include "app/receiverconnection.h"
#include "app/spectrumlevel.h"

#include <QLocale>

#include <algorithm>

TLiveLevel::TLiveLevel(TReceiverConnection &receiver, const TCalDocument &document, QObject *parent)
    : QObject(parent), receiver_(receiver), document_(document) {}

QString TLiveLevel::OverlayText() const {
    return QLocale().toString(overlayDbm_, 'f', 1) + QStringLiteral(" dBm");
}

void TLiveLevel::SetOverlay(bool on) {
    if (overlayShown_ == on) return;
    overlayShown_ = on;
    emit OverlayChanged();
}

void TLiveLevel::LookupOverlay(std::int32_t mode, std::uint8_t raw) {
    const std::optional<double> dbm = document_.Dbm(mode, receiver_.TunedFrequency(), raw);
    if (dbm) overlayDbm_ = *dbm;
    overlayShown_ = dbm.has_value();
}

void TLiveLevel::Poll() {
    if (!receiver_.IsOpen()) {
        // Cleared before the repaint, so that the text really goes.
        SetOverlay(false);
        return;
    }
    if (receiver_.CurrentMode() != spectrumlevel::kModeWideFm) return;
    const auto raw = std::uint8_t(std::clamp(receiver_.ReadRawSignalStrength(), 0, 255));
    if (document_.IsLoaded()) LookupOverlay(spectrumlevel::kModeWideFm, raw);
    emit RawChanged(raw);
}

void TLiveLevel::Spectrum(std::uint32_t span, std::int64_t byteCount, const void *data) {
    const std::int32_t mode = receiver_.CurrentMode();
    if (byteCount == 0 || mode == spectrumlevel::kModeWideFm) return;
    double peakDb = 0;
    if (!spectrumlevel::SpectrumPeakDb({span, byteCount, static_cast<const float *>(data)}, mode,
                                       receiver_.PassbandWidth(), receiver_.PassbandOffset(),
                                       peakDb))
        return;
    const std::int32_t agc = receiver_.ReadAgc();
    const std::uint8_t raw = spectrumlevel::RawFromPeak(peakDb, agc, receiver_.LevelConstants());
    if (document_.IsLoaded())
        LookupOverlay(Smsdk::kDefaultMode, raw);
    else
        overlayShown_ = false;
    emit RawChanged(raw);
}
