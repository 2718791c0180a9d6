// The passband spectrum of the module's window: input level in dBm over the
// span, the passband window shaded. The grid is drawn once into a pixmap at
// the screen's resolution; each new spectrum only repaints the trace over it.
#pragma once

#include <QPixmap>
#include <QWidget>

#include <cstdint>
#include <vector>

class SpectrumView : public QWidget {
    Q_OBJECT
public:
    static constexpr double TopDbm = -20.0;
    static constexpr double BottomDbm = -160.0;

    explicit SpectrumView(QWidget *parent = nullptr);

    // Levels in dBm of equal bins over spanHz, centred on the tuned frequency.
    void setSpectrum(const std::vector<float> &levelsDbm, std::uint32_t spanHz);
    // The passband window relative to the tuned frequency, Hz.
    void setPassband(std::int32_t lowHz, std::int32_t highHz);
    void setCaption(const QString &left, const QString &right);

    const std::vector<float> &levels() const { return levels_; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void drawGrid(qreal ratio);
    double xOfHz(double hz) const; // hz relative to the tuned frequency
    double yOfDbm(double dbm) const;

    QPixmap grid_;
    std::vector<float> levels_;
    std::uint32_t span_ = 24000;
    std::int32_t passLow_ = -1500, passHigh_ = 1500;
    QString captionLeft_, captionRight_;
};
