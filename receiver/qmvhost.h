// The host side of the demodulator module's messages. The module calls one C
// function (QmvHost::Callback); it is routed to the one current dispatcher,
// which checks the window, answers queries itself, keeps the radio
// description record and the module window, echoes reports back to the
// module and hands mode, passband and spectra to its client (the main
// window). Without a current dispatcher every call is answered 0.
#pragma once

#include "k740demod.h"
#include "receiver/radiorecord.h"

#include <cstdint>
#include <memory>

class QmvModule;

// What the main window provides to the dispatcher.
class QmvHostClient {
public:
    virtual ~QmvHostClient() = default;

    // The handle passed as first argument of every notification.
    virtual std::intptr_t hostWindowHandle() const = 0;

    virtual std::int32_t currentMode() const = 0;
    // A mode report that changed the current mode; rebuildPointList is set
    // when the change crosses between wide FM (3) and the other modes.
    virtual void setCurrentMode(std::int32_t mode, bool rebuildPointList) = 0;

    virtual void setPassbandWidth(std::int32_t width) = 0;
    virtual void setPassbandOffset(std::int32_t offset) = 0;

    // A spectrum: span in Hz, byte count, the module's floats (valid during
    // the call only). Handed on as sent, but never with a null address or a
    // negative count.
    virtual void spectrumReceived(std::uint32_t span, std::uint32_t byteCount,
                                  const void *data) = 0;
};

class QmvHost {
public:
    static constexpr std::int32_t WideFmMode = QMV_MODE_FM_WIDE;

    // Becomes the current dispatcher; the module and the client must outlive it.
    QmvHost(QmvModule &module, QmvHostClient &client);
    ~QmvHost(); // no longer current: later calls are answered 0
    QmvHost(const QmvHost &) = delete;
    QmvHost &operator=(const QmvHost &) = delete;

    // The function handed to qmvPluginStart.
    static std::intptr_t Callback(std::intptr_t window, std::int32_t message, std::intptr_t value1,
                                  std::intptr_t value2, std::intptr_t value3);
    static QmvHost *current();

    // One message from the module, after the window check.
    std::intptr_t handle(std::intptr_t window, std::int32_t message, std::intptr_t value1,
                         std::intptr_t value2, std::intptr_t value3);

    // The module window the program holds (0: none). Set to 0 just before
    // qmvPluginStart and to its result afterwards.
    std::intptr_t moduleWindow() const { return moduleWindow_; }
    void setModuleWindow(std::intptr_t window) { moduleWindow_ = window; }

    // The radio description record (null: none). Replaced at every open and
    // by the module's QMV_HOST_NEW_RECORD.
    RadioRecord *record() const { return record_.get(); }
    void setRecord(std::unique_ptr<RadioRecord> record) { record_ = std::move(record); }
    void freeRecord() { record_.reset(); }

private:
    std::intptr_t query(std::intptr_t code) const;
    void replaceRecord(std::intptr_t size, std::intptr_t address);
    void notify(std::int32_t message, std::intptr_t value1, std::intptr_t value2 = 0,
                std::intptr_t value3 = 0);

    QmvModule &module_;
    QmvHostClient &client_;
    std::intptr_t moduleWindow_ = 0;
    std::unique_ptr<RadioRecord> record_;
};
