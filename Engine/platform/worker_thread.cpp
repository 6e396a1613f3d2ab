#include "platform/worker_thread.h"

#include <exception>

WorkerThread::~WorkerThread()
{
    join();
}

bool WorkerThread::create(std::function<void()> body)
{
    if (thread_.joinable())
        return false;
    {
        std::lock_guard<std::mutex> lock(gateMutex_);
        gateState_ = Gate::Closed;
    }
    try {
        thread_ = std::thread([this, body = std::move(body)] {
            bool run;
            {
                std::unique_lock<std::mutex> lock(gateMutex_);
                gate_.wait(lock, [this] { return gateState_ != Gate::Closed; });
                run = gateState_ == Gate::Run;
            }
            if (run)
                body();
        });
    } catch (const std::exception&) {
        return false;   // no thread (std::system_error) or no memory for its body
    }
    return true;
}

void WorkerThread::resume()
{
    openGate(true);
}

void WorkerThread::openGate(bool run)
{
    {
        std::lock_guard<std::mutex> lock(gateMutex_);
        if (gateState_ != Gate::Closed)
            return;
        gateState_ = run ? Gate::Run : Gate::Cancel;
    }
    gate_.notify_all();
}

void WorkerThread::join()
{
    if (!thread_.joinable())
        return;
    openGate(false);   // a thread never resumed ends without running its body
    thread_.join();
}
