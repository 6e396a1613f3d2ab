// Search speed over fixed time: for each position a fresh search with a fresh
// 8 MiB table runs on its own thread until it is stopped after the given time
// (or ends by itself). Prints "NODES MILLISECONDS" per position on stdout; the
// table statistics go to stderr.
//
// Usage: kelp-search-speed MILLISECONDS FEN...

#include <chrono>
#include <cinttypes>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <thread>

#include "release/release_profile.h"
#include "search/search.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::uint32_t TABLE_BYTES = 8u << 20;

// Searches one position for `budget`; false if the position or table is unusable.
bool timePosition(const char* fen, std::chrono::milliseconds budget)
{
    std::unique_ptr<HashTable_class> table = HashTable_class::create(TABLE_BYTES);
    if (!table) {
        std::fprintf(stderr, "kelp-search-speed: cannot allocate the table\n");
        return false;
    }
    auto search = std::make_unique<Search_class>(currentRelease().game.search);
    if (search->setUpFromFen(nullptr, fen, table.get()) != CE_SUCCESS) {
        std::fprintf(stderr, "kelp-search-speed: bad position: %s\n", fen);
        return false;
    }

    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;

    search->arm();
    const Clock::time_point start = Clock::now();
    std::thread worker([&] {
        search->iterativeDeepening();
        std::lock_guard<std::mutex> lock(mutex);
        done = true;
        finished.notify_all();
    });
    {
        // Wakes early when the search ends by itself (a mate, or the depth limit).
        std::unique_lock<std::mutex> lock(mutex);
        finished.wait_for(lock, budget, [&] { return done; });
    }
    search->stop();
    worker.join();
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();

    std::printf("%" PRIu64 " %lld\n", search->nodeCount(), static_cast<long long>(elapsed));
    std::fflush(stdout);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    const long ms = argc > 2 ? std::strtol(argv[1], nullptr, 10) : 0;
    if (ms <= 0) {
        std::fprintf(stderr, "usage: kelp-search-speed MILLISECONDS FEN...\n");
        return 2;
    }
    for (int i = 2; i < argc; ++i) {
        if (!timePosition(argv[i], std::chrono::milliseconds(ms)))
            return 1;
    }
    return 0;
}
