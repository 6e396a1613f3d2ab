#include <gtest/gtest.h>

#include <tuple>

#include "support/board_helpers.h"

namespace {

// Everything make/unmake must restore: squares, rights, en passant and clocks (in the FEN),
// key, material, piece counts, the last move and the castled flags.
auto snapshot(const Board_class& b)
{
    return std::tuple{fenOf(b), b.hashKey, b.materialBalance, b.pieceCount(WHITE), b.pieceCount(BLACK),
                      b.lastMove, b.hasCastled[0], b.hasCastled[1]};
}

// Walks the whole tree: after every make (and a null move at every node) the
// board is consistent, its key equal to the computed key; after every unmake
// everything is as before.
void checkTree(Board_class& board, int depth, int& failures)
{
    if (depth == 0 || failures > 0)
        return;
    MoveList list;
    list.setSide(board.sideToMove);
    board.generateMoves(list);
    const auto before = snapshot(board);
    auto check = [&](const std::string& what, bool restored) {
        char why[128] = "";
        if (!board.isConsistent(why, sizeof why) || !restored) {
            ADD_FAILURE() << what << " from " << std::get<0>(before) << ": " << (restored ? why : "not restored");
            ++failures;
        }
    };
    board.makeNullMove(list.record);
    board.sideToMove = list.opponent;
    check("null move", true);
    board.unmakeNullMove(list.record);
    board.sideToMove = list.side;
    check("null move undone", snapshot(board) == before);
    for (std::uint32_t i = 0; i < list.captureCount + list.nonCaptureCount; ++i) {
        const Move move = i < list.captureCount ? list.captures[i] : list.nonCaptures[i - list.captureCount];
        list.record.move = move;
        board.makeMove(list.record);
        board.sideToMove = list.opponent;
        check(textOf(move), true);
        checkTree(board, depth - 1, failures);
        board.unmakeMove(list.record);
        board.sideToMove = list.side;
        check(textOf(move) + " undone", snapshot(board) == before);
    }
}

} // namespace

TEST(MakeMove, WholeTreesRestoreEverythingAndKeepTheKey)
{
    const std::pair<const char*, int> positions[] = {
        {START_FEN, 4},
        {"r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1", 3},
        {"8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1", 4},
        {"r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1", 3},
        {"rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8", 3},
    };
    for (const auto& [fen, depth] : positions) {
        int failures = 0;
        checkTree(*boardFrom(fen), depth, failures);
        EXPECT_EQ(failures, 0) << fen;
    }
}

TEST(MakeMove, RightsEnPassantClockAndPiecesAfterAMove)
{
    const char* const rooks = "r3k2r/8/8/8/8/8/6B1/R3K2R w KQkq - 0 1";
    const char* const cases[][3] = {
        {rooks, "g2a8", "B3k2r/8/8/8/8/8/8/R3K2R b KQk - 0 1"},   // the rook taken at home
        {rooks, "e1f1", "r3k2r/8/8/8/8/8/6B1/R4K1R b kq - 1 1"},
        {rooks, "a1b1", "r3k2r/8/8/8/8/8/6B1/1R2K2R b Kkq - 1 1"},
        {"r3k2r/8/8/8/8/8/8/R3K2R b KQkq - 0 1", "e8c8", "2kr3r/8/8/8/8/8/8/R3K2R w KQ - 1 1"},
        {"rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1", "g8f6",
         "rnbqkb1r/pppppppp/5n2/8/4P3/8/PPPP1PPP/RNBQKBNR w KQkq - 1 1"},
        {"1r2k3/P7/8/8/8/8/8/4K3 w - - 5 40", "a7b8q", "1Q2k3/8/8/8/8/8/8/4K3 b - - 0 40"},
    };
    for (const auto& [fen, move, after] : cases) {
        auto board = boardFrom(fen);
        play(*board, move);
        EXPECT_EQ(fenOf(*board), after) << move;
        EXPECT_TRUE(board->isConsistent()) << move;
    }
}
