#include <gtest/gtest.h>

#include <algorithm>

#include "board/perft.h"
#include "support/board_helpers.h"

namespace {

bool contains(const std::vector<std::string>& moves, const std::string& move)
{
    return std::find(moves.begin(), moves.end(), move) != moves.end();
}

std::uint64_t perftOf(const std::string& fen, std::uint32_t depth)
{
    return perft(*boardFrom(fen), depth);
}

const char* const kKiwipete = "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1";

} // namespace

TEST(Perft, KnownCountsOfStandardPositions)
{
    const std::uint64_t start[] = {1, 20, 400, 8902, 197281};
    for (std::uint32_t d = 0; d < 5; ++d)
        EXPECT_EQ(perftOf(START_FEN, d), start[d]);
    const std::uint64_t kiwipete[] = {1, 48, 2039, 97862};
    for (std::uint32_t d = 0; d < 4; ++d)
        EXPECT_EQ(perftOf(kKiwipete, d), kiwipete[d]);
    const std::uint64_t endgame[] = {1, 14, 191, 2812, 43238, 674624};
    for (std::uint32_t d = 0; d < 6; ++d)
        EXPECT_EQ(perftOf("8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1", d), endgame[d]);
    EXPECT_EQ(perftOf("r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1", 4), 422333u);
    EXPECT_EQ(perftOf("rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8", 3), 62379u);
    EXPECT_EQ(perftOf("r4rk1/1pp1qppp/p1np1n2/2b1p1B1/2B1P1b1/P1NP1N2/1PP1QPPP/R4RK1 w - - 0 10", 3), 89890u);
}

TEST(MoveGeneration, StartPositionOrderAndFlags)
{
    auto board = boardFrom(START_FEN);
    auto list = generate(*board);
    EXPECT_EQ(list->captureCount, 0u);
    ASSERT_EQ(list->nonCaptureCount, 20u);
    // Pieces in slot order (the order the FEN lists them), rays near to far.
    EXPECT_EQ(moveTexts(*list),
              (std::vector<std::string>{"a2a3", "a2a4", "b2b3", "b2b4", "c2c3", "c2c4", "d2d3", "d2d4",
                                        "e2e3", "e2e4", "f2f3", "f2f4", "g2g3", "g2g4", "h2h3", "h2h4",
                                        "b1c3", "b1a3", "g1h3", "g1f3"}));
    int singles = 0, doubles = 0;
    for (std::uint32_t i = 0; i < 16; ++i) {
        singles += moveFlags(list->nonCaptures[i]) == 0x02;
        doubles += moveFlags(list->nonCaptures[i]) == 0x12;
    }
    EXPECT_EQ(singles, 8);
    EXPECT_EQ(doubles, 8);
    EXPECT_EQ(board->statusFlags & ~STATUS_OWN_PIECE_ON_RAY, 0u);
    EXPECT_EQ(list->pickPhase, 0u);
    EXPECT_EQ(list->nonCapturesLeft, 20u);
}

TEST(MoveGeneration, PromotionsComeBishopRookKnightQueen)
{
    auto board = boardFrom("3r2k1/4P3/8/8/8/8/8/K7 w - - 0 1");
    auto list = generate(*board);
    ASSERT_EQ(list->captureCount, 4u);
    const PieceType order[] = {BISHOP, ROOK, KNIGHT, QUEEN};
    for (std::uint32_t i = 0; i < 4; ++i) {
        EXPECT_EQ(moveExtra(list->captures[i]), order[i]);
        EXPECT_EQ(moveFlags(list->captures[i]), 0x2Au);
    }
    EXPECT_EQ(textOf(list->nonCaptures[0]), "e7e8b");
    EXPECT_EQ(textOf(list->nonCaptures[3]), "e7e8q");
    // Four promotions count as one move of the pawn.
    EXPECT_EQ(board->pieceSlot(0)->mobility[0], 2u);
}

