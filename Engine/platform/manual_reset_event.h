#pragma once
// A manual-reset event: once set it stays signalled (waking every waiter) until
// reset. A timed wait tells a signal from a timeout.

#include <condition_variable>
#include <cstdint>
#include <mutex>

class ManualResetEvent {
public:
    enum class WaitResult { Signalled, TimedOut };

    void set();
    void reset();
    bool isSet() const;
    WaitResult waitFor(std::uint32_t milliseconds);

private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    bool signalled_ = false;
};
