#include "platform/result.h"

namespace platform {

TResult TResult::Failure(QString message, std::function<void()> cleanUp) {
    TResult result;
    result.failed_ = true;
    result.message_ = std::move(message);
    result.cleanUp_ = std::move(cleanUp);
    return result;
}

TResult::TResult(TResult &&other) noexcept
    : failed_(other.failed_), message_(std::move(other.message_)),
      cleanUp_(std::exchange(other.cleanUp_, nullptr)) {}

TResult &TResult::operator=(TResult &&other) noexcept {
    if (this != &other) {
        Release();
        failed_ = other.failed_;
        message_ = std::move(other.message_);
        cleanUp_ = std::exchange(other.cleanUp_, nullptr);
    }
    return *this;
}

void TResult::Release() {
    // Cleared first: a clean-up that lets another result go cannot run twice.
    if (auto cleanUp = std::exchange(cleanUp_, nullptr)) cleanUp();
}

} // namespace platform
