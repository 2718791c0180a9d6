#include "receiver/qmvhost.h"

#include "receiver/qmvmodule.h"

namespace {
QmvHost *currentHost = nullptr;
} // namespace

QmvHost::QmvHost(QmvModule &module, QmvHostClient &client) : module_(module), client_(client) {
    currentHost = this;
}

QmvHost::~QmvHost() {
    if (currentHost == this) currentHost = nullptr;
}

QmvHost *QmvHost::current() {
    return currentHost;
}

std::intptr_t QmvHost::Callback(std::intptr_t window, std::int32_t message, std::intptr_t value1,
                                std::intptr_t value2, std::intptr_t value3) {
    if (!currentHost) return 0;
    return currentHost->handle(window, message, value1, value2, value3);
}

std::intptr_t QmvHost::handle(std::intptr_t window, std::int32_t message, std::intptr_t value1,
                              std::intptr_t value2, std::intptr_t value3) {
    if (!module_.isNotifyBound() || window != moduleWindow_) return 0;

    switch (message) {
    case QMV_HOST_MODE: {
        const auto mode = std::int32_t(value1);
        const std::int32_t old = client_.currentMode();
        if (mode == old) return 0;
        client_.setCurrentMode(mode, old == WideFmMode || mode == WideFmMode);
        notify(QMV_NOTIFY_MODE, client_.currentMode());
        return 0;
    }
    case QMV_HOST_WIDTH:
        client_.setPassbandWidth(std::int32_t(value1));
        notify(QMV_NOTIFY_WIDTH, std::int32_t(value1));
        return 0;
    case QMV_HOST_OFFSET:
        client_.setPassbandOffset(std::int32_t(value1));
        notify(QMV_NOTIFY_OFFSET, std::int32_t(value1));
        return 0;
    case QMV_HOST_SPECTRUM:
        if (value3 != 0 && value2 >= 0 && value2 <= std::intptr_t(UINT32_MAX))
            client_.spectrumReceived(std::uint32_t(value1), std::uint32_t(value2),
                                     reinterpret_cast<const void *>(value3));
        return 0;
    case QMV_HOST_QUERY:
        return query(value1);
    case QMV_HOST_NEW_RECORD:
        replaceRecord(value2, value3);
        return 0;
    case QMV_HOST_CAPABILITIES:
        return std::intptr_t(0x80000000u);
    default:
        return 0;
    }
}

std::intptr_t QmvHost::query(std::intptr_t code) const {
    switch (code) {
    case QMV_QUERY_HOST_PRESENT:
        return 1;
    case QMV_QUERY_RECORD:
        return record_ ? reinterpret_cast<std::intptr_t>(record_->data()) : 0;
    case QMV_QUERY_RECORDING:
    default:
        return 0;
    }
}

void QmvHost::replaceRecord(std::intptr_t size, std::intptr_t address) {
    // A size that is not positive or a null address names no record; the old
    // one stays.
    if (size <= 0 || address == 0) return;
    auto copy = RadioRecord::CopyFrom(reinterpret_cast<const void *>(address), std::size_t(size));
    if (!copy) return;
    record_ = std::move(copy);
    notify(QMV_NOTIFY_RECORD_COPIED, 0, size, address);
}

void QmvHost::notify(std::int32_t message, std::intptr_t value1, std::intptr_t value2,
                     std::intptr_t value3) {
    module_.Notify(client_.hostWindowHandle(), message, value1, value2, value3);
}
