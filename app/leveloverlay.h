// The dBm text over the main window's gauge: what the open calibration set
// gives for the live RAW value at the tuned frequency, in the calibration
// mode of the current mode. Without a set, for a point the set lacks, or for
// an entry that is not set (0.0: it holds no calibration), there is no text.
#pragma once

#include <QObject>
#include <QString>

#include <cstdint>

class TCalDocument;
class TReceiverConnection;

class TLevelOverlay : public QObject {
    Q_OBJECT
public:
    TLevelOverlay(const TReceiverConnection &receiver, const TCalDocument &document,
                  QObject *parent = nullptr);

    // Looks the text up for a new RAW value (the caller repaints with it).
    void Update(std::uint8_t raw);
    // Takes the text away; Changed when it was shown.
    void Hide();

    bool Shown() const { return shown_; }
    double Dbm() const { return dbm_; }
    // "-50.5 dBm" (one decimal, the locale's separator).
    QString Text() const;

signals:
    // The overlay went without a new RAW value.
    void Changed();

private:
    const TReceiverConnection &receiver_;
    const TCalDocument &document_;
    bool shown_ = false;
    double dbm_ = 0.0;
};
