// The live signal level of the open receiver: the RAW value from each of the
// module's spectra (every mode but wide FM) or from the receiver's own
// reading at each timer tick (wide FM), and the dBm that the open
// calibration set gives for it (the overlay over the gauge).
//
// Each measured RAW value is published as RawChanged; the gauge and the table
// editor's live marker connect to it. The overlay is settled before the
// signal, so a gauge repainting on it shows the new text.
#pragma once

#include <QObject>
#include <QString>

#include <cstdint>

class TCalDocument;
class TReceiverConnection;

class TLiveLevel : public QObject {
    Q_OBJECT
public:
    TLiveLevel(TReceiverConnection &receiver, const TCalDocument &document,
               QObject *parent = nullptr);

    // The module's spectrum message.
    void Spectrum(std::uint32_t span, std::int64_t byteCount, const void *data);
    // The level timer's tick: polls the receiver in wide FM, and without a
    // receiver takes the overlay away.
    void Poll();

    bool OverlayShown() const { return overlayShown_; }
    double OverlayDbm() const { return overlayDbm_; }
    // "-50.5 dBm" (one decimal, the locale's separator).
    QString OverlayText() const;
    // Shows or hides the overlay; OverlayChanged on a change.
    void SetOverlay(bool on);

signals:
    void RawChanged(std::uint8_t raw);
    // The overlay changed without a new RAW value.
    void OverlayChanged();

private:
    void LookupOverlay(std::int32_t mode, std::uint8_t raw);

    TReceiverConnection &receiver_;
    const TCalDocument &document_;
    bool overlayShown_ = false;
    double overlayDbm_ = 0.0;
};
