#include <gtest/gtest.h>

#include "support/board_helpers.h"

namespace {

eCeStatus load(const std::string& fen)
{
    Board_class board;
    return board.loadFen(fen.c_str());
}

} // namespace

TEST(Fen, RoundTripsWriteBackTheSameText)
{
    for (const char* fen : {START_FEN,
                            "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
                            "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1",
                            "rnbqkbnr/pppp1ppp/8/4p3/4P3/8/PPPP1PPP/RNBQKBNR w KQkq e6 0 2",
                            "4k3/8/8/8/8/8/8/4K3 b - - 37 81",
                            "4k3/8/8/8/8/8/8/4K3 w - - -3 2147483647"}) {
        EXPECT_EQ(fenOf(*boardFrom(fen)), fen);
    }
}

TEST(Fen, FieldsAreReadAsDescribed)
{
    auto board = boardFrom("rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b qK e3 37 81");
    EXPECT_EQ(board->sideToMove, BLACK);
    EXPECT_EQ(board->castlingRights, CASTLE_WK | CASTLE_BQ);
    EXPECT_EQ(board->enPassantSquare, 20);
    EXPECT_EQ(board->halfmoveClock, 37);
    EXPECT_EQ(board->fullmoveNumber, 81);
    // Castling letters come back in the order K, Q, k, q.
    EXPECT_EQ(fenOf(*board), "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b Kq e3 37 81");
    EXPECT_EQ(board->materialBalance, 0);
    EXPECT_EQ(board->pieceCount(WHITE), 16u);
    EXPECT_EQ(board->block(BLACK).typeCount[PAWN], 8u);
    EXPECT_TRUE(board->isConsistent());
}

TEST(Fen, MissingFullmoveNumberGivesMoveOne)
{
    auto board = boardFrom("4k3/8/8/8/8/8/8/4K3 w - - 12");
    EXPECT_EQ(board->halfmoveClock, 12);
    EXPECT_EQ(board->fullmoveNumber, 1);
    EXPECT_EQ(boardFrom("4k3/8/8/8/8/8/8/4K3 w - - ")->fullmoveNumber, 1);
}

TEST(Fen, MalformedTextsAreRejected)
{
    const char* bad[] = {
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
    for (const char* fen : bad)
        EXPECT_EQ(load(fen), CE_INVALID_POSITION) << fen;
    EXPECT_EQ(load(std::string("4k3/8/8/8/8/8/8/4K3 w - - 0 1") + std::string(80, ' ')),
              CE_INVALID_POSITION);   // over 100 characters
    Board_class board;
    EXPECT_EQ(board.loadFen(nullptr), CE_INVALID_POSITION);
}

TEST(Fen, ABoardWithoutKingsStaysLoaded)
{
    Board_class board;
    EXPECT_EQ(board.loadFen("8/8/8/8/8/8/8/3Q4 w - - 0 1"), CE_INVALID_POSITION);
    EXPECT_EQ(board.pieceCount(WHITE), 1u);
    EXPECT_EQ(board.materialBalance, 910);
}

TEST(Fen, CopiesCarryKeyAndPiecesButNotTheCastledFlags)
{
    auto source = boardFrom("r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 3 9");
    play(*source, "e1g1");
    ASSERT_EQ(source->hasCastled[0], 1);
    play(*source, "a8a1");   // a capture leaves a captured piece in its slot
    Board_class copy;
    copy.copyFrom(*source);
    EXPECT_EQ(copy.hashKey, source->hashKey);
    EXPECT_EQ(fenOf(copy), fenOf(*source));
    EXPECT_EQ(copy.hasCastled[0], 0);
    EXPECT_EQ(copy.pieceCount(WHITE), 2u);
    EXPECT_EQ(copy.pieceSlot(2), nullptr);   // slots refilled without the captured rook
    EXPECT_EQ(copy.pieceAt(5)->moveCount, 1u);
    EXPECT_TRUE(copy.isConsistent());
}

TEST(Fen, EditedBoardsDeriveRightsFromPlacement)
{
    Board_class board;
    Piece_class king;
    king.colour = WHITE;
    king.setType(KING);
    king.square = 4;
    ASSERT_EQ(board.addPiece(king), CE_SUCCESS);
    Piece_class rook = king;
    rook.setType(ROOK);
    rook.square = 7;
    ASSERT_EQ(board.addPiece(rook), CE_SUCCESS);
    EXPECT_EQ(board.addPiece(rook), CE_INVALID_POSITION);   // occupied square
    Piece_class blackKing = king;
    blackKing.colour = BLACK;
    blackKing.setType(KING);
    blackKing.square = 59;   // d8: not its home square
    ASSERT_EQ(board.addPiece(blackKing), CE_SUCCESS);
    board.deriveCastlingRights();
    EXPECT_EQ(board.castlingRights, CASTLE_WK);
}
