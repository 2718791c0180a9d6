// The host side of the demodulator module's messages. The module calls one C
// function (TQmvHost::Callback); it is routed to the one current dispatcher,
// which checks the window, answers queries itself, keeps the radio
// description record and the module window, echoes reports back to the
// module and hands mode, passband and spectra to its client (the receiver
// connection). Without a current dispatcher every call is answered 0.
#pragma once

#include "k740demod.h"
#include "receiver/radiorecord.h"

#include <cstdint>
#include <memory>

class TQmvModule;

// What the receiver connection provides to the dispatcher.
class TQmvHostClient {
public:
    virtual ~TQmvHostClient() = default;

    // The handle passed as first argument of every notification.
    virtual std::intptr_t HostWindowHandle() const = 0;

    virtual std::int32_t CurrentMode() const = 0;
    // A mode report that changed the current mode; rebuildPointList is set
    // when the change crosses between wide FM and the other modes.
    virtual void SetCurrentMode(std::int32_t mode, bool rebuildPointList) = 0;

    virtual void SetPassbandWidth(std::int32_t width) = 0;
    virtual void SetPassbandOffset(std::int32_t offset) = 0;

    // A spectrum: span in Hz, byte count, the module's floats (valid during
    // the call only). Handed on as sent, but never with a null address or a
    // negative count.
    virtual void DeliverSpectrum(std::uint32_t span, std::uint32_t byteCount, const void *data) = 0;
};

class TQmvHost {
public:
    // Becomes the current dispatcher; the module and the client must outlive it.
    TQmvHost(TQmvModule &module, TQmvHostClient &client);
    ~TQmvHost(); // no longer current: later calls are answered 0
    TQmvHost(const TQmvHost &) = delete;
    TQmvHost &operator=(const TQmvHost &) = delete;

    // The function handed to qmvPluginStart.
    static std::intptr_t Callback(std::intptr_t window, std::int32_t message, std::intptr_t value1,
                                  std::intptr_t value2, std::intptr_t value3);

    // The module window the program holds (0: none). Set to 0 just before
    // qmvPluginStart and to its result afterwards.
    std::intptr_t ModuleWindow() const { return moduleWindow_; }
    void SetModuleWindow(std::intptr_t window) { moduleWindow_ = window; }

    // The radio description record (null: none). Replaced at every open and
    // by the module's QMV_HOST_NEW_RECORD.
    TRadioRecord *Record() const { return record_.get(); }
    void SetRecord(std::unique_ptr<TRadioRecord> record) { record_ = std::move(record); }
    void FreeRecord() { record_.reset(); }

private:
    // One message from the module, after the window check.
    std::intptr_t Dispatch(std::intptr_t window, std::int32_t message, std::intptr_t value1,
                           std::intptr_t value2, std::intptr_t value3);
    std::intptr_t Query(std::intptr_t code) const;
    void ReplaceRecord(std::intptr_t size, std::intptr_t address);
    void Notify(std::int32_t message, std::intptr_t value1, std::intptr_t value2 = 0,
                std::intptr_t value3 = 0);

    TQmvModule &module_;
    TQmvHostClient &client_;
    std::intptr_t moduleWindow_ = 0;
    std::unique_ptr<TRadioRecord> record_;
};
