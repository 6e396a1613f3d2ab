#include "platform/manual_reset_event.h"

#include <chrono>

void ManualResetEvent::set()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        signalled_ = true;
    }
    changed_.notify_all();
}

void ManualResetEvent::reset()
{
    std::lock_guard<std::mutex> lock(mutex_);
    signalled_ = false;
}

bool ManualResetEvent::isSet() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return signalled_;
}

ManualResetEvent::WaitResult ManualResetEvent::waitFor(std::uint32_t milliseconds)
{
    std::unique_lock<std::mutex> lock(mutex_);
    const bool signalled = changed_.wait_for(lock, std::chrono::milliseconds(milliseconds),
                                             [this] { return signalled_; });
    return signalled ? WaitResult::Signalled : WaitResult::TimedOut;
}
