// The move's time budget from the interface's clock and level, through the
// game controller (history built by moves played without thinking).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/game_harness.h"

namespace {

// Forty half-moves of a quiet opening without a repeated position.
const std::vector<std::string> kTwentyMoves = {
    "e2e4", "e7e5", "g1f3", "b8c6", "f1b5", "a7a6", "b5a4", "g8f6", "e1g1", "f8e7",
    "f1e1", "b7b5", "a4b3", "d7d6", "c2c3", "e8g8", "h2h3", "c6b8", "d2d4", "b8d7",
    "b1d2", "c8b7", "b3c2", "f8e8", "d2f1", "e7f8", "f1g3", "g7g6", "a2a4", "c7c5",
    "d4d5", "c5c4", "c1g5", "h7h6", "g5e3", "d7c5", "d1d2", "h6h5", "e3g5", "f8e7",
};

std::vector<std::string> firstHalfMoves(std::size_t count)
{
    return {kTwentyMoves.begin(), kTwentyMoves.begin() + static_cast<std::ptrdiff_t>(count)};
}

} // namespace

TEST(TimeControl, ClockShareGrowsAsTheGameGoesOn)
{
    GameHarness h;
    h.game.setTimeLeft(300);
    EXPECT_EQ(h.game.moveTimeMs(), 3000u);   // first move: a hundredth of the clock

    h.force(firstHalfMoves(24));
    ASSERT_EQ(h.game.historyCount(), 24u);
    h.game.setTimeLeft(300);
    EXPECT_EQ(h.game.moveTimeMs(), 10000u);  // twelve full moves played: a thirtieth
}

TEST(TimeControl, ShortClocksGetFixedBudgets)
{
    GameHarness h;
    h.game.setTimeLeft(4);
    EXPECT_EQ(h.game.moveTimeMs(), 50u);     // under 5 s: every move 50 ms
    h.game.setTimeLeft(5);
    EXPECT_EQ(h.game.moveTimeMs(), 500u);    // a share of 0 s early in the game

    h.force(firstHalfMoves(4));
    h.game.setTimeLeft(60);
    EXPECT_EQ(h.game.moveTimeMs(), 500u);    // move 2: 60 / 100 is 0 s
    h.game.setTimeLeft(0);
    EXPECT_EQ(h.game.moveTimeMs(), 50u);
}

TEST(TimeControl, LevelSetsTheBudgetOfTheFirstMove)
{
    GameHarness h;
    h.game.setLevel(40, 5, 0);
    EXPECT_EQ(h.game.moveTimeMs(), 7000u);   // 300 s / 41, whole seconds
    EXPECT_EQ(h.game.movesPerControl(), 40u);
    h.game.setLevel(0, 5, 0);
    EXPECT_EQ(h.game.moveTimeMs(), 10000u);  // 2 s per minute of base time
    EXPECT_EQ(h.game.movesPerControl(), 0u);
    h.game.setLevel(0, 0, 12);
    EXPECT_EQ(h.game.moveTimeMs(), 500u);    // no base time at all
}

TEST(TimeControl, MovesPerControlSpreadTheClockOverTheMovesLeft)
{
    GameHarness h;
    h.game.setLevel(40, 5, 0);
    h.game.setTimeLeft(150);
    EXPECT_EQ(h.game.moveTimeMs(), 7000u);   // nothing played yet: the level's budget stays

    h.force(kTwentyMoves);
    h.game.setTimeLeft(150);
    EXPECT_EQ(h.game.moveTimeMs(), 7500u);   // 150 s over the 20 moves left

    h.game.setLevel(20, 5, 0);
    h.game.setTimeLeft(150);
    EXPECT_EQ(h.game.moveTimeMs(), 7500u);   // a new control starts: all 20 moves left
}

TEST(TimeControl, NegativeMovesPerControlMeanTheWholeGame)
{
    GameHarness h;
    // The interface's -1, read as an unsigned number, would make k + 1 wrap to 0.
    h.game.setLevel(static_cast<std::uint32_t>(-1), 5, 0);
    EXPECT_EQ(h.game.moveTimeMs(), 10000u);
    EXPECT_EQ(h.game.movesPerControl(), 0u);
    h.force(firstHalfMoves(2));
    h.game.setTimeLeft(300);
    EXPECT_EQ(h.game.moveTimeMs(), 3000u);
}

TEST(TimeControl, HugeLevelsAndClocksAreCappedNotWrapped)
{
    GameHarness h;
    h.game.setLevel(0, 4000000, 0);             // 8e9 ms does not fit 32 bits
    EXPECT_EQ(h.game.moveTimeMs(), UINT32_MAX);
    h.game.setLevel(1, 4000000, 0);
    EXPECT_EQ(h.game.moveTimeMs(), UINT32_MAX);
    h.force(firstHalfMoves(2));
    h.game.setTimeLeft(UINT32_MAX);              // a twentieth of it, in ms, is too big as well
    EXPECT_EQ(h.game.moveTimeMs(), UINT32_MAX);
}

TEST(TimeControl, EarlierReleaseDividesByMoreAndKeepsNoMovesPerControl)
{
    GameHarness h(earlierRelease());
    h.game.setLevel(0, 5, 0);
    EXPECT_EQ(h.game.moveTimeMs(), 2000u);   // 300 s / 111
    h.game.setLevel(40, 5, 0);
    EXPECT_EQ(h.game.moveTimeMs(), 7000u);
    EXPECT_EQ(h.game.movesPerControl(), 0u);

    // So the clock is shared out as in a game without moves per control.
    h.force(kTwentyMoves);
    h.game.setTimeLeft(150);
    EXPECT_EQ(h.game.moveTimeMs(), 5000u);   // twenty moves played: a thirtieth
}
