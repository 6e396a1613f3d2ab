#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/manual_reset_event.h"
#include "platform/worker_thread.h"

using namespace std::chrono;

TEST(ManualResetEvent, WaitTellsTimeoutFromSignal)
{
    ManualResetEvent event;
    const auto start = steady_clock::now();
    EXPECT_EQ(event.waitFor(30), ManualResetEvent::WaitResult::TimedOut);
    EXPECT_GE(duration_cast<milliseconds>(steady_clock::now() - start).count(), 30);

    // Set from another thread, it wakes the waiter long before the timeout.
    std::thread setter([&] {
        std::this_thread::sleep_for(milliseconds(20));
        event.set();
    });
    EXPECT_EQ(event.waitFor(60000), ManualResetEvent::WaitResult::Signalled);
    EXPECT_LT(duration_cast<seconds>(steady_clock::now() - start).count(), 30);
    setter.join();
    // Manual reset: it stays set for every later wait until reset.
    EXPECT_EQ(event.waitFor(0), ManualResetEvent::WaitResult::Signalled);
    event.reset();
    EXPECT_EQ(event.waitFor(0), ManualResetEvent::WaitResult::TimedOut);
}

TEST(WorkerThread, BodyRunsOnlyAfterResumeAndJoinsOnce)
{
    std::atomic<int> ran{0};
    WorkerThread thread;
    ASSERT_TRUE(thread.create([&] { ran = 1; }));
    thread.join();   // never resumed: the body is skipped
    EXPECT_EQ(ran.load(), 0);
    ASSERT_TRUE(thread.create([&] { ran = 2; }));
    std::this_thread::sleep_for(milliseconds(20));
    EXPECT_EQ(ran.load(), 0);
    thread.resume();
    thread.join();
    EXPECT_EQ(ran.load(), 2);
    EXPECT_FALSE(thread.exists());
    thread.join();   // a second join does nothing
}
