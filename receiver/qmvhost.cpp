#include "receiver/qmvhost.h"

#include "receiver/qmvmodule.h"

namespace {
TQmvHost *currentHost = nullptr;
} // namespace

TQmvHost::TQmvHost(TQmvModule &module, TQmvHostClient &client) : module_(module), client_(client) {
    currentHost = this;
}

TQmvHost::~TQmvHost() {
    if (currentHost == this) currentHost = nullptr;
}

std::intptr_t TQmvHost::Callback(std::intptr_t window, std::int32_t message, std::intptr_t value1,
                                 std::intptr_t value2, std::intptr_t value3) {
    if (!currentHost) return 0;
    return currentHost->Dispatch(window, message, value1, value2, value3);
}

std::intptr_t TQmvHost::Dispatch(std::intptr_t window, std::int32_t message, std::intptr_t value1,
                                 std::intptr_t value2, std::intptr_t value3) {
    if (!module_.IsNotifyBound() || window != moduleWindow_) return 0;

    switch (message) {
    case QMV_HOST_MODE: {
        const auto mode = std::int32_t(value1);
        const std::int32_t old = client_.CurrentMode();
        if (mode == old) return 0;
        client_.SetCurrentMode(mode, old == QMV_MODE_FM_WIDE || mode == QMV_MODE_FM_WIDE);
        Notify(QMV_NOTIFY_MODE, client_.CurrentMode());
        return 0;
    }
    case QMV_HOST_WIDTH:
        client_.SetPassbandWidth(std::int32_t(value1));
        Notify(QMV_NOTIFY_WIDTH, std::int32_t(value1));
        return 0;
    case QMV_HOST_OFFSET:
        client_.SetPassbandOffset(std::int32_t(value1));
        Notify(QMV_NOTIFY_OFFSET, std::int32_t(value1));
        return 0;
    case QMV_HOST_SPECTRUM:
        if (value3 != 0 && value2 >= 0 && value2 <= std::intptr_t(UINT32_MAX))
            client_.DeliverSpectrum(std::uint32_t(value1), std::uint32_t(value2),
                                    reinterpret_cast<const void *>(value3));
        return 0;
    case QMV_HOST_QUERY:
        return Query(value1);
    case QMV_HOST_NEW_RECORD:
        ReplaceRecord(value2, value3);
        return 0;
    case QMV_HOST_CAPABILITIES:
        return std::intptr_t(0x80000000u);
    default:
        return 0;
    }
}

std::intptr_t TQmvHost::Query(std::intptr_t code) const {
    switch (code) {
    case QMV_QUERY_HOST_PRESENT:
        return 1;
    case QMV_QUERY_RECORD:
        return record_ ? reinterpret_cast<std::intptr_t>(record_->Data()) : 0;
    case QMV_QUERY_RECORDING:
    default:
        return 0;
    }
}

void TQmvHost::ReplaceRecord(std::intptr_t size, std::intptr_t address) {
    // A size that is not positive or a null address names no record; the old
    // one stays.
    if (size <= 0 || address == 0) return;
    auto copy = TRadioRecord::CopyFrom(reinterpret_cast<const void *>(address), std::size_t(size));
    if (!copy) return;
    record_ = std::move(copy);
    Notify(QMV_NOTIFY_RECORD_COPIED, 0, size, address);
}

void TQmvHost::Notify(std::int32_t message, std::intptr_t value1, std::intptr_t value2,
                      std::intptr_t value3) {
    module_.Notify(client_.HostWindowHandle(), message, value1, value2, value3);
}
