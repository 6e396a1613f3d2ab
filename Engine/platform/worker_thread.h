#pragma once
// A thread that is created suspended: its body waits behind a start gate until
// resume() is called, so the creator can finish setting up the inputs first.
// It is joined exactly once; join() on a thread that does not exist does nothing,
// and join() on a thread that was never resumed ends it without running its body.

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

class WorkerThread {
public:
    WorkerThread() = default;
    ~WorkerThread();
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    // Creates the thread suspended. Returns false (and creates nothing) if the
    // system refuses a new thread or one already exists.
    bool create(std::function<void()> body);
    // Lets a suspended thread run its body. Calling it twice has no effect.
    void resume();
    // Waits without limit for the body to finish, then releases the thread.
    void join();
    bool exists() const { return thread_.joinable(); }

private:
    void openGate(bool run);

    std::thread thread_;
    std::mutex gateMutex_;
    std::condition_variable gate_;
    enum class Gate { Closed, Run, Cancel };
    Gate gateState_ = Gate::Closed;
};
