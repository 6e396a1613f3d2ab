// What the earlier release 0.4.13.1 does differently, each difference checked
// against the current release on the same input.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "app/config.h"
#include "game/game.h"
#include "protocol/winboard_v2.h"
#include "support/board_helpers.h"
#include "support/memory_streams.h"
#include "support/search_harness.h"

namespace {

std::int32_t evaluationOf(const std::string& fen, const ReleaseProfile& release)
{
    SearchHarness h(fen, release);
    return h.search->staticEvaluation();
}

// Black's view of a position reached by playing moves from a FEN.
std::int32_t evaluationAfter(const std::string& fen, const std::vector<std::string>& moves,
                             const ReleaseProfile& release)
{
    SearchHarness h(fen, release);
    Board_class& board = h.search->board();
    for (const std::string& move : moves)
        play(board, move);
    h.search->assignSides(board.sideToMove);
    return h.search->staticEvaluation();
}

// A WinBoard front end on a real game, for commands whose effect is internal.
struct FrontEndOnGame {
    explicit FrontEndOnGame(const ReleaseProfile& release, std::vector<const char*> options = {})
        : frontEnd(streams.input(), streams.output(), release), game(&frontEnd, &config, release)
    {
        if (!options.empty())
            config.parseCommandLine(static_cast<int>(options.size()), options.data());
        EXPECT_EQ(game.init(), 0);
        frontEnd.run(&game);   // starts a new game; the empty input ends the loop at once
    }
    void send(const char* line) { frontEnd.dispatchCommand(line); }

    MemoryStreams streams{""};
    Config_class config;
    WinBoardInterfaceV2_class frontEnd;
    Game_class game;
};

} // namespace

TEST(EarlierRelease, EvaluationTermsThatChanged)
{
    struct Case {
        const char* what;
        const char* fen;
        std::int32_t current;
        std::int32_t earlier;
    };
    const Case cases[] = {
        {"bishop pair", "4k3/8/8/8/8/8/P7/2b1Kb2 w - - 0 20", -521, -510},
        {"castling rights lost", "r3k2r/8/8/8/8/8/8/R3K2R w kq - 0 19", 13, 0},
        {"castling rights kept", "r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 19", 38, 0},
        {"pawn on d2", "4k3/7p/8/8/8/8/3P4/4K3 w - - 0 5", -20, 0},
        {"pawn on c4", "4k3/7p/8/8/2P5/8/8/4K3 w - - 0 5", 8, 15},
        {"opening knight", "4k3/7p/8/8/8/8/8/N3K3 w - - 0 5", 180, 189},
        {"opening bishop", "4k3/7p/8/8/8/8/8/2B1K3 w - - 0 5", 209, 203},
        {"opening rook", "4k3/7p/8/8/8/8/8/R3K3 w - - 0 5", 412, 400},
        {"late queen", "4k3/7p/8/8/8/8/8/3QK3 w - - 0 25", 861, 810},
        {"late rook", "4k3/7p/8/8/8/8/8/R3K3 w - - 0 25", 430, 420},
        {"late knight", "4k3/7p/8/8/8/8/8/N3K3 w - - 0 25", 193, 208},
        {"pawn blocked by an enemy", "4k3/7p/8/8/8/3p4/3P4/4K3 w - - 0 25", -118, -104},
        {"pawn blocked by its own", "4k3/7p/8/8/8/3N4/3P4/4K3 w - - 0 25", 323, 322},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(evaluationOf(c.fen, currentRelease()), c.current) << c.what;
        EXPECT_EQ(evaluationOf(c.fen, earlierRelease()), c.earlier) << c.what;
    }
    // The passed-pawn bonus starts at move 31 in one release, 36 in the other.
    const char* pawn31 = "4k3/P7/8/8/8/8/8/4K3 w - - 0 31";
    const char* pawn36 = "4k3/P7/8/8/8/8/8/4K3 w - - 0 36";
    EXPECT_EQ(evaluationOf(pawn36, currentRelease()), evaluationOf(pawn31, currentRelease()));
    EXPECT_EQ(evaluationOf(pawn36, earlierRelease()) - evaluationOf(pawn31, earlierRelease()), 150);
}

TEST(EarlierRelease, EarlyQueenAndKingMovesCostMore)
{
    // The same placement, once with the white queen moved once, once loaded there.
    for (const auto& [release, perMove] : {std::pair{&currentRelease(), 2}, std::pair{&earlierRelease(), 5}}) {
        const std::int32_t moved = evaluationAfter("4k3/7p/8/8/8/8/8/3QK3 w - - 0 5", {"d1d2"}, *release);
        const std::int32_t placed = evaluationOf("4k3/7p/8/8/8/8/3Q4/4K3 b - - 0 5", *release);
        EXPECT_EQ(moved - placed, perMove);
    }
    for (const auto& [release, perMove] : {std::pair{&currentRelease(), 3}, std::pair{&earlierRelease(), 20}}) {
        const std::int32_t moved =
            evaluationAfter("4k3/7p/8/8/8/8/8/4K3 w - - 0 5", {"e1e2", "h7h6", "e2e1"}, *release);
        const std::int32_t placed = evaluationOf("4k3/8/7p/8/8/8/8/4K3 b - - 0 5", *release);
        EXPECT_EQ(moved - placed, 2 * perMove);
    }
}

TEST(EarlierRelease, NullMoveNeedsOnlyTwoMoves)
{
    const char* twoMoves = "7k/7p/8/3b4/8/8/8/K7 w - - 0 1";   // Ka1: b1 and b2 only
    SearchHarness current(twoMoves, currentRelease());
    current.rootSearch(3);
    EXPECT_EQ(current.search->nullMoveTries(), 0u);
    SearchHarness earlier(twoMoves, earlierRelease());
    earlier.rootSearch(3);
    EXPECT_EQ(earlier.search->nullMoveTries(), 1u);
}

