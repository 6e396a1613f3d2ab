// The search cycle: a search thread watched by a timer thread, stopped by the
// timer, by the input thread, or by itself. Nothing here asserts how fast a search is.
#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "support/board_helpers.h"
#include "support/game_harness.h"
#include "support/referee.h"

namespace {

// The position after replaying the moves on a fresh board.
std::string positionAfter(const std::vector<std::string>& moves)
{
    Referee referee;
    for (const std::string& move : moves) {
        std::string why;
        EXPECT_TRUE(referee.play(move, why)) << move << ": " << why;
    }
    return withoutCounters(referee.fen());
}

// Playing, with a budget no test waits for (20 minutes a move) unless `seconds` is given.
void playing(GameHarness& h, std::uint32_t seconds = 0)
{
    h.game.thinkAfterUserMove = true;
    h.game.playMoveWhenDone = true;
    if (seconds == 0)
        h.game.setLevel(0, 600, 0);
    else
        h.game.setTimeLeft(seconds);
}

} // namespace

// The timer stopping a search at its budget, the move played: PlayThrough.OneControllerPlaysBothSides.

TEST(SearchCycle, MoveNowAnswersAtOnceWithTheBestMoveSoFar)
{
    GameHarness h;
    playing(h);
    h.game.startThinking();
    ASSERT_TRUE(h.waitForReportDepth(3));
    h.game.stopSearch();
    // The move is out when stopSearch returns: no waiting for it.
    const std::vector<std::string> moves = movesOf(h.gui.events());
    ASSERT_EQ(moves.size(), 1u);
    ASSERT_FALSE(h.gui.reports().back().pv.empty());
    EXPECT_EQ(moves[0], textOf(h.gui.reports().back().pv[0]));   // the final line's first move
    h.game.stopSearch();   // nothing is running now: nothing happens
    h.game.stopAll();
    EXPECT_EQ(h.game.historyCount(), 1u);
}

TEST(SearchCycle, ForcedMoveDuringASearchEndsItWithoutItsMove)
{
    GameHarness h;
    playing(h);
    h.game.startThinking();
    ASSERT_TRUE(h.waitForReportDepth(1));
    h.game.playMoveWhenDone = false;   // "force" lets the search run on
    h.game.thinkAfterUserMove = false;
    EXPECT_EQ(h.game.userMove("d2d4"), MOVE_ACCEPTED);
    EXPECT_FALSE(h.game.cycleOpen());
    EXPECT_TRUE(movesOf(h.gui.events()).empty());
    EXPECT_EQ(withoutCounters(h.fen()), positionAfter({"d2d4"}));
}

TEST(SearchCycle, MateFoundEarlyIsPlayedAtOnce)
{
    GameHarness h;
    h.game.setPosition("2r3k1/pp3ppp/4p3/3pP3/3P4/P4N2/1P3PPP/2R3K1 b - - 4 28");
    playing(h);
    h.game.startThinking();
    ASSERT_TRUE(h.waitForEvents("move"));   // long before the budget
    EXPECT_EQ(h.gui.events(), std::vector<std::string>{"move c8c1"});
    EXPECT_EQ(h.game.userMove("f3e1"), MOVE_ACCEPTED);   // the only reply; the engine mates at once
    ASSERT_TRUE(h.waitForEvents("result"));
    h.game.stopAll();
    EXPECT_EQ(h.gui.events(), (std::vector<std::string>{"move c8c1", "move c1e1", "result 1"}));
}

TEST(SearchCycle, AnOldTimerNeverStopsALaterSearch)
{
    GameHarness h;
    playing(h, 100);   // first search: a one-second budget, but it ends by itself long before
    ASSERT_EQ(h.game.moveTimeMs(), 1000u);
    ownMoveDepth(h.game, 1);
    const auto firstStarted = std::chrono::steady_clock::now();
    h.game.startThinking();
    ASSERT_TRUE(h.waitForEvents("move"));

    // The opponent answers before that second is over; the next search has all the time there is.
    ownMoveDepth(h.game, 0);
    playing(h);
    auto board = boardFrom(START_FEN);
    play(*board, movesOf(h.gui.events())[0]);
    ASSERT_EQ(h.game.userMove(moveTexts(*generate(*board))[0].c_str()), MOVE_ACCEPTED);
    // Well past the first budget the second search is still thinking.
    std::this_thread::sleep_until(firstStarted + std::chrono::milliseconds(2500));
    EXPECT_EQ(movesOf(h.gui.events()).size(), 1u);
    h.game.stopSearch();
    EXPECT_EQ(movesOf(h.gui.events()).size(), 2u);
    h.game.stopAll();
}

