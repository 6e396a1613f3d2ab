#include <gtest/gtest.h>

#include "search/move_picker.h"
#include "search/search_team.h"
#include "support/board_helpers.h"
#include "support/search_harness.h"

TEST(Search, MatesAreScoredByTheirDistance)
{
    SearchHarness h("2r3k1/pp3ppp/4p3/3pP3/3P4/P4N2/1P3PPP/2R3K1 b - - 4 28");
    h.deepen(10);
    EXPECT_EQ(h.search->bestScore(), 99996);
    EXPECT_EQ(textOf(h.search->bestMove()), "c8c1");
    // Found in iteration 2 thanks to the check extension; the final report shows one less.
    EXPECT_EQ(h.gui.reports().back().depth, 1);
    // Ka8-b8 is the only move, and Rh8 mates.
    EXPECT_EQ(SearchHarness("K7/8/1k6/8/8/8/8/7r w - - 0 1").rootSearch(2), -99997);
}

// With two moves there is none (EarlierRelease.NullMoveNeedsOnlyTwoMoves).
TEST(Search, NullMoveIsTriedWithThreeGeneratedMoves)
{
    SearchHarness four("7k/7p/8/3b4/8/8/7P/K7 w - - 0 1");
    four.rootSearch(3);
    EXPECT_EQ(four.search->nullMoveTries(), 1u);
}

TEST(Search, SingleReplyIsSearchedOnePlyDeeper)
{
    SearchHarness h("7k/1r6/8/8/8/8/8/K7 w - - 0 1");   // Ka1-a2 is the only move
    h.rootSearch(1);
    EXPECT_EQ(h.search->singleReplyExtensions(), 1u);
    ASSERT_FALSE(h.gui.reports().empty());
    EXPECT_EQ(h.gui.reports().front().depth, 2);
}

TEST(Search, RepeatedGamePositionsScoreZeroBelowTheRootOnly)
{
    const char* fen = "4k3/8/8/3q4/8/8/3R4/4K3 w - - 0 1";
    SearchHarness plain(fen);
    plain.deepen(2);
    EXPECT_GT(plain.search->bestScore(), 300);   // the rook wins the queen

    SearchHarness fixed(fen);
    auto board = boardFrom(fen);
    play(*board, "d2d5");
    fixed.table->fixPosition(board->hashKey);
    fixed.deepen(2);
    EXPECT_EQ(fixed.search->bestScore(), 0);     // taking the queen repeats the game: a draw

    SearchHarness root(fen);
    root.table->fixPosition(root.search->board().hashKey);
    root.deepen(2);
    EXPECT_EQ(root.search->bestScore(), plain.search->bestScore());

    // A root handed over with the fifty-move clock run out is still searched:
    // every quiet move draws, taking the queen does not.
    SearchHarness fifty("4k3/8/8/3q4/8/8/3R4/4K3 w - - 100 80");
    fifty.deepen(3);
    EXPECT_GT(fifty.search->bestScore(), 300);
    EXPECT_EQ(textOf(fifty.search->bestMove()), "d2d5");
}

TEST(MovePicker, PreferredCapturesKillersThenQuietMovesEachOnce)
{
    SearchHarness h("4k3/8/3p1p2/8/4N3/8/8/4K3 w - - 0 1");
    SearchPly& root = h.search->ply(0);
    h.search->board().generateMoves(root);
    ASSERT_EQ(root.captureCount, 2u);
    const std::vector<Move> quiet(root.nonCaptures, root.nonCaptures + root.nonCaptureCount);
    EXPECT_EQ(textOf(root.captures[0]), "e4f6");
    root.pv[0] = root.captures[0];   // a capture as the preferred move
    root.killer1 = quiet[0];         // e4c5
    root.killer2 = root.captures[0]; // already searched: not found again

    std::vector<std::string> order;
    MovePicker picker(root, h.search->board(), h.search->board().lastMove, MovePicker::Walk::AllMoves);
    while (picker.hasMoreMoves() && picker.nextMove())
        order.push_back(textOf(root.record.move));
    std::vector<std::string> expected = {"e4f6", "e4d6", "e4c5"};
    for (std::size_t i = quiet.size(); i-- > 1;)
        expected.push_back(textOf(quiet[i]));   // the rest from the end of the list
    EXPECT_EQ(order, expected);
}

TEST(Search, SeveralThreadsShareOutANodeLimitAndReportTheirNodesTogether)
{
    SearchHarness h("r1bqkb1r/pppp1ppp/2n2n2/4p3/2B1P3/5N2/PPPP1PPP/RNBQK2R w KQkq - 4 4");
    SearchTeam team(*h.search);
    team.setThreads(3);
    h.search->setNodeLimit(300000);
    h.search->arm();
    team.run();
    const std::uint64_t total = h.search->nodeCount() + team.helperNodes();
    EXPECT_GT(team.helperNodes(), 0u);
    EXPECT_LE(total, 300000u);   // each thread stops at its share
    // The last line counts the helpers' nodes as far as they had got.
    ASSERT_FALSE(h.gui.reports().empty());
    EXPECT_GE(h.gui.reports().back().nodes, h.search->nodeCount());
    EXPECT_LE(h.gui.reports().back().nodes, total);
    EXPECT_NE(h.search->bestMove(), NO_MOVE);
    // A team of one thread is the search alone, node for node.
    SearchHarness one(START_FEN), alone(START_FEN);
    SearchTeam single(*one.search);
    single.setThreads(1);
    one.search->setDepthLimit(5);
    one.search->arm();
    single.run();
    alone.deepen(5);
    EXPECT_EQ(one.search->nodeCount(), alone.search->nodeCount());
}

TEST(Search, ASearchCutShortInItsFirstIterationKeepsWhatItFound)
{
    // The first search ends with a large score; the next, of another position,
    // is cut short by its node limit before its first iteration ends: the move
    // it found counts, whatever the score of the search before.
    SearchHarness h("6k1/5ppp/8/8/8/8/5PPP/3Q2K1 w - - 0 1");
    h.deepen(4);
    ASSERT_GT(h.search->bestScore(), 500);
    ASSERT_EQ(h.search->setUpFromFen(&h.gui, START_FEN, h.table.get()), CE_SUCCESS);
    h.search->setNodeLimit(3);
    h.deepen(10);
    EXPECT_GT(h.search->bestLineLength(), 0u);
    EXPECT_NE(h.search->bestMove(), NO_MOVE);
}
