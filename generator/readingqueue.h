// The live RAW readings as a worker thread waits for them: the GUI thread
// adds each reading as the live level measures it, and the worker waits a
// settle time and then takes the median of the next readings. Stop() wakes
// every wait at once, so a run ends without waiting out a settle time.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <mutex>
#include <optional>

class TReadingQueue {
public:
    // No live reading came at all: nothing can be recorded.
    class TNoReading : public std::exception {};

    // Forgets the stop request and the readings collected (a new run).
    void Reset();
    // Any thread.
    void Add(std::uint8_t raw);
    void Stop();
    bool Stopped() const;

    // Waits `ms`; false when stopped.
    bool Settle(int ms);
    // The median of the next n readings, or of the first `agreeing` ones when
    // they are all equal (0: always n). A reading that does not come within
    // `waitMs` means the RAW value has not changed: the last one counts again,
    // and without any reading so far TNoReading is thrown. Nothing when
    // stopped. `taken`, when given, counts the readings used.
    std::optional<std::uint8_t> Median(int n, int waitMs, int agreeing = 0, int *taken = nullptr);

private:
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    bool stop_ = false;
    bool collecting_ = false;
    std::deque<std::uint8_t> queue_;
    std::optional<std::uint8_t> latest_;
};
