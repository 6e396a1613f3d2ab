// The move's time budget from the interface's clock and level, through the
// game controller (history built by moves played without thinking).
#include <gtest/gtest.h>

#include "support/game_harness.h"

namespace {

struct Budget {
    const char* what;
    std::int64_t level[3];   // moves, minutes, increment; moves -1: no level command
    std::size_t halfMoves;   // played before the clock is read
    std::int64_t clock;      // seconds; -1: no clock, the level's budget stands
    std::uint32_t ms;
    std::uint32_t movesPerControl;
};

} // namespace

TEST(TimeControl, BudgetsFromTheClockAndTheLevel)
{
    const Budget budgets[] = {
        {"first move: a hundredth of the clock", {-1}, 0, 300, 3000, 0},
        {"twelve full moves played: a thirtieth", {-1}, 24, 300, 10000, 0},
        {"under 5 s every move gets 50 ms", {-1}, 0, 4, 50, 0},
        {"no clock at all", {-1}, 4, 0, 50, 0},
        {"a share of 0 s early in the game", {-1}, 0, 5, 500, 0},
        {"move 2: 60 / 100 is 0 s", {-1}, 4, 60, 500, 0},
        {"40 moves in 5 minutes: 300 s / 41", {40, 5, 0}, 0, -1, 7000, 40},
        {"0 moves in 5 minutes: 2 s per minute", {0, 5, 0}, 0, -1, 10000, 0},
        {"no base time", {0, 0, 12}, 0, -1, 500, 0},
        {"nothing played yet: the level's budget stays", {40, 5, 0}, 0, 150, 7000, 40},
        {"150 s over the 20 moves left", {40, 5, 0}, 40, 150, 7500, 40},
        {"the interface's -1 moves: k + 1 must not wrap to 0", {-2, 5, 0}, 0, -1, 10000, 0},
        {"the same, once the clock is read", {-2, 5, 0}, 2, 300, 3000, 0},
        {"8e9 ms does not fit 32 bits", {0, 4000000, 0}, 0, -1, UINT32_MAX, 0},
        {"nor with one move a control", {1, 4000000, 0}, 0, -1, UINT32_MAX, 1},
        {"a twentieth of the largest clock is too big as well", {-1}, 2, UINT32_MAX, UINT32_MAX, 0},
    };
    for (const Budget& b : budgets) {
        GameHarness h;
        if (b.level[0] != -1)
            h.game.setLevel(static_cast<std::uint32_t>(b.level[0] == -2 ? -1 : b.level[0]),
                            static_cast<std::uint32_t>(b.level[1]), static_cast<std::uint32_t>(b.level[2]));
        h.force(quietOpening(b.halfMoves));
        if (b.clock >= 0)
            h.game.setTimeLeft(static_cast<std::uint32_t>(b.clock));
        EXPECT_EQ(h.game.moveTimeMs(), b.ms) << b.what;
        EXPECT_EQ(h.game.movesPerControl(), b.movesPerControl) << b.what;
    }
    // A new control with fewer moves starts with all of them left.
    GameHarness h;
    h.game.setLevel(40, 5, 0);
    h.force(quietOpening());
    h.game.setLevel(20, 5, 0);
    h.game.setTimeLeft(150);
    EXPECT_EQ(h.game.moveTimeMs(), 7500u);
}