TEST(MoveGeneration, CheckIsAnsweredOnlyByCaptureBlockOrKingMove)
{
    // The rook on e8 checks the king on e4; the rook on h5 can block on e5,
    // the bishop on b5 can take on e8.
    auto board = boardFrom("4r2k/8/8/1B5R/4K3/8/8/8 w - - 0 1");
    auto list = generate(*board);
    EXPECT_EQ(board->statusFlags & (STATUS_IN_CHECK | STATUS_SLIDING_CHECK), 9u);
    std::vector<std::string> others;
    std::vector<std::string> kingMoves;
    for (const std::string& m : moveTexts(*list))
        (m.substr(0, 2) == "e4" ? kingMoves : others).push_back(m);
    EXPECT_EQ(others, (std::vector<std::string>{"b5e8", "h5e5"}));
    EXPECT_FALSE(contains(kingMoves, "e4e5"));   // attacked
    EXPECT_FALSE(contains(kingMoves, "e4e3"));   // still on the rook's file
    EXPECT_EQ(kingMoves.size(), 6u);
}

TEST(MoveGeneration, PinnedPiecesKeepToTheirLine)
{
    // Knight on e2 pinned by the rook on e8: no moves. Rook on d2 pinned on the d-file.
    auto board = boardFrom("4r1k1/8/8/8/8/8/4N3/4K3 w - - 0 1");
    const auto knight = moveTexts(*generate(*board));
    for (const std::string& m : knight)
        EXPECT_NE(m.substr(0, 2), "e2") << m;
    auto rook = boardFrom("3r2k1/8/8/8/8/8/3R4/3K4 w - - 0 1");
    const auto rookMoves = moveTexts(*generate(*rook));
    EXPECT_TRUE(contains(rookMoves, "d2d8"));   // may take the pinning rook
    EXPECT_TRUE(contains(rookMoves, "d2d5"));
    EXPECT_FALSE(contains(rookMoves, "d2e2"));
}

TEST(MoveGeneration, DoubleCheckAllowsOnlyKingMoves)
{
    // Rook e8 and bishop b4 both check the king on e1; the queen could take the bishop.
    auto board = boardFrom("4r1k1/8/8/8/1b6/8/2Q5/4K3 w - - 0 1");
    auto list = generate(*board);
    EXPECT_TRUE(board->statusFlags & STATUS_DOUBLE_CHECK);
    for (const std::string& m : moveTexts(*list))
        EXPECT_EQ(m.substr(0, 2), "e1") << m;
}

TEST(MoveGeneration, EnPassantNeverExposesTheKingOnItsRank)
{
    auto shielded = boardFrom("4k3/8/8/KP1pP2r/8/8/8/8 w - d6 0 2");
    EXPECT_TRUE(contains(moveTexts(*generate(*shielded)), "e5d6"));   // b5 still shields the king
    auto issue = boardFrom("4k3/8/8/K2pP2r/8/8/8/8 w - d6 0 2");
    EXPECT_FALSE(contains(moveTexts(*generate(*issue)), "e5d6"));
    auto free = boardFrom("4k3/8/7r/K2pP3/8/8/8/8 w - d6 0 2");
    EXPECT_TRUE(contains(moveTexts(*generate(*free)), "e5d6"));
    // An en passant square without a pawn behind it gives no capture.
    auto empty = boardFrom("4k3/8/8/4P3/8/8/8/4K3 w - d6 0 2");
    EXPECT_FALSE(contains(moveTexts(*generate(*empty)), "e5d6"));
}

