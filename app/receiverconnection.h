// The one receiver connection of the main window, without any widget: the
// receiver API binding, the device list, the demodulator module with its
// host callback, opening and closing a receiver with the values saved per
// serial ("Mode (serial)", "Frequency (serial)"), tuning, and the readings
// the live level asks for.
//
// Opening runs in two steps so that the window can embed the module's window
// between them: Open() does everything up to the module's start and answers
// false after showing the failure's message; Activate() then tells the
// started module its activation, options, saved mode and the tuned frequency.
// The module's mode reports and spectra leave as Qt signals.
#pragma once

#include "app/spectrumlevel.h"
#include "receiver/k74xapi.h"
#include "receiver/qmvhost.h"
#include "receiver/qmvmodule.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

class QSettings;
class QWidget;

// One listed receiver.
struct TDeviceEntry {
    QString Model;     // always "ZX-K740"
    QString Interface; // "USB" or "PCI"
    QString Serial;    // empty for the demo receiver
    bool Opened = false;
};

class TReceiverConnection : public QObject, private QmvHostClient {
    Q_OBJECT
public:
    explicit TReceiverConnection(QObject *parent = nullptr);
    ~TReceiverConnection() override;

    // Binds the receiver API library (false: not found or incomplete).
    bool Bind();
    // Starts answering the module's callback for the window `hostWindow`,
    // keeping the per-receiver values under `key` (which must outlive Stop()).
    void Start(std::intptr_t hostWindow, QSettings *key);
    // From here on the module's callback is answered 0.
    void Stop();
    // Program end: qmvPluginDone, then the module is unloaded.
    void FinishModule();

    // The device list, as the receiver API lists it.
    void ReadDevices();
    void FreeDevices();
    const std::vector<std::unique_ptr<TDeviceEntry>> &Devices() const { return devices_; }
    const TDeviceEntry *OpenedEntry() const { return openedEntry_; }

    // Opens a listed receiver up to the module's start (see above). Every
    // failure shows its message in a box owned by `owner`, releases what the
    // attempt took and answers false.
    bool Open(TDeviceEntry &entry, QWidget *owner);
    void Activate();
    // Closes the open receiver (its mode and frequency saved), stops the
    // module and frees its record. Answers whether a receiver was open.
    bool Close();

    // Tunes to `hz` and tells the module the frequency the receiver took.
    void Tune(std::uint64_t hz);
    // The frequency the receiver reported at the last tuning.
    std::uint64_t TunedFrequency() const { return tunedHz_; }
    // The receiver's frequency range (valid while open).
    std::uint32_t Lowest() const { return lowest_; }
    std::uint32_t Highest() const { return highest_; }

    // The receiver's own RAW reading (wide FM).
    std::int32_t ReadRawSignalStrength() const;
    // The AGC reading for a spectrum (a fixed value for the demo receiver).
    std::int32_t ReadAgc() const;

    bool IsOpen() const { return handle_ > 0; }
    std::int32_t Handle() const { return handle_; }
    std::int32_t CurrentMode() const { return currentMode_; }
    std::int32_t PassbandWidth() const { return passbandWidth_; }
    std::int32_t PassbandOffset() const { return passbandOffset_; }
    const spectrumlevel::LevelConstants &LevelConstants() const { return levelConstants_; }
    bool IsDemo() const { return demo_; }
    QString ReceiverName() const { return receiverName_; }
    std::intptr_t ModuleWindow() const { return host_ ? host_->moduleWindow() : 0; }
    QmvModule &Module() { return module_; }

signals:
    // A mode report that changed the current mode; rebuildPointList is set
    // when it crosses between wide FM and the other modes.
    void ModeChanged(std::int32_t mode, bool rebuildPointList);
    // A spectrum of the module (the data are valid during the call only).
    void SpectrumReceived(std::uint32_t span, std::int64_t byteCount, const void *data);

private:
    void Notify(std::int32_t message, std::intptr_t value1);

    // QmvHostClient.
    std::intptr_t hostWindowHandle() const override { return hostWindow_; }
    std::int32_t currentMode() const override { return currentMode_; }
    void setCurrentMode(std::int32_t mode, bool rebuildPointList) override;
    void setPassbandWidth(std::int32_t width) override { passbandWidth_ = width; }
    void setPassbandOffset(std::int32_t offset) override { passbandOffset_ = offset; }
    void spectrumReceived(std::uint32_t span, std::uint32_t byteCount, const void *data) override;

    K74xapi api_;
    QmvModule module_;
    std::unique_ptr<QmvHost> host_;
    std::intptr_t hostWindow_ = 0;
    QSettings *key_ = nullptr;

    std::vector<std::unique_ptr<TDeviceEntry>> devices_;
    TDeviceEntry *openedEntry_ = nullptr;
    std::int32_t handle_ = 0;
    QString serial_;
    bool demo_ = false;
    std::uint32_t lowest_ = 0;
    std::uint32_t highest_ = 0;
    std::uint32_t tunedWord_ = 0;
    std::uint64_t tunedHz_ = 0;
    spectrumlevel::LevelConstants levelConstants_;
    QString receiverName_;
    std::int32_t currentMode_ = -1;
    std::int32_t passbandWidth_ = 0;
    std::int32_t passbandOffset_ = 0;
};
