#include <gtest/gtest.h>

#include "support/board_helpers.h"

TEST(MoveText, GeneratedWordsCarryTheirFlags)
{
    const Move e4 = resolve(*boardFrom(START_FEN), "e2e4");
    EXPECT_EQ(e4, encodeMove(12, 28, 20, 0x12));   // double step: the en passant square as extra
    const Move exd6 = resolve(*boardFrom("4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1"), "e5d6");
    EXPECT_EQ(exd6, encodeMove(36, 43, 35, 0x4A));   // the captured pawn on d5 as extra
}

TEST(MoveText, PromotionsResolveToTheNamedPiece)
{
    auto board = boardFrom("3r2k1/4P3/8/8/8/8/8/4K3 w - - 0 1");
    EXPECT_EQ(moveExtra(resolve(*board, "e7e8")), QUEEN);   // four characters: the queen
    EXPECT_EQ(moveExtra(resolve(*board, "e7e8n")), KNIGHT);
    EXPECT_EQ(moveExtra(resolve(*board, "e7e8r")), ROOK);
    EXPECT_EQ(moveExtra(resolve(*board, "e7e8Q")), QUEEN);  // any other letter: the queen
    EXPECT_EQ(textOf(resolve(*board, "e7d8b")), "e7d8b");
}

TEST(MoveText, CastlingTextsAndTheRookOnE1)
{
    auto castle = boardFrom("r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1");
    EXPECT_EQ(moveFlags(resolve(*castle, "e1g1")), 0x14u);
    EXPECT_EQ(moveFlags(resolve(*castle, "0-0-0")), 0x04u);
    EXPECT_EQ(resolve(*castle, "O-O"), NO_MOVE);   // letter O is not castling
    // "e1g1" names the rook move when a rook stands on e1.
    const Move rookMove = resolve(*boardFrom("4k3/8/8/8/8/8/8/K3R3 w - - 0 1"), "e1g1");
    EXPECT_EQ(moveFlags(rookMove), 0u);
    EXPECT_EQ(textOf(rookMove), "e1g1");
    EXPECT_EQ(textOf(resolve(*boardFrom("r3k2r/8/8/8/8/8/8/R3K2R b KQkq - 0 1"), "0-0")), "e8g8");
}

TEST(MoveText, OddTextsNameNoMoveOrTheSquareMove)
{
    auto start = boardFrom(START_FEN);
    EXPECT_EQ(textOf(resolve(*start, "g1f3q")), "g1f3");   // promotion letter ignored for a non-pawn
    EXPECT_EQ(resolve(*start, "g1f3n"), NO_MOVE);
    EXPECT_EQ(resolve(*start, "e2e4e2e"), NO_MOVE);        // seven characters
    EXPECT_EQ(textOf(resolve(*start, "e2e4xx")), "e2e4");  // six characters: the squares count
    for (const char* text : {"", "e", "e2", "e2e", "e2e5", "zz99", "\xff\xff\xff\xff", "a1a1"})
        EXPECT_EQ(resolve(*start, text), NO_MOVE) << text;
}