TEST(MoveGeneration, CastlingNeedsSafeEmptySquaresAndPiecesAtHome)
{
    auto throughCheck = boardFrom("4kr2/8/8/8/8/8/8/R3K2R w KQ - 0 1");   // f1 attacked
    auto moves = moveTexts(*generate(*throughCheck));
    EXPECT_FALSE(contains(moves, "e1g1"));
    EXPECT_TRUE(contains(moves, "e1c1"));
    auto b1Attacked = boardFrom("1r2k3/8/8/8/8/8/8/R3K2R w KQ - 0 1");
    EXPECT_TRUE(contains(moveTexts(*generate(*b1Attacked)), "e1c1"));
    auto inCheck = boardFrom("4r1k1/8/8/8/8/8/8/R3K2R w KQ - 0 1");
    moves = moveTexts(*generate(*inCheck));
    EXPECT_FALSE(contains(moves, "e1g1"));
    EXPECT_FALSE(contains(moves, "e1c1"));
    auto blocked = boardFrom("4k3/8/8/8/8/8/8/RN2K1NR w KQ - 0 1");
    moves = moveTexts(*generate(*blocked));
    EXPECT_FALSE(contains(moves, "e1g1"));
    EXPECT_FALSE(contains(moves, "e1c1"));
    // Rights read from FEN without the rook at home generate nothing.
    auto noRook = boardFrom("4k3/8/8/8/8/8/8/4K3 w KQ - 0 1");
    EXPECT_EQ(generate(*noRook)->nonCaptureCount, 5u);
    EXPECT_EQ(fenOf(*noRook), "4k3/8/8/8/8/8/8/4K3 w KQ - 0 1");
    // Castling comes last in the list.
    auto both = boardFrom("r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1");
    auto list = generate(*both);
    EXPECT_EQ(textOf(list->nonCaptures[list->nonCaptureCount - 2]), "e1g1");
    EXPECT_EQ(textOf(list->nonCaptures[list->nonCaptureCount - 1]), "e1c1");
}

TEST(MoveGeneration, MateAndStalemateAreFlagged)
{
    auto mate = boardFrom("R5k1/5ppp/8/8/8/8/8/6K1 b - - 0 1");
    auto list = generate(*mate);
    EXPECT_EQ(list->moveCount(), 0u);
    EXPECT_EQ(mate->statusFlags & (STATUS_CHECKMATED | STATUS_STALEMATED), STATUS_CHECKMATED);
    auto stale = boardFrom("7k/5Q2/6K1/8/8/8/8/8 b - - 0 1");
    generate(*stale);
    EXPECT_EQ(stale->statusFlags & (STATUS_CHECKMATED | STATUS_STALEMATED | STATUS_IN_CHECK),
              STATUS_STALEMATED);
}

TEST(MoveGeneration, HitsAndMobilityAreRecordedPerPiece)
{
    auto board = boardFrom(START_FEN);
    MoveList list;
    list.setSide(WHITE);
    list.mobilityIndex = 3;
    board->generateMoves(list);
    const Piece_class* queen = board->pieceAt(3);
    EXPECT_EQ(queen->ownHits, 5u);   // c1, c2, d2, e2, e1
    EXPECT_EQ(queen->mobility[3], 0u);
    const Piece_class* knight = board->pieceAt(1);
    EXPECT_EQ(knight->mobility[3], 2u);
    EXPECT_EQ(board->pieceAt(12)->mobility[3], 2u);   // e2 pawn: single and double step
    // A pawn blocked by an enemy piece counts an enemy hit.
    auto blocked = boardFrom("4k3/8/8/8/4p3/4P3/8/4K3 w - - 0 1");
    generate(*blocked);
    EXPECT_EQ(blocked->pieceAt(20)->enemyHits, 1u);
}

TEST(MoveGeneration, PawnsOnTheirLastRankHaveNoSteps)
{
    // Only reachable from a FEN: a white pawn on rank 8, a black one on rank 1.
    auto board = boardFrom("P3k3/8/8/8/8/8/8/4K2p w - - 0 1");
    const auto white = moveTexts(*generate(*board));
    for (const std::string& m : white)
        EXPECT_NE(m.substr(0, 2), "a8") << m;
    board->setSideToMove(BLACK);
    const auto black = moveTexts(*generate(*board));
    for (const std::string& m : black)
        EXPECT_NE(m.substr(0, 2), "h1") << m;
    EXPECT_EQ(perft(*board, 2), perft(*boardFrom("P3k3/8/8/8/8/8/8/4K2p b - - 0 1"), 2));
}
