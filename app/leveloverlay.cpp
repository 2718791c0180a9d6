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
    if (dbm) dbm_ = *dbm;
    shown_ = dbm.has_value();
}

void TLevelOverlay::Hide() {
    if (!shown_) return;
    shown_ = false;
    emit Changed();
}
