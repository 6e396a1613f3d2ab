// The move's time budget from the interface's clock and level, through the
// game controller (history built by moves played without thinking).
#include <gtest/gtest.h>

#include "game/time_control.h"
#include "support/game_harness.h"

namespace {

constexpr std::int64_t NO_LEVEL = INT64_MIN;
constexpr std::int64_t NO_CLOCK = -1;

struct Budget {
    const char* what;
    std::int64_t level[3];   // moves, minutes, increment as the interface sends them; NO_LEVEL: none
    std::size_t halfMoves;   // played before the clock is read
    std::int64_t clockMs;    // NO_CLOCK: the level's budget stands
    std::size_t replies;     // half-moves after the clock, the last one starting a search
    std::uint32_t ms;
    std::uint32_t movesPerControl;
};

constexpr std::uint32_t MAX_MS = UINT32_MAX;

} // namespace

TEST(TimeControl, BudgetsFromTheClockAndTheLevel)
{
    const Budget budgets[] = {
        {"first move: a hundredth of the clock", {NO_LEVEL}, 0, 300000, 0, 3000, 0},
        {"twelve full moves played: a thirtieth", {NO_LEVEL}, 24, 300000, 0, 10000, 0},
        {"under 5 s every move gets 50 ms", {NO_LEVEL}, 0, 4000, 0, 50, 0},
        {"a share of 0 s early in the game", {NO_LEVEL}, 0, 5000, 0, 500, 0},
        {"move 2: 60 / 100 is 0 s", {NO_LEVEL}, 4, 60000, 0, 500, 0},
        {"40 moves in 5 minutes: 300 s / 41", {40, 5, 0}, 0, NO_CLOCK, 0, 7000, 40},
        {"0 moves in 5 minutes: 2 s per minute", {0, 5, 0}, 0, NO_CLOCK, 0, 10000, 0},
        {"no base time", {0, 0, 12}, 0, NO_CLOCK, 0, 500, 0},
        {"nothing played yet: the level's budget stays", {40, 5, 0}, 0, 150000, 0, 7000, 40},
        {"150 s over the 20 moves left", {40, 5, 0}, 40, 150000, 0, 7500, 40},
        {"the interface's -1 moves: k + 1 must not wrap to 0", {-1, 5, 0}, 0, NO_CLOCK, 0, 10000, 0},
        {"the same, once the clock is read", {-1, 5, 0}, 2, 300000, 0, 3000, 0},
        {"8e9 ms does not fit 32 bits", {0, 4000000, 0}, 0, NO_CLOCK, 0, MAX_MS, 0},
        {"nor with one move a control", {1, 4000000, 0}, 0, NO_CLOCK, 0, MAX_MS, 1},
        {"nor the largest base the interface can send", {0, INT32_MAX, 0}, 0, NO_CLOCK, 0, MAX_MS, 0},
        {"a twentieth of the largest clock is too big as well", {NO_LEVEL}, 2, 1000ll * UINT32_MAX, 0, MAX_MS, 0},
        // Rules that give no whole second get the floor; the clock then takes over.
        {"0:30 reads as 0 minutes: the floor, not 0 ms", {40, 0, 0}, 0, NO_CLOCK, 0, 500, 40},
        {"one move in no time", {1, 0, 0}, 0, NO_CLOCK, 0, 500, 1},
        {"a negative base is no base", {0, -5, 0}, 0, NO_CLOCK, 0, 500, 0},
        {"nor with moves per control", {40, -5, 0}, 0, NO_CLOCK, 0, 500, 40},
        {"under a second, 40 moves left: the exact clock spread", {40, 0, 0}, 1, 990, 0, 24, 40},
        // The clock is read before the opponent's move; the budget counts that move.
        {"as White: the opponent's 2nd move opens the 2nd control", {2, 5, 0}, 3, 100000, 1, 50000, 2},
        {"as Black: its 2nd move is the last of the control", {2, 5, 0}, 2, 100000, 1, 99800, 2},
        {"as Black: its 3rd move opens the 2nd control", {2, 5, 0}, 4, 100000, 1, 50000, 2},
        // No budget reaches into the last 200 ms of the clock.
        {"the last move of a control", {1, 5, 0}, 2, 21050, 0, 20850, 1},
        {"a level longer than the clock", {40, 5, 0}, 0, 2000, 0, 1800, 40},
        {"230 ms left", {NO_LEVEL}, 4, 230, 0, 30, 0},
        {"30 ms left: move at once", {NO_LEVEL}, 4, 30, 1, 0, 0},
        {"an empty clock", {NO_LEVEL}, 4, 0, 0, 0, 0},
    };
    for (const Budget& b : budgets) {
        GameHarness h;
        if (b.level[0] != NO_LEVEL)
            h.game.setLevel(static_cast<std::uint32_t>(b.level[0]), static_cast<std::uint32_t>(b.level[1]),
                            static_cast<std::uint32_t>(b.level[2]));
        const std::vector<std::string> moves = quietOpening(b.halfMoves + b.replies);
        h.force({moves.begin(), moves.begin() + static_cast<std::ptrdiff_t>(b.halfMoves)});
        if (b.clockMs != NO_CLOCK)
            h.game.setTimeLeft(static_cast<std::uint32_t>(b.clockMs / 1000), static_cast<std::uint32_t>(b.clockMs % 1000));
        if (b.replies > 0) {
            h.force({moves.begin() + static_cast<std::ptrdiff_t>(b.halfMoves), moves.end() - 1});
            h.game.thinkAfterUserMove = true;   // the move is not played: the budget is what counts
            ASSERT_EQ(h.game.userMove(moves.back().c_str()), MOVE_ACCEPTED) << b.what;
            h.game.stopAll();
        }
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

TEST(TimeControl, FullModeBudgetsAddTheIncrementKeepACushionAndSpendAFixedTimeAlmostWhole)
{
    struct Row {
        const char* what;
        std::uint64_t clockMs;
        std::uint32_t halfMoves, movesPerControl, movesToGo;
        std::uint64_t incrementMs;
        std::uint32_t overheadMs;
        std::uint32_t ms;
    };
    const Row rows[] = {
        {"UCI movestogo spreads the clock above the cushion", 10000, 0, 0, 4, 0, 0, 2425},
        {"the increment comes on top of the share (a fiftieth at move 5, to the millisecond)", 60000, 10, 0, 0, 1000, 0,
         59700 / 50 + 1000},
        {"the move overhead comes off it, and off the clock", 60000, 10, 0, 0, 1000, 100, 59600 / 50 + 1000 - 100},
        {"a hundredth of a 5 s clock early in the game, not a flat half second", 5000, 0, 0, 0, 0, 0, 47},
        {"never into the cushion", 1000, 10, 0, 0, 5000, 0, 700},
        {"the last move of a control gets the clock and its increment, less the cushion", 21050, 2, 1, 0, 2000, 0,
         20750},
        {"a level's moves per control without movestogo", 150000, 40, 40, 0, 0, 0, 149700 / 20},
        // Blitz: under 5 s at most a thirtieth of the clock above the cushion and
        // the increment; once under half a second is left above it, the increment only.
        {"2 s + 50 ms: 1690 / 30 + 50 - 10", 2000, 60, 0, 0, 50, 10, 96},
        {"little left above the cushion: the increment less the overhead", 700, 80, 0, 0, 50, 10, 40},
        {"no increment: a share of what is left above the cushion", 700, 80, 0, 0, 0, 10, 3},
        {"a clock within the cushion: move at once", 250, 80, 0, 0, 50, 10, 0},
    };
    for (const Row& r : rows)
        EXPECT_EQ(cushionedBudget(r.clockMs, r.halfMoves, r.movesPerControl, r.movesToGo, r.incrementMs, r.overheadMs),
                  r.ms)
            << r.what;
    EXPECT_EQ(budgetForFixedTime(500), 475u);      // 20 ms and 1% for stopping and sending
    EXPECT_EQ(budgetForFixedTime(10000), 9880u);
    EXPECT_EQ(budgetForFixedTime(15), 0u);

    // Through a game's clock: a UCI request, with the move overhead of the interface.
    const PlayPolicy policy = PlayPolicy::full();
    GameClock clock(currentRelease().game, policy);
    SearchRequest request;
    request.moveTimeMs = 1000;
    EXPECT_EQ(clock.requestBudget(request, WHITE, 0), 970u - DEFAULT_MOVE_OVERHEAD_MS);
    clock.setMoveOverhead(200);
    EXPECT_EQ(clock.requestBudget(request, WHITE, 0), 770u);
    clock.setMoveOverhead(20);
    request = SearchRequest();
    request.clockMs[1] = 2000;
    request.incrementMs[1] = 50;
    EXPECT_EQ(clock.requestBudget(request, WHITE, 60), std::nullopt);   // no clock of White's: no time limit
    EXPECT_EQ(clock.requestBudget(request, BLACK, 60), 1680u / 30 + 50 - 20);
}
