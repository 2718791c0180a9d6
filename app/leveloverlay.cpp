#include "app/leveloverlay.h"

#include "calibration/caldocument.h"
#include "receiver/receiverconnection.h"

#include <QLocale>

TLevelOverlay::TLevelOverlay(const TReceiverConnection &receiver, const TCalDocument &document,
                             QObject *parent)
    : QObject(parent), receiver_(receiver), document_(document) {}

QString TLevelOverlay::Text() const {
    return QLocale().toString(dbm_, 'f', 1) + QStringLiteral(" dBm");
}

void TLevelOverlay::Update(std::uint8_t raw) {
    const std::optional<double> dbm = document_.Dbm(Smsdk::CalibrationMode(receiver_.CurrentMode()),
                                                    receiver_.TunedFrequency(), raw);
    // 0.0 is the not-set value, not a reading of 0 dBm.
    shown_ = dbm.has_value() && *dbm != 0.0;
    if (shown_) dbm_ = *dbm;
}

void TLevelOverlay::Hide() {
    if (!shown_) return;
    shown_ = false;
    emit Changed();
}
