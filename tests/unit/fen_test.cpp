#include <gtest/gtest.h>

#include "support/board_helpers.h"

TEST(Fen, RoundTripsWriteBackTheSameText)
{
    for (const char* fen : {START_FEN, "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
                            "rnbqkbnr/pppp1ppp/8/4p3/4P3/8/PPPP1PPP/RNBQKBNR w KQkq e6 0 2",
                            "4k3/8/8/8/8/8/8/4K3 b - - 37 81", "4k3/8/8/8/8/8/8/4K3 w - - -3 2147483647"})
        EXPECT_EQ(fenOf(*boardFrom(fen)), fen);
    // Castling letters come back in the order K, Q, k, q.
    auto board = boardFrom("rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b qK e3 37 81");
    EXPECT_EQ(fenOf(*board), "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b Kq e3 37 81");
    EXPECT_EQ(board->enPassantSquare, 20);
    EXPECT_TRUE(board->isConsistent());
    // A text that ends after the half-move clock is at move 1.
    EXPECT_EQ(fenOf(*boardFrom("4k3/8/8/8/8/8/8/4K3 w - - 12")), "4k3/8/8/8/8/8/8/4K3 w - - 12 1");
    EXPECT_EQ(boardFrom("4k3/8/8/8/8/8/8/4K3 w - - ")->fullmoveNumber, 1);
}

TEST(Fen, MalformedTextsAreRejected)
{
    const std::string bad[] = {
        "",
        "8/8/8/8/8/8/8/8 w - - 0 1",                                   // no kings
        "rnbqkbnr/pppppppp/8/8/8/8/RNBQKBNR w KQkq - 0 1",             // seven ranks
        "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR/8 w KQkq - 0 1",  // nine ranks
        "rnbqkbnr/ppppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",   // nine files
        "rnbqkbnr/pppppppp/54/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",   // nine empty files
        "rnbqkbnr/pppppppp/7/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",    // seven files
        "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR",                 // ends in the placement
        "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -",        // four fields only
        "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR x KQkq - 0 1",
        "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR wKQkq - 0 1",
        "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQxq - 0 1",
        "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w -",
        "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq i3 0 1",   // en passant off the board
        "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq e9 0 1",
        "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq e 0 1",
        "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq e3",
        "rnbqkbnr/pppxpppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",    // bad piece letter
        "rnbqkbnr/ppp0pppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",
        "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKKNR w KQkq - 0 1",    // two white kings
        "qqqqqqqq/qqqqqqqq/qk6/8/8/8/8/4K3 w - - 0 1",                 // seventeen black pieces
    };
    for (const std::string& fen : bad) {
        Board_class board;
        EXPECT_EQ(board.loadFen(fen.c_str()), CE_INVALID_POSITION) << fen;
    }
    Board_class board;
    EXPECT_EQ(board.loadFen(nullptr), CE_INVALID_POSITION);
    std::string tooLong = "4k3/8/8/8/8/8/8/4K3 w - - 0 1";
    tooLong.append(80, ' ');   // over 100 characters
    EXPECT_EQ(board.loadFen(tooLong.c_str()), CE_INVALID_POSITION);
}

TEST(Fen, CopiesCarryKeyAndPiecesButNotTheCastledFlags)
{
    auto source = boardFrom("r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 3 9");
    play(*source, "e1g1");
    play(*source, "a8a1");   // a capture leaves a captured piece in its slot
    Board_class copy;
    copy.copyFrom(*source);
    EXPECT_EQ(copy.hashKey, source->hashKey);
    EXPECT_EQ(fenOf(copy), fenOf(*source));
    EXPECT_EQ(source->hasCastled[0], 1);
    EXPECT_EQ(copy.hasCastled[0], 0);
    EXPECT_EQ(copy.pieceAt(5)->moveCount, 1u);
    EXPECT_TRUE(copy.isConsistent());
}
