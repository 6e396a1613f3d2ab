// What the earlier release does differently, each difference checked
// against the current release on the same input.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <tuple>

#include "protocol/winboard_v2.h"
#include "support/game_harness.h"
#include "support/search_harness.h"

namespace {

const ReleaseProfile* const kReleases[] = {&currentRelease(), &earlierRelease()};

// The static evaluation after playing `moves` from `fen` (for the side then to move).
std::int32_t evaluationOf(const std::string& fen, const ReleaseProfile& release,
                          const std::vector<std::string>& moves = {})
{
    SearchHarness h(fen, release);
    for (const std::string& move : moves)
        play(h.search->board(), move);
    h.search->assignSides(h.search->board().sideToMove);
    return h.search->staticEvaluation();
}

using FrontEnd = FrontEndOnGame<WinBoardInterfaceV2_class>;

std::int32_t quiesce(const char* fen, const ReleaseProfile& release, std::int32_t beta)
{
    return SearchHarness(fen, release).search->quiesce(0, -INFINITE_SCORE, beta);
}

} // namespace

TEST(EarlierRelease, EvaluationTermsThatChanged)
{
    // What, where, and the evaluation in the current and the earlier release.
    const std::tuple<const char*, const char*, std::int32_t, std::int32_t> cases[] = {
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
    for (const auto& [what, fen, current, earlier] : cases) {
        EXPECT_EQ(evaluationOf(fen, currentRelease()), current) << what;
        EXPECT_EQ(evaluationOf(fen, earlierRelease()), earlier) << what;
    }
    // The passed-pawn bonus starts at move 31 in one release, 36 in the other.
    for (const auto& [release, from31, from36] : {std::tuple{kReleases[0], 150, 0}, std::tuple{kReleases[1], 0, 150}}) {
        const std::int32_t at30 = evaluationOf("4k3/P7/8/8/8/8/8/4K3 w - - 0 30", *release);
        const std::int32_t at31 = evaluationOf("4k3/P7/8/8/8/8/8/4K3 w - - 0 31", *release);
        EXPECT_EQ(at31 - at30, from31);
        EXPECT_EQ(evaluationOf("4k3/P7/8/8/8/8/8/4K3 w - - 0 36", *release) - at31, from36);
    }
}

TEST(EarlierRelease, EarlyQueenAndKingMovesCostMore)
{
    // The same placement, once reached by moves, once loaded there.
    for (const auto& [release, queenMove, kingMove] : {std::tuple{kReleases[0], 2, 3}, std::tuple{kReleases[1], 5, 20}}) {
        EXPECT_EQ(evaluationOf("4k3/7p/8/8/8/8/8/3QK3 w - - 0 5", *release, {"d1d2"}) -
                      evaluationOf("4k3/7p/8/8/8/8/3Q4/4K3 b - - 0 5", *release),
                  queenMove);
        EXPECT_EQ(evaluationOf("4k3/7p/8/8/8/8/8/4K3 w - - 0 5", *release, {"e1e2", "h7h6", "e2e1"}) -
                      evaluationOf("4k3/8/7p/8/8/8/8/4K3 b - - 0 5", *release),
                  2 * kingMove);
    }
}

TEST(EarlierRelease, NullMoveNeedsOnlyTwoMoves)
{
    const char* twoMoves = "7k/7p/8/3b4/8/8/8/K7 w - - 0 1";   // Ka1: b1 and b2 only
    for (const ReleaseProfile* release : kReleases) {
        SearchHarness h(twoMoves, *release);
        h.rootSearch(3);
        EXPECT_EQ(h.search->nullMoveTries(), release == kReleases[0] ? 0u : 1u);
    }
}

TEST(EarlierRelease, CutOffsAndStandPatReturnTheScore)
{
    // White is a rook up: a search with beta 0 fails high. The replies are
    // quiescence nodes without captures, which return their evaluation.
    const char* const rookUp = "4k3/8/8/8/8/8/8/R3K3 w - - 0 30";
    EXPECT_EQ(SearchHarness(rookUp).search->alphaBeta(0, 1, -INFINITE_SCORE, 0), 0);
    EXPECT_GT(SearchHarness(rookUp, earlierRelease()).search->alphaBeta(0, 1, -INFINITE_SCORE, 0), 400);
    // Stand pat with a capture on the board (Rxa2) and quiet moves besides.
    EXPECT_EQ(quiesce("4k3/8/8/8/8/8/p7/R3K3 w - - 0 30", currentRelease(), 0), 0);
    EXPECT_GT(quiesce("4k3/8/8/8/8/8/p7/R3K3 w - - 0 30", earlierRelease(), 0), 300);
}

TEST(EarlierRelease, NoWindowForASideThatCannotMate)
{
    // White has a knight more but cannot mate; Black can. The current release
    // caps White's score at 0 (the quiescence node needs a capture, Nxb3, to
    // reach the stand pat).
    EXPECT_EQ(quiesce("4k3/7p/8/8/8/1p6/8/N3K3 w - - 0 30", currentRelease(), INFINITE_SCORE), 0);
    EXPECT_GT(quiesce("4k3/7p/8/8/8/1p6/8/N3K3 w - - 0 30", earlierRelease(), INFINITE_SCORE), 100);
}

TEST(EarlierRelease, TimeCommandLeavesTheBudgetAlone)
{
    EXPECT_EQ(FrontEnd().budgetAfter("time 30000"), 3000u);   // a hundredth
    FrontEnd earlier("", earlierRelease());
    const std::uint32_t before = earlier.game.moveTimeMs();
    EXPECT_EQ(earlier.budgetAfter("time 30000"), before);
}

TEST(EarlierRelease, LevelBudgetsAndMovesPerControl)
{
    FrontEnd current;
    EXPECT_EQ(current.budgetAfter("level 0 5 0"), 10000u);
    EXPECT_EQ(current.budgetAfter("level 40 5 0"), 7000u);
    EXPECT_EQ(current.game.movesPerControl(), 40u);

    FrontEnd earlier("", earlierRelease());
    EXPECT_EQ(earlier.budgetAfter("level 0 5 0"), 2000u);   // 300 / 111 = 2 s
    EXPECT_EQ(earlier.budgetAfter("level 40 5 0"), 7000u);
    EXPECT_EQ(earlier.game.movesPerControl(), 0u);
    // So a clock is shared out as in a game without moves per control: a
    // thirtieth of 150 s once twenty moves are played, where the current release gives 7500 ms.
    earlier.frontEnd.dispatchCommand("force");
    for (const std::string& move : quietOpening())
        ASSERT_EQ(earlier.game.userMove(move.c_str()), MOVE_ACCEPTED) << move;
    earlier.game.setTimeLeft(150);
    EXPECT_EQ(earlier.game.moveTimeMs(), 5000u);
}

TEST(EarlierRelease, NewKeepsThinkingOffAfterForce)
{
    for (const ReleaseProfile* release : kReleases) {
        FrontEnd h("force\nnew\n", *release);
        EXPECT_EQ(h.game.thinkAfterUserMove.load(), release == kReleases[0]);
        EXPECT_TRUE(h.game.playMoveWhenDone);
    }
}

TEST(EarlierRelease, SmallTablesAreAccepted)
{
    EXPECT_EQ(FrontEnd("", currentRelease(), {"-C", "1"}).game.hashTable()->tableSize(), 8388608u);
    EXPECT_EQ(FrontEnd("", earlierRelease(), {"-C", "1"}).game.hashTable()->tableSize(), 1048576u);
    EXPECT_EQ(FrontEnd("", earlierRelease(), {"-C", "0"}).game.hashTable()->tableSize(), 8388608u);
}

// A stop that lands in an iteration before any root move has finished makes
// the earlier release search that iteration again, the last time with the
// stop held off: the search still ends, with a move from the finished search.
TEST(EarlierRelease, StoppedIterationIsFinishedByAForcedThirdSearch)
{
    const char* fen = "r1b1k2r/ppppqppp/2n2n2/2b1p3/2B1P3/2NP1N2/PPP2PPP/R1BQK2R w KQkq - 1 6";
    auto stoppedAfter = [&](const ReleaseProfile& release, int ms) {
        auto h = std::make_unique<SearchHarness>(fen, release);
        h->search->setDepthLimit(64);
        std::thread searching([&] { h->search->iterativeDeepening(); });
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        h->search->stop();
        searching.join();
        return h;
    };
    bool forced = false;
    for (int attempt = 0; attempt < 40 && !forced; ++attempt) {
        const auto h = stoppedAfter(earlierRelease(), 5 + 13 * attempt);
        forced = h->search->forcedResearches() > 0;
        if (forced) {
            EXPECT_NE(resolve(*boardFrom(fen), textOf(h->search->bestMove())), NO_MOVE);
        }
    }
    EXPECT_TRUE(forced) << "no stop landed before the first root move of an iteration";
    EXPECT_EQ(stoppedAfter(currentRelease(), 100)->search->forcedResearches(), 0u);
}
