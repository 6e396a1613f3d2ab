#include <gtest/gtest.h>

#include "support/board_helpers.h"

TEST(MoveText, GeneratedWordsCarryTheirFlags)
{
    auto start = boardFrom(START_FEN);
    const Move e4 = resolve(*start, "e2e4");
    EXPECT_EQ(moveFlags(e4), 0x12u);
    EXPECT_EQ(moveExtra(e4), 20u);
    EXPECT_EQ(moveFrom(e4), 12);
    EXPECT_EQ(moveTo(e4), 28);

    auto ep = boardFrom("4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1");
    const Move exd6 = resolve(*ep, "e5d6");
    EXPECT_EQ(moveFlags(exd6), 0x4Au);
    EXPECT_EQ(moveExtra(exd6), 35u);   // the captured pawn on d5
    EXPECT_EQ(textOf(exd6), "e5d6");
}

TEST(MoveText, PromotionsResolveToTheNamedPiece)
{
    auto board = boardFrom("3r2k1/4P3/8/8/8/8/8/4K3 w - - 0 1");
    EXPECT_EQ(moveExtra(resolve(*board, "e7e8")), QUEEN);   // four characters: the queen
    EXPECT_EQ(moveExtra(resolve(*board, "e7e8n")), KNIGHT);
    EXPECT_EQ(moveExtra(resolve(*board, "e7e8r")), ROOK);
    EXPECT_EQ(moveExtra(resolve(*board, "e7e8Q")), QUEEN);  // any other letter: the queen
    const Move capture = resolve(*board, "e7d8b");
    EXPECT_EQ(moveFlags(capture), 0x2Au);
    EXPECT_EQ(textOf(capture), "e7d8b");
    EXPECT_EQ(textOf(resolve(*boardFrom("4k3/P7/8/8/8/8/8/4K3 w - - 0 1"), "a7a8r")), "a7a8r");
}

TEST(MoveText, CastlingTextsAndTheRookOnE1)
{
    auto castle = boardFrom("r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1");
    EXPECT_EQ(moveFlags(resolve(*castle, "e1g1")), 0x14u);
    EXPECT_EQ(moveFlags(resolve(*castle, "0-0-0")), 0x04u);
    EXPECT_EQ(resolve(*castle, "O-O"), NO_MOVE);   // letter O is not castling

    // "e1g1" names the rook move when a rook stands on e1.
    auto rook = boardFrom("4k3/8/8/8/8/8/8/K3R3 w - - 0 1");
    const Move rookMove = resolve(*rook, "e1g1");
    EXPECT_EQ(moveFlags(rookMove), 0u);
    EXPECT_EQ(textOf(rookMove), "e1g1");

    const Move blackShort = parseMoveText(BLACK, "0-0");
    EXPECT_EQ(moveFrom(blackShort), 60);
    EXPECT_EQ(moveTo(blackShort), 62);
    auto black = boardFrom("r3k2r/8/8/8/8/8/8/R3K2R b KQkq - 0 1");
    EXPECT_EQ(textOf(resolve(*black, "0-0")), "e8g8");
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
