#include <gtest/gtest.h>

#include "support/board_helpers.h"

namespace {

struct Snapshot {
    std::string fen;
    std::uint64_t key;
    std::int32_t material;
    std::uint32_t counts[2];
    Move lastMove;
    std::uint8_t castled[2];

    explicit Snapshot(const Board_class& b)
        : fen(fenOf(b)), key(b.hashKey), material(b.materialBalance),
          counts{b.pieceCount(WHITE), b.pieceCount(BLACK)}, lastMove(b.lastMove),
          castled{b.hasCastled[0], b.hasCastled[1]}
    {
    }
    bool operator==(const Snapshot& o) const
    {
        return fen == o.fen && key == o.key && material == o.material && counts[0] == o.counts[0] &&
               counts[1] == o.counts[1] && lastMove == o.lastMove && castled[0] == o.castled[0] &&
               castled[1] == o.castled[1];
    }
};

// Walks the whole tree: after every make the key equals the computed key and
// the board is consistent; after every unmake everything is as before.
void checkTree(Board_class& board, int depth, int& failures)
{
    if (depth == 0 || failures > 0)
        return;
    MoveList list;
    list.setSide(board.sideToMove);
    board.generateMoves(list);
    const Snapshot before(board);
    auto visit = [&](Move move) {
        list.record.move = move;
        board.makeMove(list.record);
        board.sideToMove = list.opponent;
        char why[128] = "";
        if (!board.isConsistent(why, sizeof why)) {
            ADD_FAILURE() << textOf(move) << " from " << before.fen << ": " << why;
            ++failures;
        }
        checkTree(board, depth - 1, failures);
        board.unmakeMove(list.record);
        board.sideToMove = list.side;
        if (!(Snapshot(board) == before)) {
            ADD_FAILURE() << "unmake of " << textOf(move) << " did not restore " << before.fen;
            ++failures;
        }
    };
    for (std::uint32_t i = 0; i < list.captureCount; ++i)
        visit(list.captures[i]);
    for (std::uint32_t i = 0; i < list.nonCaptureCount; ++i)
        visit(list.nonCaptures[i]);
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

TEST(MakeMove, CastlingRightsFollowKingsAndRooks)
{
    auto board = boardFrom("r3k2r/8/8/8/8/8/6B1/R3K2R w KQkq - 0 1");
    const MoveRecord takeRook = play(*board, "g2a8");
    EXPECT_EQ(board->castlingRights, CASTLE_WK | CASTLE_WQ | CASTLE_BK);
    board->unmakeMove(takeRook);
    board->sideToMove = WHITE;
    EXPECT_EQ(board->castlingRights, 15u);

    const MoveRecord king = play(*board, "e1f1");
    EXPECT_EQ(board->castlingRights, CASTLE_BK | CASTLE_BQ);
    board->unmakeMove(king);
    board->sideToMove = WHITE;
    play(*board, "a1b1");
    EXPECT_EQ(board->castlingRights, CASTLE_WK | CASTLE_BK | CASTLE_BQ);

    auto castle = boardFrom("r3k2r/8/8/8/8/8/8/R3K2R b KQkq - 0 1");
    play(*castle, "e8c8");
    EXPECT_EQ(fenOf(*castle), "2kr3r/8/8/8/8/8/8/R3K2R w KQ - 1 1");
    EXPECT_EQ(castle->hasCastled[1], 1);
}

TEST(MakeMove, EnPassantSquareLivesForOneMove)
{
    auto board = boardFrom(START_FEN);
    play(*board, "e2e4");
    EXPECT_EQ(board->enPassantSquare, 20);
    const MoveRecord reply = play(*board, "g8f6");
    EXPECT_EQ(board->enPassantSquare, NO_SQUARE);
    board->unmakeMove(reply);
    EXPECT_EQ(board->enPassantSquare, 20);
}

TEST(MakeMove, PromotionWithCaptureIsUndoneCompletely)
{
    auto board = boardFrom("1r2k3/P7/8/8/8/8/8/4K3 w - - 5 40");
    const Snapshot before(*board);
    const MoveRecord record = play(*board, "a7b8q");
    EXPECT_EQ(board->materialBalance, 910);
    EXPECT_EQ(board->block(WHITE).typeCount[QUEEN], 1u);
    EXPECT_EQ(board->block(WHITE).typeCount[PAWN], 0u);
    EXPECT_EQ(board->pieceCount(BLACK), 1u);
    EXPECT_EQ(board->halfmoveClock, 0);
    board->unmakeMove(record);
    board->sideToMove = WHITE;
    EXPECT_TRUE(Snapshot(*board) == before);
    const Piece_class* pawn = board->pieceAt(48);
    EXPECT_EQ(pawn->type, PAWN);
    EXPECT_EQ(pawn->value, 100);
    EXPECT_EQ(pawn->code, 5u);
    EXPECT_EQ(board->block(WHITE).typeCount[PAWN], 1u);
    EXPECT_EQ(board->halfmoveClock, 5);
}

TEST(MakeMove, NullMoveChangesOnlyKeyAndEnPassant)
{
    auto board = boardFrom("rnbqkbnr/pppp1ppp/8/4p3/4P3/8/PPPP1PPP/RNBQKBNR w KQkq e6 0 2");
    const Snapshot before(*board);
    MoveRecord record;
    board->makeNullMove(record);
    board->sideToMove = BLACK;
    EXPECT_EQ(board->enPassantSquare, NO_SQUARE);
    EXPECT_EQ(board->hashKey, board->computedHashKey());
    EXPECT_EQ(board->halfmoveClock, 0);
    board->unmakeNullMove(record);
    board->sideToMove = WHITE;
    EXPECT_TRUE(Snapshot(*board) == before);
}
