// The module's window, the operator's view of the receiver: the passband
// spectrum, the demodulation modes as buttons, passband width and shift, and
// the bench signal generator. It only shows and edits; DemodSession decides.
#pragma once

#include "k740demod.h"

#include <QWidget>

#include <cstdint>

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QDoubleSpinBox;
class QGroupBox;
class QLabel;
class QSpinBox;
class SpectrumView;

class DemodWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr int Width = 476;
    static constexpr int Height = 199;
    static constexpr int ModeCount = QMV_MODE_COUNT;

    explicit DemodWindow(QWidget *parent = nullptr);

    // The short name and the full text of a mode code 0..7.
    static QString ModeName(int mode);
    static QString ModeText(int mode);

    SpectrumView *spectrum() const { return spectrum_; }

    // Shown values; setting them emits nothing.
    void showMode(int mode);
    void showWidth(std::int32_t hz);
    void showOffset(std::int32_t hz);
    void showReceiver(const QString &text);
    void showGenerator(bool on, std::uint64_t hz, double dbm);
    void setGeneratorRange(std::uint64_t lowestHz, std::uint64_t highestHz);
    // Where the generator's remote control listens: the SCPI socket's port
    // (0: it does not), the LAN-GPIB adapter's port (0: none) and the USB-GPIB
    // adapter's serial port (empty: none).
    void showRemoteAddresses(int scpiPort, int adapterPort, const QString &serialPath);

    // The controls, for the operator's hand and for tests.
    QAbstractButton *modeButton(int mode) const;
    QSpinBox *widthBox() const { return width_; }
    QSpinBox *offsetBox() const { return offset_; }
    QCheckBox *generatorOnBox() const { return generatorOn_; }
    QDoubleSpinBox *generatorLevelBox() const { return generatorLevel_; }
    QDoubleSpinBox *generatorFrequencyBox() const { return generatorMHz_; }
    QAbstractButton *toPassbandButton() const { return toPassband_; }
    QLabel *remoteAddressLabel() const { return remote_; }
    QLabel *adapterAddressLabel() const { return adapters_; }

signals:
    void modeChosen(int mode);
    void widthChosen(std::int32_t hz);
    void offsetChosen(std::int32_t hz);
    void generatorChosen(bool on, std::uint64_t hz, double dbm);
    void generatorToPassband();

private:
    void emitGenerator();
    // The adapters' line sits on the generator group's caption line, between
    // the caption and the SCPI address; where that is depends on the font.
    void placeAdapterLine();

    SpectrumView *spectrum_;
    QButtonGroup *modes_;
    QSpinBox *width_;
    QSpinBox *offset_;
    QLabel *receiver_;
    QCheckBox *generatorOn_;
    QDoubleSpinBox *generatorLevel_;
    QDoubleSpinBox *generatorMHz_;
    QAbstractButton *toPassband_;
    QGroupBox *generator_ = nullptr;
    QLabel *remote_ = nullptr;
    QLabel *adapters_ = nullptr;
};
