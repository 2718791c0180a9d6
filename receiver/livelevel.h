// The live signal level of the open receiver as a RAW value: from each of the
// module's spectra (every mode but wide FM) or from the receiver's own
// reading at each timer tick (wide FM). Each measured value is published as
// RawChanged; the main window's gauge and dBm overlay, the table editor's
// live marker and the sweep connect to it, and so can a program without
// windows.
#pragma once

#include <QObject>

#include <cstdint>

class TReceiverConnection;

class TLiveLevel : public QObject {
    Q_OBJECT
public:
    // Takes the receiver's spectra from here on (SpectrumReceived).
    explicit TLiveLevel(TReceiverConnection &receiver, QObject *parent = nullptr);

    // The module's spectrum message.
    void Spectrum(std::uint32_t span, std::int64_t byteCount, const void *data);
    // The level timer's tick (300 ms in the main window): reads the open
    // receiver's own RAW value in wide FM; otherwise nothing.
    void Poll();

signals:
    void RawChanged(std::uint8_t raw);

private:
    TReceiverConnection &receiver_;
};