TEST(SearchCycle, ManyRapidCyclesNeverHangAndKeepTheGameRight)
{
    GameHarness h;
    std::mt19937 random(20240611);
    std::vector<std::string> played;   // every move of the game, both sides, in order
    std::size_t enginesSeen = 0;
    // Engine moves join the record in the order they were announced.
    auto collect = [&] {
        const std::vector<std::string> moves = movesOf(h.gui.events());
        for (; enginesSeen < moves.size(); ++enginesSeen)
            played.push_back(moves[enginesSeen]);
    };

    h.game.setLevel(40, 5, 0);
    for (int cycle = 0; cycle < 400; ++cycle) {
        const bool announces = random() % 4 != 0;
        h.game.playMoveWhenDone = announces;
        h.game.thinkAfterUserMove = random() % 2 == 0;
        h.game.setTimeLeft(random() % 2);   // 0 ms or a short share of one second
        const std::size_t announced = h.gui.events().size();
        const unsigned action = random() % 5;   // 0-1: move now, 2: stop all, 3: left to the timer, 4: a user move
        // A game that is over has had its result: a search there announces nothing.
        auto canMove = [&] {
            h.game.stopAll();   // as startThinking does first: the board stands still
            Board_class scratch;
            scratch.copyFrom(h.game.board());
            return !moveTexts(*generate(scratch)).empty();
        };
        const bool answers = announces && action == 3 && canMove();
        if (action < 4)
            h.game.startThinking();
        if (action < 2)
            h.game.stopSearch();
        else if (action == 2)
            h.game.stopAll();
        else if (action == 3) {   // the next command closes the cycle
            ASSERT_TRUE(!answers || h.waitForEvents("", announced + 1)) << cycle;
        }
        if (action < 4)
            continue;
        h.game.stopAll();
        collect();
        Board_class scratch;
        scratch.copyFrom(h.game.board());
        const std::vector<std::string> texts = moveTexts(*generate(scratch));
        if (!texts.empty()) {
            played.push_back(texts[random() % texts.size()]);
            ASSERT_EQ(h.game.userMove(played.back().c_str()), MOVE_ACCEPTED) << played.back();
        }
        if (texts.empty() || h.game.historyCount() > 150) {   // a new game
            h.game.stopAll();
            h.game.newGame();
            h.gui.clear();
            played.clear();
            enginesSeen = 0;
        }
    }
    h.game.stopAll();
    collect();
    EXPECT_EQ(h.game.historyCount(), played.size());
    EXPECT_EQ(withoutCounters(h.fen()), positionAfter(played));
}

TEST(SearchCycle, TableStatisticsGoToStandardErrorUnlessThePolicyLeavesThemOut)
{
    // The documented engine writes them after every search; the full mode only when asked.
    for (const bool full : {false, true}) {
        for (const bool asked : {false, true}) {
            RecordingGui gui;
            Game_class game(&gui, DEFAULT_HASH_BYTES, currentRelease().game, full ? PlayPolicy::full() : PlayPolicy{});
            ASSERT_TRUE(game.init());
            game.setInlineSearchDepth(2);
            testing::internal::CaptureStderr();
            if (asked) {
                PlayOptions options = game.options();
                options.tableStatistics = true;
                game.setOptions(options);
            }
            game.playMoveWhenDone = true;
            game.startThinking();
            const std::string written = testing::internal::GetCapturedStderr();
            EXPECT_EQ(written.find("HashTable Statistics") != std::string::npos, !full || asked) << full << asked;
            EXPECT_EQ(written.empty(), full && !asked) << written;
        }
    }
}
