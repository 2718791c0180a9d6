#include "generator/readingqueue.h"

#include <algorithm>
#include <chrono>
#include <vector>

void TReadingQueue::Reset() {
    std::lock_guard lock(mutex_);
    stop_ = false;
    collecting_ = false;
    queue_.clear();
}

void TReadingQueue::Add(std::uint8_t raw) {
    {
        std::lock_guard lock(mutex_);
        latest_ = raw;
        if (!collecting_) return;
        queue_.push_back(raw);
    }
    wake_.notify_all();
}

void TReadingQueue::Stop() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    wake_.notify_all();
}

bool TReadingQueue::Stopped() const {
    std::lock_guard lock(mutex_);
    return stop_;
}

bool TReadingQueue::Settle(int ms) {
    std::unique_lock lock(mutex_);
    return !wake_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return stop_; });
}

std::optional<std::uint8_t> TReadingQueue::Median(int n, int waitMs, int agreeing, int *taken) {
    std::unique_lock lock(mutex_);
    queue_.clear();
    collecting_ = true;
    std::vector<std::uint8_t> values;
    auto agree = [&] {
        return agreeing > 0 && int(values.size()) == agreeing &&
               std::all_of(values.begin(), values.end(), [&](auto v) { return v == values[0]; });
    };
    while (int(values.size()) < n && !agree()) {
        const bool woken = wake_.wait_for(lock, std::chrono::milliseconds(waitMs),
                                          [this] { return stop_ || !queue_.empty(); });
        if (stop_) break;
        if (woken) {
            values.push_back(queue_.front());
            queue_.pop_front();
        } else if (latest_) {
            values.push_back(*latest_);
        } else {
            collecting_ = false;
            throw TNoReading();
        }
    }
    collecting_ = false;
    if (stop_ || values.empty()) return std::nullopt;
    if (taken) *taken = int(values.size());
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}
