// How long after its time budget a search really ends: runs many short
// searches through the game controller, each timed from startThinking to the
// "move" announcement, and prints median, 90th percentile and worst overshoot.
// A second series measures how long a move-now request (stopSearch) takes.
//
// Usage: kelp-stop-latency [SEARCHES] (default 300)

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <vector>

#include "game/game.h"
#include "protocol/gui_interface.h"
#include "protocol/line_io.h"
#include "release/release_profile.h"

namespace {

using Clock = std::chrono::steady_clock;

// A front end that only notes when the move is announced.
class TimingGui : public GuiInterface_class {
public:
    TimingGui() : GuiInterface_class(standardInput(), standardOutput(), currentRelease()) {}

    void sendMove(const char*) override
    {
        std::lock_guard<std::mutex> lock(mutex_);
        movedAt_ = Clock::now();
        moved_ = true;
        changed_.notify_all();
    }
    void expectMove()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        moved_ = false;
    }
    // The time of the move, or nothing if none came within a minute.
    bool waitForMove(Clock::time_point& at)
    {
        std::unique_lock<std::mutex> lock(mutex_);
        if (!changed_.wait_for(lock, std::chrono::minutes(1), [this] { return moved_; }))
            return false;
        at = movedAt_;
        return true;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool moved_ = false;
    Clock::time_point movedAt_;
};

// Middlegame positions in which no search ends by itself within a second.
const char* const kPositions[] = {
    "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",
    "r1bqkb1r/pppp1ppp/2n2n2/4p3/2B1P3/5N2/PPPP1PPP/RNBQK2R w KQkq - 4 4",
    "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
    "r2q1rk1/pp2ppbp/2np1np1/8/3NP3/2N1BP2/PPPQ2PP/R3KB1R w KQ - 3 10",
    "2r2rk1/1b2qppp/p3pn2/1p6/3N4/P1NQ4/1PP2PPP/R4RK1 b - - 0 18",
};

double ms(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

void report(const char* what, std::vector<double> samples)
{
    if (samples.empty()) {
        std::printf("%s: no samples\n", what);
        return;
    }
    std::sort(samples.begin(), samples.end());
    const auto at = [&](double q) { return samples[static_cast<std::size_t>(q * (samples.size() - 1))]; };
    std::printf("%-44s %4zu searches: median %7.3f ms  p90 %7.3f ms  worst %7.3f ms\n", what, samples.size(),
                at(0.5), at(0.9), samples.back());
}

} // namespace

int main(int argc, char** argv)
{
    const int searches = argc > 1 ? std::max(1, std::atoi(argv[1])) : 300;
    TimingGui gui;
    Game_class game(&gui, DEFAULT_HASH_BYTES, currentRelease().game);
    if (!game.init()) {
        std::fprintf(stderr, "no table\n");
        return 1;
    }
    game.newGame();
    game.thinkAfterUserMove = false;
    game.playMoveWhenDone = true;

    // Series 1: the timer ends each search at its 50 ms budget.
    std::vector<double> afterBudget;
    int endedEarly = 0;
    for (int i = 0; i < searches; ++i) {
        game.setPosition(kPositions[i % std::size(kPositions)]);
        game.setTimeLeft(4);   // under 5 s on the clock: 50 ms a move
        const double budget = game.moveTimeMs();
        gui.expectMove();
        const Clock::time_point start = Clock::now();
        game.startThinking();
        Clock::time_point movedAt;
        if (!gui.waitForMove(movedAt)) {
            std::fprintf(stderr, "search %d never ended\n", i);
            return 1;
        }
        game.stopAll();
        const double overshoot = ms(movedAt - start) - budget;
        if (overshoot < 0)
            ++endedEarly;   // ended by itself: says nothing about stopping
        else
            afterBudget.push_back(overshoot);
    }

    // Series 2: a move-now request after 20 to 60 ms of a long search.
    std::vector<double> moveNow;
    for (int i = 0; i < searches; ++i) {
        game.setPosition(kPositions[i % std::size(kPositions)]);
        game.setLevel(0, 600, 0);   // 20 minutes: only the request ends it
        gui.expectMove();
        game.startThinking();
        std::this_thread::sleep_for(std::chrono::milliseconds(20 + (i * 7) % 41));
        const Clock::time_point asked = Clock::now();
        game.stopSearch();
        Clock::time_point movedAt;
        if (!gui.waitForMove(movedAt)) {
            std::fprintf(stderr, "move-now request %d got no move\n", i);
            return 1;
        }
        moveNow.push_back(ms(movedAt - asked));
        game.stopAll();
    }

    report("timer stop: move after the 50 ms budget", afterBudget);
    report("move now: move after stopSearch", moveNow);
    if (endedEarly > 0)
        std::printf("(%d searches ended by themselves before the budget and are not counted)\n", endedEarly);
    return 0;
}