TEST(EarlierRelease, CutOffsAndStandPatReturnTheScore)
{
    // White is a rook up: a search with beta 0 fails high. The replies are
    // quiescence nodes without captures, which return their evaluation.
    const char* fen = "4k3/8/8/8/8/8/8/R3K3 w - - 0 30";
    EXPECT_EQ(SearchHarness(fen, currentRelease()).search->alphaBeta(0, 1, -INFINITE_SCORE, 0), 0);
    EXPECT_GT(SearchHarness(fen, earlierRelease()).search->alphaBeta(0, 1, -INFINITE_SCORE, 0), 400);
    // Stand pat with a capture on the board (Rxa2) and quiet moves besides.
    const char* standPat = "4k3/8/8/8/8/8/p7/R3K3 w - - 0 30";
    EXPECT_EQ(SearchHarness(standPat, currentRelease()).search->quiesce(0, -INFINITE_SCORE, 0), 0);
    EXPECT_GT(SearchHarness(standPat, earlierRelease()).search->quiesce(0, -INFINITE_SCORE, 0), 300);
}

TEST(EarlierRelease, NoWindowForASideThatCannotMate)
{
    // White has a knight more but cannot mate; Black can. The current release
    // caps White's score at 0 (the quiescence node needs a capture, Nxb3, to
    // reach the stand pat).
    const char* fen = "4k3/7p/8/8/8/1p6/8/N3K3 w - - 0 30";
    EXPECT_EQ(SearchHarness(fen, currentRelease()).search->quiesce(0, -INFINITE_SCORE, INFINITE_SCORE), 0);
    EXPECT_GT(SearchHarness(fen, earlierRelease()).search->quiesce(0, -INFINITE_SCORE, INFINITE_SCORE), 100);
}

TEST(EarlierRelease, TimeCommandLeavesTheBudgetAlone)
{
    FrontEndOnGame current(currentRelease());
    current.send("time 30000");
    EXPECT_EQ(current.game.moveTimeMs(), 3000u);   // 300 s, first move: a hundredth
    FrontEndOnGame earlier(earlierRelease());
    const std::uint32_t before = earlier.game.moveTimeMs();
    earlier.send("time 30000");
    EXPECT_EQ(earlier.game.moveTimeMs(), before);
}

TEST(EarlierRelease, LevelBudgetsAndMovesPerControl)
{
    FrontEndOnGame current(currentRelease());
    current.send("level 0 5 0");
    EXPECT_EQ(current.game.moveTimeMs(), 10000u);
    current.send("level 40 5 0");
    EXPECT_EQ(current.game.moveTimeMs(), 7000u);
    EXPECT_EQ(current.game.movesPerControl(), 40u);

    FrontEndOnGame earlier(earlierRelease());
    earlier.send("level 0 5 0");
    EXPECT_EQ(earlier.game.moveTimeMs(), 2000u);   // 300 / 111 = 2 s
    earlier.send("level 40 5 0");
    EXPECT_EQ(earlier.game.moveTimeMs(), 7000u);
    EXPECT_EQ(earlier.game.movesPerControl(), 0u);
}

TEST(EarlierRelease, NewKeepsThinkingOffAfterForce)
{
    FrontEndOnGame current(currentRelease());
    current.send("force");
    current.send("new");
    EXPECT_TRUE(current.game.thinkAfterUserMove);
    EXPECT_TRUE(current.game.playMoveWhenDone);

    FrontEndOnGame earlier(earlierRelease());
    earlier.send("force");
    earlier.send("new");
    EXPECT_FALSE(earlier.game.thinkAfterUserMove);
    EXPECT_TRUE(earlier.game.playMoveWhenDone);
}

TEST(EarlierRelease, SmallTablesAreAccepted)
{
    FrontEndOnGame current(currentRelease(), {"-C", "1"});
    EXPECT_EQ(current.game.hashTable()->tableSize(), 8388608u);
    FrontEndOnGame earlier(earlierRelease(), {"-C", "1"});
    EXPECT_EQ(earlier.game.hashTable()->tableSize(), 1048576u);
}

// A stop that lands in an iteration before any root move has finished makes
// the earlier release search that iteration again, the last time with the
// stop held off: the search still ends, with a move from the finished search.
TEST(EarlierRelease, StoppedIterationIsFinishedByAForcedThirdSearch)
{
    const char* fen = "r1b1k2r/ppppqppp/2n2n2/2b1p3/2B1P3/2NP1N2/PPP2PPP/R1BQK2R w KQkq - 1 6";
    bool forced = false;
    for (int attempt = 0; attempt < 40 && !forced; ++attempt) {
        SearchHarness h(fen, earlierRelease());
        h.search->setDepthLimit(64);
        std::thread searching([&] { h.search->iterativeDeepening(); });
        std::this_thread::sleep_for(std::chrono::milliseconds(5 + 13 * attempt));
        h.search->stop();
        searching.join();
        if (h.search->forcedResearches() == 0)
            continue;
        forced = true;
        ASSERT_GT(h.search->bestLineLength(), 0u);
        EXPECT_NE(resolve(*boardFrom(fen), textOf(h.search->bestMove())), NO_MOVE);
    }
    EXPECT_TRUE(forced) << "no stop landed before the first root move of an iteration";

    SearchHarness current(fen, currentRelease());
    current.search->setDepthLimit(64);
    std::thread searching([&] { current.search->iterativeDeepening(); });
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    current.search->stop();
    searching.join();
    EXPECT_EQ(current.search->forcedResearches(), 0u);
}
