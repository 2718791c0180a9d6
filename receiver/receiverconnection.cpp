#include "receiver/receiverconnection.h"

#include "platform/registry.h"

#include <QSettings>
#include <QThread>

TReceiverConnection::TReceiverConnection(QObject *parent) : QObject(parent) {}

TReceiverConnection::~TReceiverConnection() {
    Stop();
    FreeDevices();
    // Tests and a failed start end without closing the window.
    FinishModule();
}

bool TReceiverConnection::Bind() {
    return api_.Bind();
}

void TReceiverConnection::Start(std::intptr_t hostWindow, QSettings *key) {
    hostWindow_ = hostWindow;
    key_ = key;
    host_ = std::make_unique<TQmvHost>(module_, static_cast<TQmvHostClient &>(*this));
    handle_ = 0;
}

void TReceiverConnection::Stop() {
    host_.reset();
}

void TReceiverConnection::FinishModule() {
    if (module_.IsLoaded()) module_.Finish();
}

void TReceiverConnection::FreeDevices() {
    openedEntry_ = nullptr;
    devices_.clear();
}

void TReceiverConnection::ReadDevices() {
    FreeDevices();
    for (const K74xapi::Description &record : api_.ReadRadioList()) {
        auto entry = std::make_unique<TDeviceEntry>();
        entry->Model = QStringLiteral("ZX-K740");
        entry->Interface = record.IsUsb() ? QStringLiteral("USB") : QStringLiteral("PCI");
        entry->Serial = record.Serial();
        devices_.push_back(std::move(entry));
    }
}

void TReceiverConnection::Notify(std::int32_t message, std::intptr_t value1) {
    module_.Notify(hostWindow_, message, value1, 0, 0);
}

platform::TResult TReceiverConnection::Open(TDeviceEntry &entry) {
    demo_ = entry.Serial.isEmpty();

    const std::optional<QString> located = TQmvModule::Locate();
    if (!module_.IsLoaded() && !located)
        return platform::TResult::Failure(
            QStringLiteral("Unable to find software demodulator K740Demod.qmv."));
    if (!module_.IsLoaded()) {
        if (platform::TResult loaded = module_.Load(*located); !loaded) return loaded;
    }

    const std::int32_t handle = api_.Open(entry.Serial);
    if (handle <= 0) {
        return platform::TResult::Failure(QStringLiteral("Unable to open device."),
                                          [this] { module_.Unload(); });
    }
    QThread::msleep(1);

    K74xapi::Eeprom eeprom{};
    if (!api_.GetEEP(handle, eeprom)) {
        return platform::TResult::Failure(QStringLiteral("Unable to read EEPROM."),
                                          [this, handle] { api_.CloseRadioDevice(handle); });
    }
    levelConstants_ = K74xapi::LevelConstants::FromEeprom(eeprom);

    const K74xapi::Description info = api_.GetInfo(handle);
    host_->SetRecord(TRadioRecord::Build(info.Bytes.data()));

    // A module loaded by an open that then failed at the EEPROM has not been
    // initialised yet; it must be before it is started.
    if (!module_.IsInitialised() && !module_.Initialise()) {
        return platform::TResult::Failure(
            QStringLiteral("Unable to initialize software demodulator."), [this, handle] {
                api_.CloseRadioDevice(handle);
                module_.Unload();
                host_->FreeRecord();
            });
    }

    handle_ = handle;
    api_.SetPower(handle, 1);
    api_.SetAGC(handle, 2);
    api_.SetRFAmp(handle, 1);
    api_.SetFilterVal(handle, -1);
    api_.SetAtten(handle, 0);

    serial_ = info.Serial();
    lowest_ = info.Lowest();
    highest_ = info.Highest();
    const auto saved = platform::ReadInteger(*key_, QStringLiteral("Frequency (%1)").arg(serial_));
    std::uint32_t f = saved ? std::uint32_t(*saved) : lowest_;
    if (f < lowest_)
        f = lowest_;
    else if (f > highest_)
        f = highest_;
    api_.SetFrequency(handle, f);
    tunedWord_ = api_.GetFrequency(handle);
    tunedHz_ = K74xapi::DecodeFrequency(tunedWord_);

    openedEntry_ = &entry;
    entry.Opened = true;

    host_->SetModuleWindow(0);
    std::int32_t startValue = 0;
    const std::intptr_t window =
        module_.Start(hostWindow_, host_->Record() ? host_->Record()->Data() : nullptr,
                      &TQmvHost::Callback, &startValue);
    host_->SetModuleWindow(window);
    receiverName_ = QStringLiteral("ZX-K740");
    return {};
}

void TReceiverConnection::Activate() {
    Notify(QMV_NOTIFY_ACTIVATE, 1);
    Notify(QMV_NOTIFY_OPTIONS, 15);
    const auto savedMode = platform::ReadInteger(*key_, QStringLiteral("Mode (%1)").arg(serial_));
    Notify(QMV_NOTIFY_MODE, savedMode ? std::intptr_t(std::int32_t(*savedMode)) : 1);
    Notify(QMV_NOTIFY_FREQUENCY, std::intptr_t(tunedWord_));
}

bool TReceiverConnection::Close() {
    if (host_ && host_->ModuleWindow() && module_.IsLoaded() && module_.IsNotifyBound())
        Notify(QMV_NOTIFY_STOP, 0);
    if (host_) host_->SetModuleWindow(0);
    const bool wasOpen = handle_ > 0;
    if (wasOpen) {
        key_->setValue(QStringLiteral("Mode (%1)").arg(serial_), currentMode_);
        // A word in 10 Hz units (bit 31) reads as negative and is not kept.
        const auto signedWord = std::int32_t(api_.GetFrequency(handle_));
        if (signedWord >= std::int64_t(lowest_) && signedWord <= std::int64_t(highest_))
            key_->setValue(QStringLiteral("Frequency (%1)").arg(serial_), signedWord);
        key_->sync();
        api_.SetPower(handle_, 0);
        api_.CloseRadioDevice(handle_);
        handle_ = 0;
        if (openedEntry_) {
            openedEntry_->Opened = false;
            openedEntry_ = nullptr;
        }
    }
    if (host_) host_->FreeRecord();
    return wasOpen;
}

void TReceiverConnection::Tune(std::uint64_t hz) {
    api_.SetFrequency(handle_, K74xapi::EncodeFrequency(hz));
    tunedWord_ = api_.GetFrequency(handle_);
    tunedHz_ = K74xapi::DecodeFrequency(tunedWord_);
    Notify(QMV_NOTIFY_FREQUENCY, std::intptr_t(tunedWord_));
}

std::uint64_t TReceiverConnection::ReadTunedFrequency() const {
    return K74xapi::DecodeFrequency(api_.GetFrequency(handle_));
}

std::int32_t TReceiverConnection::ReadRawSignalStrength() const {
    return api_.GetRawSignalStrength(handle_);
}

std::int32_t TReceiverConnection::ReadAgc() const {
    if (demo_) return SpectrumLevel::kDemoAgcReading;
    api_.GetRawSignalStrength(handle_);
    return api_.GetAgcReading(handle_);
}

void TReceiverConnection::SetCurrentMode(std::int32_t mode, bool rebuildPointList) {
    currentMode_ = mode;
    emit ModeChanged(mode, rebuildPointList);
}

void TReceiverConnection::DeliverSpectrum(std::uint32_t span, std::uint32_t byteCount,
                                          const void *data) {
    emit SpectrumReceived(span, byteCount, data);
}
