// The one receiver connection of a program, without any widget: the
// receiver API binding, the device list, the demodulator module with its
// host callback, opening and closing a receiver with the values saved per
// serial ("Mode (serial)", "Frequency (serial)"), tuning, and the readings
// the live level asks for. The module's mode reports and spectra leave as Qt
// signals.
//
// Opening runs in two steps so that a window can embed the module's window
// between them: Open() does everything up to the module's start and answers
// the failure's message, which the caller shows or prints; Activate() then
// tells the started module its activation, options, saved mode and the
// tuned frequency.
//
// The host window. The main window passes its own handle to Start(), and
// embeds the module's window (ModuleWindow()) before Activate(). A program
// without windows passes 0, a null host window, and leaves the module's
// window alone: the module takes the host handle only as an argument that it
// may pass back, the callback's window check is made against the module's
// window, not the host's, and the stand-in module keeps its window a hidden
// top-level widget until a host re-parents it, so nothing is shown. Such a
// program still needs a QApplication (on the offscreen platform where there
// is no display), since the module builds its window from widgets; and it
// calls TLiveLevel::Poll from a timer of its own for the wide-FM reading.
#pragma once

#include "platform/result.h"
#include "receiver/k74xapi.h"
#include "receiver/qmvhost.h"
#include "receiver/qmvmodule.h"
#include "receiver/spectrumlevel.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

class QSettings;

// One listed receiver.
struct TDeviceEntry {
    QString Model;     // always "ZX-K740"
    QString Interface; // "USB" or "PCI"
    QString Serial;    // empty for the demo receiver
    bool Opened = false;
};

class TReceiverConnection : public QObject, private TQmvHostClient {
    Q_OBJECT
public:
    explicit TReceiverConnection(QObject *parent = nullptr);
    ~TReceiverConnection() override;

    // Binds the receiver API library (false: not found or incomplete).
    bool Bind();
    // Starts answering the module's callback for the host window `hostWindow`
    // (0: none, see above), keeping the per-receiver values under `key`
    // (which must outlive Stop()).
    void Start(std::intptr_t hostWindow, QSettings *key);
    // From here on the module's callback is answered 0.
    void Stop();
    // Program end: qmvPluginDone, then the module is unloaded.
    void FinishModule();

    // The device list, as the receiver API lists it.
    void ReadDevices();
    void FreeDevices();
    const std::vector<std::unique_ptr<TDeviceEntry>> &Devices() const { return devices_; }

    // Opens a listed receiver up to the module's start (see above); only
    // between Start() and Stop(). A failure
    // answers its message ("Unable to open device.", ...); what the attempt
    // took is released when the result goes, after the caller has shown the
    // message.
    platform::TResult Open(TDeviceEntry &entry);
    void Activate();
    // Closes the open receiver (its mode and frequency saved), stops the
    // module and frees its record. Answers whether a receiver was open.
    bool Close();

    // Tunes to `hz` and tells the module the frequency the receiver took.
    void Tune(std::uint64_t hz);
    // The frequency the receiver is tuned to now, read from it (GetFrequency).
    std::uint64_t ReadTunedFrequency() const;
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
    // The mode the module reported last (-1 before its first report).
    std::int32_t CurrentMode() const override { return currentMode_; }
    std::int32_t PassbandWidth() const { return passbandWidth_; }
    std::int32_t PassbandOffset() const { return passbandOffset_; }
    const SpectrumLevel::LevelConstants &LevelConstants() const { return levelConstants_; }
    bool IsDemo() const { return demo_; }
    QString ReceiverName() const { return receiverName_; }
    std::intptr_t ModuleWindow() const { return host_ ? host_->ModuleWindow() : 0; }

signals:
    // A mode report that changed the current mode; rebuildPointList is set
    // when it crosses between wide FM and the other modes.
    void ModeChanged(std::int32_t mode, bool rebuildPointList);
    // A spectrum of the module (the data are valid during the call only).
    void SpectrumReceived(std::uint32_t span, std::int64_t byteCount, const void *data);

private:
    void Notify(std::int32_t message, std::intptr_t value1);

    // TQmvHostClient.
    std::intptr_t HostWindowHandle() const override { return hostWindow_; }
    void SetCurrentMode(std::int32_t mode, bool rebuildPointList) override;
    void SetPassbandWidth(std::int32_t width) override { passbandWidth_ = width; }
    void SetPassbandOffset(std::int32_t offset) override { passbandOffset_ = offset; }
    void DeliverSpectrum(std::uint32_t span, std::uint32_t byteCount, const void *data) override;

    K74xapi api_;
    TQmvModule module_;
    std::unique_ptr<TQmvHost> host_;
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
    SpectrumLevel::LevelConstants levelConstants_;
    QString receiverName_;
    std::int32_t currentMode_ = -1;
    std::int32_t passbandWidth_ = 0;
    std::int32_t passbandOffset_ = 0;
};
